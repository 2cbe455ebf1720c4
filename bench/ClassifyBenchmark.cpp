// How much slower classifying a folder is than merely touching its files: builds a folder of
// 10,000 files (copies of real Office documents, PDFs, zip archives and other files), then
// times the file list's per-file work (the name tests and the protection test) against a
// baseline loop that opens each file and reads its first 512 bytes. Prints the ratio.
#include "classify/EncryptedFileFinder.h"
#include "classify/FileType.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ZipBuilder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FileCount = 10000;
constexpr int Rounds = 5;

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The files to copy: the real corpus where it is at hand, and generated PDFs, zip archives,
// compound files and plain files, which are always there.
std::vector<std::string> sourceFiles(const std::string& corpus, const std::string& generated)
{
    std::vector<std::string> sources;
    std::error_code error;
    for (const char* part :
        { "office-crypto", "documents/word", "documents/excel", "documents/powerpoint" }) {
        std::string folder = corpus + "/" + part;
        if (!std::filesystem::is_directory(folder, error))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().extension() != ".md")
                sources.push_back(entry.path().string());
        }
    }
    std::filesystem::create_directories(generated);
    std::string body(20000, 'x');
    write(generated + "/report.doc.pdf", "%PDF-1.5\n" + body + "\ntrailer<</Root 1 0 R>>\n%%EOF\n");
    write(generated + "/locked.pdf", "%PDF-1.5\n" + body + "\ntrailer<</Encrypt 2 0 R>>\n%%EOF\n");
    write(generated + "/archive.zip",
        ZipBuilder().add("a.txt", body).add("b.txt", body, ZipBuilder::Encrypted).add("c/", "").bytes());
    write(generated + "/secret.zip", ZipBuilder().add("a.txt", body, ZipBuilder::Encrypted).bytes());
    write(generated + "/report.doc.html", "<html><body>" + body + "</body></html>");
    write(generated + "/report.doc.txt", body);
    write(generated + "/notes.md", body);
    CompoundFileWriter()
        .stream("WordDocument", std::string("\xEC\xA5\xC1\x00", 4) + body)
        .stream("1Table", body)
        .write(generated + "/generated.doc");
    for (const auto& entry : std::filesystem::directory_iterator(generated))
        sources.push_back(entry.path().string());
    std::sort(sources.begin(), sources.end());
    return sources;
}

std::vector<std::string> buildFolder(const std::vector<std::string>& sources, const std::string& folder)
{
    std::filesystem::create_directories(folder);
    std::vector<std::string> contents;
    for (const std::string& source : sources)
        contents.push_back(readAll(source));
    std::vector<std::string> paths;
    for (int i = 0; i < FileCount; ++i) {
        size_t which = static_cast<size_t>(i) % sources.size();
        char prefix[32];
        std::snprintf(prefix, sizeof(prefix), "%05d-", i);
        std::string path = folder + "/" + prefix + std::filesystem::path(sources[which]).filename().string();
        write(path, contents[which]);
        paths.push_back(path);
    }
    return paths;
}

double secondsOf(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Opens every file and reads its first 512 bytes: the least any look at the contents costs.
double baseline(const std::vector<std::string>& paths, long& checksum)
{
    auto start = std::chrono::steady_clock::now();
    char buffer[512];
    for (const std::string& path : paths) {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            continue;
        size_t count = std::fread(buffer, 1, sizeof(buffer), file);
        checksum += count ? buffer[0] : 0;
        std::fclose(file);
    }
    return secondsOf(start);
}

// What filling the file list does for each file: the name tests, then the protection test.
double classify(const std::vector<std::string>& paths, int counts[3])
{
    auto start = std::chrono::steady_clock::now();
    FileType fileType;
    for (const std::string& path : paths) {
        const char* name = path.c_str();
        bool shown = fileType.isWordFile(name) || fileType.isDocumentFile(name) || endsWith(name, ".pdf")
            || endsWith(name, ".zip") || endsWith(name, ".htm") || endsWith(name, ".html");
        (void)shown;
        ProtectionKind kind = PROTECTION_NONE;
        EncryptedFileFinder finder;
        finder.isEncryptedFile(name, kind);
        ++counts[kind];
    }
    return secondsOf(start);
}

}

int main(int argc, char** argv)
{
    std::string corpus = argc > 1 ? argv[1] : "";
    if (corpus.empty()) {
        const char* source = std::getenv("PRESSLING_SOURCE_DIR");
        corpus = std::string(source ? source : ".") + "/../shared/corpus";
    }
    std::string work
        = (std::filesystem::temp_directory_path() / ("pressling-bench-" + std::to_string(::getpid())))
              .string();
    std::vector<std::string> sources = sourceFiles(corpus, work + "/sources");
    std::vector<std::string> paths = buildFolder(sources, work + "/folder");
    std::fprintf(stderr, "%zu files copied from %zu sources\n", paths.size(), sources.size());

    // Warm the page cache once, so that both loops read from memory; then take the best of
    // several alternating rounds, which is the figure least disturbed by other work.
    long checksum = 0;
    baseline(paths, checksum);
    double bestBaseline = 1e9;
    double bestClassify = 1e9;
    int counts[3] = { 0, 0, 0 };
    for (int round = 0; round < Rounds; ++round) {
        bestBaseline = std::min(bestBaseline, baseline(paths, checksum));
        int roundCounts[3] = { 0, 0, 0 };
        bestClassify = std::min(bestClassify, classify(paths, roundCounts));
        std::copy(roundCounts, roundCounts + 3, counts);
    }
    std::error_code error;
    std::filesystem::remove_all(work, error);

    std::fflush(stdout);
    std::fprintf(stderr, "kinds: %d none, %d IRM, %d PWD\n", counts[0], counts[1], counts[2]);
    std::printf("baseline (open + read 512 bytes): %.1f ms for %d files\n", bestBaseline * 1000, FileCount);
    std::printf(
        "classify (name tests + protection test): %.1f ms for %d files\n", bestClassify * 1000, FileCount);
    std::printf("ratio: %.2f\n", bestClassify / bestBaseline);
    return checksum == -1 ? 1 : 0;
}
