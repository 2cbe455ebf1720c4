// What a publishing job costs beside LibreOffice's own batch conversion, and where its time per
// document goes. Part A runs pressling-cli publish over N Word documents to PDF and one soffice
// batch call over the same documents, for each size, and prints the ratio and the time per
// document of each side, so that growth with N shows. Part B runs the real job in this process
// over 100 documents with every Word call timed, times Pressling's own steps of publishing a
// document apart on fresh copies, and prints a table per step. Part C runs pressling-cli over 100
// documents with the office in its sandbox and without, in turns, and prints what the sandbox
// costs. Part D, when PRESSLING_BASELINE_CLI names the pressling-cli of an earlier build, runs it
// and this build's over 100 documents in turns and prints what this build costs beside it.
#include "bench/BatchComparison.h"
#include "bench/BreakdownReport.h"
#include "bench/DocumentCopies.h"
#include "bench/JobBreakdown.h"
#include "bench/OwnStepTimer.h"
#include "bench/Statistics.h"
#include "bench/StepClock.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t sourceCount = 20;
constexpr size_t breakdownCount = 100;

// The aims that the job is held to at some sizes: job / batch at most this.
const std::map<size_t, double> aims = { { 20, 0.80 }, { 100, 0.90 } };

bool parseSizes(int argc, char** argv, std::vector<size_t>& sizes)
{
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        unsigned long size = std::strtoul(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size == 0)
            return false;
        sizes.push_back(size);
    }
    if (sizes.empty())
        sizes = { 20, 100, 300 };
    return true;
}

void printComparisonHeader()
{
    std::printf("A. pressling-cli publish --format pdf against soffice --convert-to pdf, one call per %zu "
                "documents\n",
        BatchComparison::defaultDocumentsPerCall);
    std::printf("%6s %9s %9s %9s %7s %10s %10s %10s %11s\n", "docs", "job s", "batch s", "job/batch", "aim",
        "job ms/doc", "batch ms/d", "diff ms/d", "PDFs j/b");
}

void printComparison(const BatchComparison::Result& result)
{
    const double n = static_cast<double>(result.documents);
    const double ratio = result.batch.seconds > 0 ? result.job.seconds / result.batch.seconds : 0;
    auto aim = aims.find(result.documents);
    char aimText[16] = "-";
    if (aim != aims.end())
        std::snprintf(aimText, sizeof aimText, "<=%.2fx", aim->second);
    std::printf("%6zu %9.2f %9.2f %8.2fx %7s %10.1f %10.1f %10.1f %5d/%-5d%s\n", result.documents,
        result.job.seconds, result.batch.seconds, ratio, aimText, 1000 * result.job.seconds / n,
        1000 * result.batch.seconds / n, 1000 * (result.job.seconds - result.batch.seconds) / n,
        result.job.pdfs, result.batch.pdfs, result.complete() ? "" : "  FAILED");
    if (result.batch.calls > 1)
        std::printf(
            "%6s (batch in %d soffice calls: one call leaves out the files past about 247 arguments)\n", "",
            result.batch.calls);
    std::fflush(stdout);
}

// Part A; returns false when a side failed or missed a PDF. batchAt100 receives what each
// document from the first size up to 100 added to the batch call's time, when 100 is run after a
// smaller size: the office's start is then left out, as it is left out of the job's breakdown.
bool compareWithBatch(const std::vector<fs::path>& sources, const fs::path& scratch,
    const std::vector<size_t>& sizes, std::optional<double>& batchAt100)
{
    BatchComparison comparison(sources, scratch);
    if (!comparison.warmUp()) {
        std::fprintf(stderr, "PublishBenchmark: soffice --convert-to does not work here\n");
        return false;
    }
    printComparisonHeader();
    bool complete = true;
    std::optional<std::pair<size_t, double>> first;
    for (size_t size : sizes) {
        BatchComparison::Result result = comparison.run(size);
        printComparison(result);
        complete = complete && result.complete();
        if (size == breakdownCount && first && first->first < size)
            batchAt100
                = 1000 * (result.batch.seconds - first->second) / static_cast<double>(size - first->first);
        if (!first)
            first = std::make_pair(size, result.batch.seconds);
    }
    return complete;
}

// Pressling's own steps over fresh copies in a folder of their own, as many as the job had, so
// that what looks at the folder (the leftover sweep) sees the same number of files.
bool timeOwnSteps(
    const std::vector<fs::path>& sources, const fs::path& folder, const std::shared_ptr<StepClock>& clock)
{
    OwnStepTimer timer(clock);
    bool all = true;
    for (const std::string& path : DocumentCopies::make(sources, breakdownCount, folder))
        all = timer.timeDocument(path) && all;
    return all;
}

// Part B; false when a document was not OK or a count is wrong.
bool breakDown(
    const std::vector<fs::path>& sources, const fs::path& scratch, std::optional<double> batchAt100)
{
    std::printf("\nB. where the time of one job over %zu documents goes (in this process)\n", breakdownCount);
    std::fflush(stdout);
    const fs::path jobFolder = scratch / "breakdown" / "job";
    JobBreakdown::Result job = JobBreakdown::run(DocumentCopies::make(sources, breakdownCount, jobFolder));
    const int pdfs = DocumentCopies::countPdfs(jobFolder);
    auto own = std::make_shared<StepClock>();
    const bool ownOk = timeOwnSteps(sources, scratch / "breakdown" / "own", own);
    BreakdownReport(*job.officeCalls, *own, *job.record).print(stdout, batchAt100);
    const bool countsRight = job.officeCalls->documentCount() == breakdownCount
        && own->documentCount() == breakdownCount && pdfs == static_cast<int>(breakdownCount);
    std::printf("job: %.2f s in all, %d of %zu OK, %d PDFs%s%s\n", job.seconds, job.record->succeeded,
        breakdownCount, pdfs, ownOk ? "" : ", own steps refused a document",
        countsRight ? "" : ", counts WRONG");
    return job.allOk() && ownOk && countsRight;
}

// Part C; false when a run missed a PDF or the sandbox costs more than its aim. The two sides take
// turns, so that a machine that slows down or speeds up on the way favours neither.
bool compareSandbox(const std::vector<fs::path>& sources, const fs::path& scratch)
{
    constexpr double aim = 1.05;
    constexpr int rounds = 3;
    std::printf("\nC. pressling-cli publish over %zu documents with the office in its sandbox and without "
                "(Sandbox 0), %d turns each\n",
        breakdownCount, rounds);
    std::fflush(stdout);
    BatchComparison comparison(sources, scratch / "sandbox");
    const fs::path settings = scratch / "sandbox" / "registry" / "user.reg";
    std::vector<double> with;
    std::vector<double> without;
    bool complete = true;
    for (int round = 0; round < rounds; ++round) {
        for (bool sandboxed : { false, true }) {
            std::error_code ignored;
            fs::remove(settings, ignored);
            if (!sandboxed)
                std::ofstream(settings) << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\"
                                           "Pressling\\Config]\n\"Sandbox\"=dword:00000000\n";
            BatchComparison::Side side = comparison.runJobOnCopies(breakdownCount, 1);
            complete = complete && side.succeeded && side.pdfs == static_cast<int>(breakdownCount);
            (sandboxed ? with : without).push_back(side.seconds);
        }
    }
    const double ratio = statistics::median(with) / statistics::median(without);
    std::printf("%12s %12s %14s %9s\n", "sandbox s", "without s", "sandbox/without", "aim");
    std::printf("%12.2f %12.2f %13.3fx %8s%.2fx%s\n", statistics::median(with), statistics::median(without),
        ratio, "<=", aim, complete ? "" : "  FAILED");
    return complete && ratio <= aim;
}

// Part D; false when a run missed a PDF or this build costs more than its aim beside the baseline.
bool compareWithBaseline(const std::vector<fs::path>& sources, const fs::path& scratch)
{
    constexpr double aim = 1.10;
    constexpr int rounds = 3;
    const char* baseline = std::getenv("PRESSLING_BASELINE_CLI");
    if (!baseline || !*baseline) {
        std::printf("\nD. left out: PRESSLING_BASELINE_CLI names no earlier pressling-cli\n");
        return true;
    }
    std::printf("\nD. this pressling-cli against %s over %zu documents, %d turns each\n", baseline,
        breakdownCount, rounds);
    std::fflush(stdout);
    BatchComparison comparison(sources, scratch / "baseline");
    std::vector<double> current;
    std::vector<double> earlier;
    bool complete = true;
    for (int round = 0; round < rounds; ++round) {
        for (bool ours : { false, true }) {
            comparison.setJobProgram(ours ? "" : baseline);
            BatchComparison::Side side = comparison.runJobOnCopies(breakdownCount, 1);
            complete = complete && side.succeeded && side.pdfs == static_cast<int>(breakdownCount);
            (ours ? current : earlier).push_back(side.seconds);
        }
    }
    const double ratio = statistics::median(current) / statistics::median(earlier);
    std::printf("%12s %12s %14s %9s\n", "this s", "baseline s", "this/baseline", "aim");
    std::printf("%12.2f %12.2f %13.3fx %8s%.2fx%s\n", statistics::median(current),
        statistics::median(earlier), ratio, "<=", aim, complete ? "" : "  FAILED");
    return complete && ratio <= aim;
}

}

int main(int argc, char** argv)
{
    std::vector<size_t> sizes;
    if (!parseSizes(argc, argv, sizes)) {
        std::fprintf(stderr, "usage: PublishBenchmark [SIZE...]   (default: 20 100 300)\n");
        return 2;
    }
    std::vector<fs::path> sources
        = DocumentCopies::wordCorpus("PublishBenchmark", PRESSLING_SOURCE_DIR_DEFAULT, sourceCount);
    if (sources.empty())
        return 1;
    fs::path scratch = fs::temp_directory_path() / ("pressling-publish-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch / "registry");
    // The job in this process gets the same home and settings store as pressling-cli's in part A.
    setenv("PRESSLING_REGISTRY_DIR", (scratch / "registry").c_str(), 1);
    setenv("HOME", scratch.c_str(), 1);

    std::optional<double> batchAt100;
    const bool compared = compareWithBatch(sources, scratch, sizes, batchAt100);
    const bool brokenDown = breakDown(sources, scratch, batchAt100);
    const bool sandboxCheap = compareSandbox(sources, scratch);
    const bool asQuickAsBefore = compareWithBaseline(sources, scratch);
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return compared && brokenDown && sandboxCheap && asQuickAsBefore ? 0 : 1;
}
