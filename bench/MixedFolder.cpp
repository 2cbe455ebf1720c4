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

bool endsWithAny(const std::string& name, std::initializer_list<const char*> suffixes)
{
    return std::any_of(suffixes.begin(), suffixes.end(), [&](const char* suffix) {
        std::string_view end(suffix);
        return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    });
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

}

MixedFolder::MixedFolder(std::string corpus)
    : m_work(
        (std::filesystem::temp_directory_path() / ("pressling-bench-" + std::to_string(::getpid()))).string())
    , m_folder(m_work + "/folder/")
{
    collectSources(corpus.empty() ? defaultCorpus() : corpus);
    generateSources(m_work + "/sources");
    std::sort(m_sources.begin(), m_sources.end());
    buildFolder(FileCount);
    std::fprintf(stderr, "%zu files copied from %zu sources\n", m_paths.size(), m_sources.size());
}

MixedFolder::MixedFolder(std::string corpus, int shownCount, int otherCount)
    : m_work(
        (std::filesystem::temp_directory_path() / ("pressling-bench-" + std::to_string(::getpid()))).string())
    , m_folder(m_work + "/folder/")
{
    collectSources(corpus.empty() ? defaultCorpus() : corpus);
    // The corpus's licence texts would be shown as published files; the shown files are to be
    // the Word documents and the few published files generated below.
    std::erase_if(m_sources, [](const std::string& path) { return endsWithAny(path, { ".txt" }); });
    generateSources(m_work + "/sources");
    generateOtherSources(m_work + "/sources");
    std::sort(m_sources.begin(), m_sources.end());
    buildFolder(shownCount, otherCount);
    std::fprintf(stderr, "%zu files (%zu shown) copied from %zu sources\n", m_paths.size(),
        m_shownPaths.size(), m_sources.size());
}

std::unique_ptr<MixedFolder> MixedFolder::existing(const std::string& folder)
{
    std::unique_ptr<MixedFolder> mixed(new MixedFolder);
    mixed->m_folder = folder;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file())
            mixed->m_paths.push_back(entry.path().string());
    }
    std::sort(mixed->m_paths.begin(), mixed->m_paths.end());
    for (const std::string& path : mixed->m_paths) {
        if (isShownName(fileName(path)))
            mixed->m_shownPaths.push_back(path);
    }
    return mixed;
}

MixedFolder::~MixedFolder()
{
    if (m_work.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(m_work, error);
}

bool MixedFolder::isShownName(const std::string& name)
{
    return endsWithAny(name, { ".doc", ".docx", ".docm", ".htm", ".html", ".mhtml", ".txt", ".xps", ".pdf" });
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

// Files that sit among documents in a real folder and that the file list passes over by name.
void MixedFolder::generateOtherSources(const std::string& generated)
{
    std::string picture("\x89PNG\r\n\x1A\n", 8);
    picture += std::string("\0\0\0\x0DIHDR", 8) + std::string(4000, '\x5A');
    write(generated + "/picture.png", picture);
    std::string table = "name,size,date\n";
    for (int line = 0; line < 500; ++line)
        table += "row" + std::to_string(line) + "," + std::to_string(line * 37) + ",2024-01-01\n";
    write(generated + "/table.csv", table);
    m_sources.push_back(generated + "/picture.png");
    m_sources.push_back(generated + "/table.csv");
}

void MixedFolder::buildFolder(int count)
{
    std::filesystem::create_directories(m_folder);
    std::vector<std::string> contents;
    for (const std::string& source : m_sources)
        contents.push_back(readAll(source));
    for (int i = 0; i < count; ++i) {
        size_t which = static_cast<size_t>(i) % m_sources.size();
        addFile(i, m_sources[which], contents[which]);
    }
}

void MixedFolder::buildFolder(int shownCount, int otherCount)
{
    std::filesystem::create_directories(m_folder);
    std::vector<std::string> shown;
    std::vector<std::string> other;
    for (const std::string& source : m_sources)
        (isShownName(fileName(source)) ? shown : other).push_back(source);
    std::vector<std::string> shownContents;
    std::vector<std::string> otherContents;
    for (const std::string& source : shown)
        shownContents.push_back(readAll(source));
    for (const std::string& source : other)
        otherContents.push_back(readAll(source));
    // File i is a shown one when the share of shown files among the first i + 1 grows past a
    // whole file, so that both kinds are spread evenly through the folder's order.
    long total = shownCount + otherCount;
    size_t shownMade = 0;
    size_t otherMade = 0;
    for (long i = 0; i < total; ++i) {
        bool isShown = (i + 1) * shownCount / total > i * shownCount / total;
        if (isShown) {
            size_t which = shownMade++ % shown.size();
            addFile(static_cast<int>(i), shown[which], shownContents[which]);
        } else {
            size_t which = otherMade++ % other.size();
            addFile(static_cast<int>(i), other[which], otherContents[which]);
        }
    }
}

void MixedFolder::addFile(int number, const std::string& source, const std::string& contents)
{
    char prefix[32];
    std::snprintf(prefix, sizeof(prefix), "%05d-", number);
    std::string name = prefix + fileName(source);
    std::string path = m_folder + name;
    write(path, contents);
    m_paths.push_back(path);
    if (isShownName(name))
        m_shownPaths.push_back(path);
}

double MixedFolder::openAndRead(const std::vector<std::string>& paths, long& checksum)
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
    return secondsSince(start);
}

double MixedFolder::secondsSince(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
