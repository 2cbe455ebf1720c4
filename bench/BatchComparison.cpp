#include "bench/BatchComparison.h"

#include "bench/DocumentCopies.h"
#include "office/libreoffice/OrphanedOffices.h"
#include "platform/ChildProcess.h"
#include "platform/FileOperations.h"
#include "platform/MachineResources.h"
#include "platform/ProcessHandle.h"

#include <algorithm>
#include <chrono>

namespace fs = std::filesystem;

namespace {

// smaps_rollup is a score of short lines.
constexpr uint64_t largestRollup = 64 * 1024;

// Runs argv with its output discarded; succeeded tells whether it ended with status 0. With
// peakMegabytes, the memory of the program's offices is looked at twice a second meanwhile: reading
// an office's memory map costs the kernel time that the offices would otherwise have.
double runTimed(const std::vector<std::string>& argv,
    const std::vector<std::pair<std::string, std::string>>& environment, bool& succeeded,
    double* peakMegabytes = nullptr)
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
    platform::ChildProcess::Status status;
    const auto deadline = started + std::chrono::minutes(30);
    do {
        status = child.waitFor(std::chrono::milliseconds(peakMegabytes ? 500 : 1800000));
        if (peakMegabytes && status.outcome == platform::ChildProcess::Outcome::TimedOut)
            *peakMegabytes = std::max(*peakMegabytes, BatchComparison::officeMegabytes(child.pid()));
    } while (status.outcome == platform::ChildProcess::Outcome::TimedOut
        && std::chrono::steady_clock::now() < deadline);
    succeeded = status.outcome == platform::ChildProcess::Outcome::Exited && status.exitCode == 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

}

// The offices start and end while they are looked at: one that has ended meanwhile answers nothing
// and counts for nothing.
double BatchComparison::officeMegabytes(pid_t program)
{
    const std::string marker = "name=" + office::OrphanedOffices::pipePrefix(program);
    uint64_t kilobytes = 0;
    for (pid_t pid : platform::ProcessHandle::all()) {
        platform::ProcessHandle process;
        if (!process.open(pid))
            continue;
        std::vector<std::string> arguments = process.arguments();
        if (std::none_of(arguments.begin(), arguments.end(),
                [&](const std::string& argument) { return argument.find(marker) != std::string::npos; }))
            continue;
        std::string rollup;
        if (!platform::fileOperations::readAll(
                "/proc/" + std::to_string(pid) + "/smaps_rollup", rollup, largestRollup))
            continue;
        kilobytes += platform::MachineResources::kilobytesIn(rollup, "Pss:").value_or(0);
    }
    return static_cast<double>(kilobytes) / 1024;
}

bool BatchComparison::Result::complete() const
{
    const int expected = static_cast<int>(documents);
    return job.succeeded && batch.succeeded && job.pdfs == expected && batch.pdfs == expected;
}

BatchComparison::BatchComparison(std::vector<fs::path> sources, fs::path scratch, size_t documentsPerCall)
    : m_sources(std::move(sources))
    , m_scratch(std::move(scratch))
    , m_documentsPerCall(documentsPerCall > 0 ? documentsPerCall : defaultDocumentsPerCall)
{
    fs::create_directories(m_scratch / "registry");
}

bool BatchComparison::warmUp()
{
    std::vector<std::string> one = DocumentCopies::make(m_sources, 1, m_scratch / "warm-up");
    Side side = runBatch(one, m_scratch / "warm-up-out");
    return side.succeeded && side.pdfs == 1;
}

BatchComparison::Result BatchComparison::run(size_t documents)
{
    fs::path round = m_scratch / ("size-" + std::to_string(documents));
    Result result;
    result.documents = documents;
    result.job = runJob(DocumentCopies::make(m_sources, documents, round / "job"), round / "job");
    result.batch = runBatch(DocumentCopies::make(m_sources, documents, round / "batch"), round / "batch-out");
    std::error_code ignored;
    fs::remove_all(round, ignored);
    return result;
}

BatchComparison::Side BatchComparison::runJobOnCopies(size_t documents, size_t sessions)
{
    fs::path folder = m_scratch / ("jobs-" + std::to_string(sessions) + "-" + std::to_string(documents));
    Side side = runJob(DocumentCopies::make(m_sources, documents, folder), folder, sessions);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return side;
}

BatchComparison::Side BatchComparison::runBatchOnCopies(size_t documents)
{
    fs::path folder = m_scratch / ("batch-" + std::to_string(documents));
    Side side = runBatch(DocumentCopies::make(m_sources, documents, folder / "in"), folder / "out");
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return side;
}

// The job writes its PDFs beside the documents. It gets a home and a settings store of its own,
// so that nothing of the user's settings (a log switched on, a macro level) takes part.
BatchComparison::Side BatchComparison::runJob(
    const std::vector<std::string>& paths, const fs::path& folder, size_t sessions)
{
    std::vector<std::string> argv = { m_jobProgram.empty() ? PRESSLING_CLI_PATH : m_jobProgram, "publish",
        "--format", "pdf", "--jobs", std::to_string(sessions) };
    argv.insert(argv.end(), paths.begin(), paths.end());
    Side side;
    side.seconds = runTimed(argv,
        { { "PRESSLING_REGISTRY_DIR", (m_scratch / "registry").string() }, { "HOME", m_scratch.string() } },
        side.succeeded, &side.peakOfficeMegabytes);
    side.calls = 1;
    side.pdfs = DocumentCopies::countPdfs(folder);
    return side;
}

BatchComparison::Side BatchComparison::runBatch(
    const std::vector<std::string>& paths, const fs::path& outFolder)
{
    Side side;
    side.succeeded = true;
    for (size_t first = 0; first < paths.size(); first += m_documentsPerCall) {
        auto begin = paths.begin() + static_cast<long>(first);
        auto end = paths.begin() + static_cast<long>(std::min(paths.size(), first + m_documentsPerCall));
        bool succeeded = false;
        side.seconds += runTimed(batchCall(std::vector<std::string>(begin, end), outFolder),
            { { "HOME", m_scratch.string() } }, succeeded);
        side.succeeded = side.succeeded && succeeded;
        ++side.calls;
    }
    side.pdfs = DocumentCopies::countPdfs(outFolder);
    return side;
}

std::vector<std::string> BatchComparison::batchCall(
    const std::vector<std::string>& paths, const fs::path& outFolder) const
{
    std::vector<std::string> argv = { "soffice", "--headless", "--norestore",
        "-env:UserInstallation=file://" + (m_scratch / "profile").string(), "--convert-to", "pdf", "--outdir",
        outFolder.string() };
    argv.insert(argv.end(), paths.begin(), paths.end());
    return argv;
}
