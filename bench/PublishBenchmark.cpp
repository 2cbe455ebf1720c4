// One pressling-cli publish job over 20 real Word documents to PDF, against LibreOffice's own
// batch conversion of the same files in the same run: the ratio is what the job's checks,
// backups and per-document calls cost on top of the office's work.
#include "platform/ChildProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int documentCount = 20;

std::vector<fs::path> sampleDocuments(const fs::path& corpus)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(corpus / "word")) {
        if (entry.path().extension() == ".docx")
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    if (found.size() > static_cast<size_t>(documentCount))
        found.resize(documentCount);
    return found;
}

std::vector<std::string> copyInto(const std::vector<fs::path>& documents, const fs::path& folder)
{
    fs::create_directories(folder);
    std::vector<std::string> copies;
    for (const fs::path& document : documents) {
        fs::path copy = folder / document.filename();
        fs::copy_file(document, copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        copies.push_back(copy.string());
    }
    return copies;
}

double runTimed(const std::vector<std::string>& argv,
    const std::vector<std::pair<std::string, std::string>>& environment, bool& succeeded)
{
    platform::ChildProcess child;
    platform::ChildProcess::Options options;
    options.environment = environment;
    options.standardOutput.mode = platform::ChildProcess::Output::Discard;
    options.standardError.mode = platform::ChildProcess::Output::Discard;
    auto started = std::chrono::steady_clock::now();
    if (!child.start(argv, options)) {
        succeeded = false;
        return 0;
    }
    platform::ChildProcess::Status status = child.waitFor(std::chrono::minutes(20));
    succeeded = status.outcome == platform::ChildProcess::Outcome::Exited && status.exitCode == 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

int countPdfs(const fs::path& folder)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.path().extension() == ".pdf" ? 1 : 0;
    return count;
}

}

int main()
{
    const char* sourceDir = std::getenv("PRESSLING_SOURCE_DIR");
    fs::path corpus = fs::path(sourceDir ? sourceDir : PRESSLING_SOURCE_DIR_DEFAULT) / ".." / "shared"
        / "corpus" / "documents";
    std::vector<fs::path> documents = sampleDocuments(corpus);
    if (documents.size() < static_cast<size_t>(documentCount)) {
        std::fprintf(
            stderr, "PublishBenchmark: fewer than %d Word documents in %s\n", documentCount, corpus.c_str());
        return 1;
    }
    fs::path scratch = fs::temp_directory_path() / ("pressling-publish-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch / "registry");

    bool cliOk = false;
    std::vector<std::string> cliArguments = { PRESSLING_CLI_PATH, "publish", "--format", "pdf" };
    for (const std::string& copy : copyInto(documents, scratch / "job"))
        cliArguments.push_back(copy);
    double job = runTimed(cliArguments,
        { { "PRESSLING_REGISTRY_DIR", (scratch / "registry").string() }, { "HOME", scratch.string() } },
        cliOk);

    bool officeOk = false;
    std::vector<std::string> officeArguments = { "soffice", "--headless", "--norestore",
        "-env:UserInstallation=file://" + (scratch / "profile").string(), "--convert-to", "pdf", "--outdir",
        (scratch / "batch-out").string() };
    for (const std::string& copy : copyInto(documents, scratch / "batch"))
        officeArguments.push_back(copy);
    double batch = runTimed(officeArguments, { { "HOME", scratch.string() } }, officeOk);

    int jobPdfs = countPdfs(scratch / "job");
    int batchPdfs = fs::exists(scratch / "batch-out") ? countPdfs(scratch / "batch-out") : 0;
    std::printf("documents: %d Word documents to PDF\n", documentCount);
    std::printf("pressling-cli publish: %.2f s, %d PDFs, %s\n", job, jobPdfs, cliOk ? "all OK" : "FAILED");
    std::printf("soffice --convert-to:  %.2f s, %d PDFs, %s\n", batch, batchPdfs, officeOk ? "ok" : "FAILED");
    if (batch > 0)
        std::printf("ratio (job / batch): %.2f\n", job / batch);
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return cliOk && officeOk && jobPdfs == documentCount && batchPdfs == documentCount ? 0 : 1;
}
