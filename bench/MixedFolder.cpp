#include "MixedFolder.h"

#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ZipBuilder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string defaultCorpus()
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    return std::string(source ? source : ".") + "/../shared/corpus";
}

}

MixedFolder::MixedFolder(std::string corpus)
    : m_work(
        (std::filesystem::temp_directory_path() / ("pressling-bench-" + std::to_string(::getpid()))).string())
{
    collectSources(corpus.empty() ? defaultCorpus() : corpus);
    generateSources(m_work + "/sources");
    std::sort(m_sources.begin(), m_sources.end());
    buildFolder();
    std::fprintf(stderr, "%zu files copied from %zu sources\n", m_paths.size(), m_sources.size());
}

MixedFolder::~MixedFolder()
{
    std::error_code error;
    std::filesystem::remove_all(m_work, error);
}

void MixedFolder::collectSources(const std::string& corpus)
{
    std::error_code error;
    for (const char* part :
        { "office-crypto", "documents/word", "documents/excel", "documents/powerpoint" }) {
        std::string folder = corpus + "/" + part;
        if (!std::filesystem::is_directory(folder, error))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().extension() != ".md")
                m_sources.push_back(entry.path().string());
        }
    }
}

void MixedFolder::generateSources(const std::string& generated)
{
    std::filesystem::create_directories(generated);
    std::string body(20000, 'x');
    write(generated + "/report.doc.pdf", "%PDF-1.5\n" + body + "\ntrailer<</Root 1 0 R>>\n%%EOF\n");
    write(generated + "/locked.pdf", "%PDF-1.5\n" + body + "\ntrailer<</Encrypt 2 0 R>>\n%%EOF\n");
    write(generated + "/archive.zip",
        ZipBuilder().add("a.txt", body).add("b.txt", body, ZipBuilder::Encrypted).add("c/", "").bytes());
    write(generated + "/secret.zip", ZipBuilder().add("a.txt", body, ZipBuilder::Encrypted).bytes());
    write(generated + "/report.doc.html", "<html><body>" + body + "</body></html>");
    write(generated + "/report.doc.mhtml", "MIME-Version: 1.0\r\n\r\n" + body);
    write(generated + "/report.doc.txt", body);
    write(generated + "/notes.md", body);
    CompoundFileWriter()
        .stream("WordDocument", std::string("\xEC\xA5\xC1\x00", 4) + body)
        .stream("1Table", body)
        .write(generated + "/generated.doc");
    for (const auto& entry : std::filesystem::directory_iterator(generated))
        m_sources.push_back(entry.path().string());
}

void MixedFolder::buildFolder()
{
    std::string folder = m_work + "/folder";
    std::filesystem::create_directories(folder);
    std::vector<std::string> contents;
    for (const std::string& source : m_sources)
        contents.push_back(readAll(source));
    for (int i = 0; i < FileCount; ++i) {
        size_t which = static_cast<size_t>(i) % m_sources.size();
        char prefix[32];
        std::snprintf(prefix, sizeof(prefix), "%05d-", i);
        std::string path
            = folder + "/" + prefix + std::filesystem::path(m_sources[which]).filename().string();
        write(path, contents[which]);
        m_paths.push_back(path);
    }
}

double MixedFolder::openAndReadAll(long& checksum) const
{
    auto start = std::chrono::steady_clock::now();
    char buffer[512];
    for (const std::string& path : m_paths) {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            continue;
        size_t count = std::fread(buffer, 1, sizeof(buffer), file);
        checksum += count ? buffer[0] : 0;
        std::fclose(file);
    }
    return secondsSince(start);
}

double MixedFolder::secondsSince(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
