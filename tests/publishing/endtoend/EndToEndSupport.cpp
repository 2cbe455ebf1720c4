#include "EndToEndSupport.h"

#include "EngineTestSupport.h"
#include "tests/support/ZipBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

DocumentSnapshot DocumentSnapshot::of(const std::string& path)
{
    return DocumentSnapshot { path, readFile(path), modeOf(path) };
}

bool DocumentSnapshot::unchanged() const
{
    return fs::exists(path) && readFile(path) == bytes && modeOf(path) == mode;
}

std::string corpusFolder()
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    return std::string(source ? source : ".") + "/../shared/corpus";
}

std::string copyCorpusDocument(
    const std::string& corpusName, const std::string& folder, const std::string& newName)
{
    fs::path source = fs::path(corpusFolder()) / "documents" / corpusName;
    fs::path target = fs::path(folder) / (newName.empty() ? source.filename().string() : newName);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    fs::permissions(target,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    return target.string();
}

std::vector<std::string> backupsIn(const std::string& folder)
{
    static const std::regex backup(R"(.*\.\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}\.[A-Za-z]+)");
    std::vector<std::string> found;
    for (const std::string& name : folderEntries(folder)) {
        if (std::regex_match(name, backup))
            found.push_back(name);
    }
    return found;
}

std::string readOnlyRecommendedDocument()
{
    const std::string word = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    const std::string relationships = "http://schemas.openxmlformats.org/package/2006/relationships";
    const std::string officeDocument = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    ZipBuilder zip;
    zip.add("[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
        "Extension=\"xml\" "
        "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/settings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/></"
        "Types>");
    zip.add("_rels/.rels",
        "<Relationships xmlns=\"" + relationships + "\"><Relationship Id=\"rId1\" Type=\"" + officeDocument
            + "/officeDocument\" Target=\"word/document.xml\"/></Relationships>");
    zip.add("word/_rels/document.xml.rels",
        "<Relationships xmlns=\"" + relationships + "\"><Relationship Id=\"rId1\" Type=\"" + officeDocument
            + "/settings\" Target=\"settings.xml\"/></Relationships>");
    zip.add("word/document.xml",
        "<w:document xmlns:w=\"" + word
            + "\"><w:body><w:p><w:r><w:t>Memo</w:t></w:r></w:p></w:body></w:document>");
    zip.add("word/settings.xml",
        "<w:settings xmlns:w=\"" + word + "\"><w:writeProtection w:recommended=\"1\"/></w:settings>");
    return zip.bytes();
}

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    if (stat(path.c_str(), &status) != 0)
        return 0;
    return status.st_mode & 07777;
}

std::vector<std::string> textLines(const std::string& text)
{
    std::vector<std::string> found;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        found.push_back(line);
    return found;
}

std::vector<std::unique_ptr<platform::ProcessHandle>> officesOf(pid_t job)
{
    const std::string marker = "name=pressling-" + std::to_string(job) + "-";
    std::vector<std::unique_ptr<platform::ProcessHandle>> found;
    for (pid_t pid : platform::ProcessHandle::all()) {
        // An office that ends while it is looked at cannot be opened, or shows no arguments.
        auto process = std::make_unique<platform::ProcessHandle>();
        if (!process->open(pid))
            continue;
        std::vector<std::string> arguments = process->arguments();
        if (std::any_of(arguments.begin(), arguments.end(),
                [&](const std::string& argument) { return argument.find(marker) != std::string::npos; }))
            found.push_back(std::move(process));
    }
    return found;
}

void killOfficesOf(pid_t job)
{
    for (const auto& office : officesOf(job))
        office->kill();
}

platform::ChildProcess::Options cliOptions(const std::string& registryFolder)
{
    platform::ChildProcess::Options options;
    options.environment = { { "PRESSLING_REGISTRY_DIR", registryFolder } };
    options.standardOutput.mode = platform::ChildProcess::Output::Capture;
    options.standardError.mode = platform::ChildProcess::Output::Capture;
    return options;
}
