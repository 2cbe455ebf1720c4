// Publishes 20 real Word documents to PDF through one office session, and in the same run
// converts the same files with one `soffice --convert-to pdf` call for all of them and with one
// call per file. Prints the times and the two ratios the session is held to: at most 1.1 times
// the single batch call, and at least 8 times faster than a call per file.

#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "office/WordApplication.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/LibreOfficeProfile.h"
#include "platform/ChildProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace office;
using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t documentCount = 20;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::vector<std::string> wordDocuments(const std::string& source)
{
    std::vector<std::string> files;
    for (const auto& entry :
        std::filesystem::directory_iterator(source + "/../shared/corpus/documents/word")) {
        if (entry.path().extension() == ".docx")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    if (files.size() > documentCount)
        files.resize(documentCount);
    return files;
}

size_t pdfsIn(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".pdf" && std::filesystem::file_size(entry.path()) > 0;
    return count;
}

bool convert(
    const std::vector<std::string>& files, const std::string& outFolder, const LibreOfficeProfile& profile)
{
    std::vector<std::string> argv { LibreOfficeInstallation::launcherPath(), "--headless", "--invisible",
        "--norestore", "--nologo", "--nodefault", "--nolockcheck", "-env:UserInstallation=" + profile.url(),
        "--convert-to", "pdf", "--outdir", outFolder };
    argv.insert(argv.end(), files.begin(), files.end());
    return ChildProcess::run(argv, std::chrono::minutes(10)).succeeded();
}

double sessionRun(const std::vector<std::string>& files, const std::string& outFolder)
{
    auto start = Clock::now();
    LibreOfficeAutomation automation;
    std::shared_ptr<WordApplication> word;
    if (failed(automation.createApplication("Word.Application", word))) {
        std::fprintf(stderr, "cannot start the office session\n");
        std::exit(1);
    }
    std::shared_ptr<WordDocuments> documents = word->documents();
    for (const std::string& file : files) {
        try {
            std::shared_ptr<WordDocument> document = documents->open(file);
            document->saveAs(
                outFolder + "/" + std::filesystem::path(file).filename().string() + ".pdf", wordFormat::pdf);
            document->close();
        } catch (const ComError& error) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), error.what());
        }
    }
    word->quit();
    return seconds(start);
}

}

int main()
{
    const char* sourceVariable = std::getenv("PRESSLING_SOURCE_DIR");
    std::string source = sourceVariable ? sourceVariable : PRESSLING_SOURCE_DIR_DEFAULT;
    std::vector<std::string> files = wordDocuments(source);
    if (files.size() < documentCount) {
        std::fprintf(stderr, "need %zu Word documents, found %zu\n", documentCount, files.size());
        return 1;
    }
    std::string root = std::filesystem::temp_directory_path().string() + "/pressling-office-bench";
    std::filesystem::remove_all(root);
    for (const char* folder : { "session", "batch", "single", "warm" })
        std::filesystem::create_directories(root + "/" + folder);

    // The soffice baselines get a profile that has started once already, as ours is seeded, so
    // that neither side pays for a first start.
    LibreOfficeProfile profile;
    if (!profile.create() || !convert({ files.front() }, root + "/warm", profile)) {
        std::fprintf(stderr, "soffice --convert-to does not work here\n");
        return 1;
    }

    double session = sessionRun(files, root + "/session");
    auto batchStart = Clock::now();
    convert(files, root + "/batch", profile);
    double batch = seconds(batchStart);
    auto singleStart = Clock::now();
    for (const std::string& file : files)
        convert({ file }, root + "/single", profile);
    double single = seconds(singleStart);

    std::printf("documents: %zu Word documents to PDF (written: session %zu, batch %zu, per file %zu)\n",
        files.size(), pdfsIn(root + "/session"), pdfsIn(root + "/batch"), pdfsIn(root + "/single"));
    std::printf("one session:                 %7.2f s\n", session);
    std::printf("one soffice call for all:    %7.2f s\n", batch);
    std::printf("one soffice call per file:   %7.2f s\n", single);
    std::printf("session / batch call:        %7.2fx  (aim: at most 1.10x)\n", session / batch);
    std::printf("per-file calls / session:    %7.2fx  (aim: at least 8x)\n", single / session);
    std::filesystem::remove_all(root);
    return 0;
}
