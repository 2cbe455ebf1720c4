// pressling-cli publish with one and with two office sessions side by side against LibreOffice's
// own batch conversion: 20 corpus Word documents, and the same copied five times under other
// names (100), to PDF. The batch call's profile has started once already, so that it is not
// charged for creating it. Prints each side's time, the ratios against the batch call with their
// aims, and the memory that each session's office held at most.
#include "bench/BatchComparison.h"
#include "bench/DocumentCopies.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t sourceCount = 20;
// job / batch at most this, with one session and with two.
constexpr double aimOneSession = 1.0;
constexpr double aimTwoSessions = 0.6;

bool complete(const BatchComparison::Side& side, size_t documents)
{
    return side.succeeded && side.pdfs == static_cast<int>(documents);
}

void printRow(const char* name, const BatchComparison::Side& side, const BatchComparison::Side& batch,
    size_t documents, size_t sessions, double aim)
{
    const double ratio = batch.seconds > 0 ? side.seconds / batch.seconds : 0;
    char aimText[16] = "-";
    if (aim > 0)
        std::snprintf(aimText, sizeof aimText, "<=%.2fx", aim);
    char memory[32] = "-";
    if (sessions > 0)
        std::snprintf(
            memory, sizeof memory, "%.0f", side.peakOfficeMegabytes / static_cast<double>(sessions));
    std::printf("%6zu %-10s %9.2f %8.2fx %7s %9.1f %12s %5d%s\n", documents, name, side.seconds, ratio,
        aimText, 1000 * side.seconds / static_cast<double>(documents), memory, side.pdfs,
        complete(side, documents) ? "" : "  FAILED");
    std::fflush(stdout);
}

}

int main()
{
    std::vector<fs::path> sources
        = DocumentCopies::wordCorpus("ParallelPublishBenchmark", PRESSLING_SOURCE_DIR_DEFAULT, sourceCount);
    if (sources.empty())
        return 1;
    fs::path scratch = fs::temp_directory_path() / ("pressling-parallel-bench-" + std::to_string(::getpid()));
    BatchComparison comparison(sources, scratch);
    if (!comparison.warmUp()) {
        std::fprintf(stderr, "ParallelPublishBenchmark: soffice --convert-to does not work here\n");
        return 1;
    }
    std::printf("pressling-cli publish --format pdf --jobs N against one soffice --convert-to pdf call "
                "(warmed profile), %ld processors\n",
        ::sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%6s %-10s %9s %9s %7s %9s %12s %5s\n", "docs", "side", "seconds", "x batch", "aim", "ms/doc",
        "MB/session", "PDFs");
    bool all = true;
    for (size_t documents : { size_t(20), size_t(100) }) {
        BatchComparison::Side batch = comparison.runBatchOnCopies(documents);
        BatchComparison::Side one = comparison.runJobOnCopies(documents, 1);
        BatchComparison::Side two = comparison.runJobOnCopies(documents, 2);
        printRow("batch", batch, batch, documents, 0, 0);
        printRow("--jobs 1", one, batch, documents, 1, documents == 100 ? aimOneSession : 0);
        printRow("--jobs 2", two, batch, documents, 2, documents == 100 ? aimTwoSessions : 0);
        all = all && complete(batch, documents) && complete(one, documents) && complete(two, documents);
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return all ? 0 : 1;
}
