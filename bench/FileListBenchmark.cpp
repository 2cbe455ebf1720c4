// How much slower filling the file list is than merely touching the folder's files: builds a
// folder of 10,000 files (copies of real Office documents, PDFs, zip archives, published and
// other files), then times the model's filling from that folder (listing, filter, protection
// test, type names, icons and order) against a baseline loop that opens each file and reads its
// first 512 bytes. Prints both and the ratio.
#include "filelist/FileListModel.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ZipBuilder.h"

#include <QGuiApplication>

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
// compound files, published and plain files, which are always there.
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
        ZipBuilder().add("a.txt", body).add("b.txt", body, ZipBuilder::Encrypted).bytes());
    write(generated + "/report.doc.html", "<html><body>" + body + "</body></html>");
    write(generated + "/report.doc.mhtml", "MIME-Version: 1.0\r\n\r\n" + body);
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

// One filling by a model of its own, so that every round also pays for the first look-up of
// each file type's name and icon, as the program's first filling does.
double fill(const QByteArray& folder, int& rows)
{
    auto start = std::chrono::steady_clock::now();
    FileListModel model;
    model.showFolder(folder);
    double seconds = secondsOf(start);
    rows = model.rowCount();
    return seconds;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
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
    QByteArray folder = QByteArray::fromStdString(work + "/folder/");

    // Warm the page cache once, so that both loops read from memory; then take the best of
    // several alternating rounds, which is the figure least disturbed by other work.
    long checksum = 0;
    baseline(paths, checksum);
    double bestBaseline = 1e9;
    double bestFill = 1e9;
    int rows = 0;
    for (int round = 0; round < Rounds; ++round) {
        bestBaseline = std::min(bestBaseline, baseline(paths, checksum));
        bestFill = std::min(bestFill, fill(folder, rows));
    }
    std::fflush(stdout);
    std::error_code error;
    std::filesystem::remove_all(work, error);

    std::printf("baseline (open + read 512 bytes): %.1f ms for %d files\n", bestBaseline * 1000, FileCount);
    std::printf("fill (FileListModel::showFolder): %.1f ms for %d files, %d rows\n", bestFill * 1000,
        FileCount, rows);
    std::printf("ratio: %.2f\n", bestFill / bestBaseline);
    return checksum == -1 ? 1 : 0;
}
