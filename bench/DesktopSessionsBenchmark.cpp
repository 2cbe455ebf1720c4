// The desktop program's publishing job with the Sessions setting at 1 and at 2 against
// LibreOffice's own batch conversion: 20 corpus Word documents copied five times under other
// names (100) to PDF. The job is the one the file list starts, its notifier window open on an
// offscreen screen; its time runs from the start of the job until the window shows the job
// finished (looked at every 20 ms), and the window is then closed as a user would. The batch
// call's profile has started once already, so that it is not charged for creating it. The three
// sides run in turns, three times, and each side's median time counts, so that a busy moment of
// the machine does not decide a ratio. Prints each side's time, the ratios against the batch call
// with the aim for two sessions, the time per document, the PDFs written and the memory that all
// of the job's offices held together at most.
#include "bench/BatchComparison.h"
#include "bench/DocumentCopies.h"
#include "filelist/PublishingJobs.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"
#include "publishing/notifier/NotifierWindow.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t sourceCount = 20;
constexpr size_t documentCount = 100;
constexpr int turns = 3;
// job / batch at most this with two sessions; one session is held to what the job did before it
// had more.
constexpr double aimTwoSessions = 0.6;
// A job that has not finished by then is cancelled after the document in hand.
constexpr auto jobDeadline = std::chrono::minutes(30);

// Nobody is there to answer a box on an offscreen screen: its text goes to standard error and it
// is answered Ok, which also confirms the cancel of a job past its deadline.
class UnattendedMessageBox final : public MessageBox {
public:
    Answer show(QWidget*, const QString& title, const QString& text, Buttons, Icon) override
    {
        std::fprintf(
            stderr, "DesktopSessionsBenchmark: box \"%s\": %s\n", qPrintable(title), qPrintable(text));
        return Answer::Ok;
    }
};

// The job reads the setting afresh when it starts.
bool writeSessionsSetting(const fs::path& registry, size_t sessions)
{
    char value[16];
    std::snprintf(value, sizeof value, "%08zx", sessions);
    std::ofstream file(registry / "user.reg", std::ios::binary | std::ios::trunc);
    file << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n"
         << "\"Sessions\"=dword:" << value << "\n";
    return static_cast<bool>(file.flush());
}

// One desktop publishing job over fresh copies of the documents, with the memory of its offices
// looked at twice a second on the GUI thread while it runs: reading an office's memory map costs
// the kernel time that the offices would otherwise have.
BatchComparison::Side runDesktopJob(
    const std::vector<fs::path>& sources, const fs::path& scratch, size_t sessions)
{
    BatchComparison::Side side;
    if (!writeSessionsSetting(scratch / "registry", sessions))
        return side;
    fs::path folder = scratch / ("desktop-" + std::to_string(sessions));
    LinkedList paths;
    for (const std::string& path : DocumentCopies::make(sources, documentCount, folder))
        paths.addLast(std::make_unique<String>(path.c_str()));

    PublishingJobs jobs(
        PublishingJobs::Factories { {}, [] { return std::make_unique<office::LibreOfficeAutomation>(); } });
    QEventLoop loop;
    bool ended = false;
    const auto started = std::chrono::steady_clock::now();
    auto finished = started;
    bool sawFinished = false;
    bool cancelled = false;
    std::vector<QPointer<NotifierWindow>> closed;

    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<NotifierWindow*>(widget);
            if (!window || std::find(closed.begin(), closed.end(), window) != closed.end())
                continue;
            if (window->state() == NotifierWindow::State::Finished) {
                finished = std::chrono::steady_clock::now();
                sawFinished = true;
                closed.emplace_back(window);
                window->closeButton()->click();
            } else if (!cancelled && window->state() == NotifierWindow::State::Running
                && std::chrono::steady_clock::now() - started > jobDeadline) {
                cancelled = true;
                window->cancelButton()->click();
            }
        }
    });
    QTimer memory;
    memory.setInterval(500);
    QObject::connect(&memory, &QTimer::timeout, [&] {
        side.peakOfficeMegabytes
            = std::max(side.peakOfficeMegabytes, BatchComparison::officeMegabytes(::getpid()));
    });

    try {
        jobs.startJob(paths, ID_PUBLISH_AS_PDF, [&] {
            ended = true;
            loop.quit();
        });
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "DesktopSessionsBenchmark: the job did not start: %s\n", failure.what());
        return side;
    } catch (...) {
        std::fprintf(stderr, "DesktopSessionsBenchmark: the job did not start\n");
        return side;
    }
    watch.start();
    memory.start();
    loop.exec();
    watch.stop();
    memory.stop();

    side.seconds = std::chrono::duration<double>(finished - started).count();
    side.succeeded = ended && sawFinished && !cancelled;
    side.calls = 1;
    side.pdfs = DocumentCopies::countPdfs(folder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return side;
}

bool complete(const BatchComparison::Side& side)
{
    return side.succeeded && side.pdfs == static_cast<int>(documentCount);
}

// The side with the median time, carrying the most memory of all turns; complete only when every
// turn was.
BatchComparison::Side median(std::vector<BatchComparison::Side> sides)
{
    std::sort(sides.begin(), sides.end(), [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
    BatchComparison::Side middle = sides[sides.size() / 2];
    for (const BatchComparison::Side& side : sides) {
        middle.peakOfficeMegabytes = std::max(middle.peakOfficeMegabytes, side.peakOfficeMegabytes);
        if (!complete(side))
            middle.succeeded = false;
    }
    return middle;
}

bool complete(const std::vector<BatchComparison::Side>& sides)
{
    return std::all_of(sides.begin(), sides.end(), [](const auto& side) { return complete(side); });
}

void printRow(const char* name, const BatchComparison::Side& side, const BatchComparison::Side& batch,
    double aim, bool memory)
{
    const double ratio = batch.seconds > 0 ? side.seconds / batch.seconds : 0;
    char aimText[16] = "-";
    if (aim > 0)
        std::snprintf(aimText, sizeof aimText, "<=%.2fx", aim);
    char megabytes[32] = "-";
    if (memory)
        std::snprintf(megabytes, sizeof megabytes, "%.0f", side.peakOfficeMegabytes);
    std::printf("%6zu %-10s %9.2f %8.2fx %7s %9.1f %12s %5d%s\n", documentCount, name, side.seconds, ratio,
        aimText, 1000 * side.seconds / static_cast<double>(documentCount), megabytes, side.pdfs,
        complete(side) ? "" : "  FAILED");
    std::fflush(stdout);
}

}

int main(int argc, char** argv)
{
    std::vector<fs::path> sources
        = DocumentCopies::wordCorpus("DesktopSessionsBenchmark", PRESSLING_SOURCE_DIR_DEFAULT, sourceCount);
    if (sources.empty())
        return 1;
    // The job, its offices and the batch call get a home and a settings store of their own, so
    // that nothing of the user's settings (a log switched on, a macro level) takes part; they are
    // set before anything reads them.
    fs::path scratch
        = fs::temp_directory_path() / ("pressling-desktop-sessions-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch / "registry");
    ::setenv("HOME", scratch.c_str(), 1);
    ::setenv("PRESSLING_REGISTRY_DIR", (scratch / "registry").c_str(), 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Each office keeps its private profile, and writes what it publishes, in the user's runtime
    // folder: on a desktop a folder in memory that the login makes (XDG_RUNTIME_DIR, a tmpfs),
    // where the office's syncs of what it writes cost nothing. Where there is none (a container, a
    // bare terminal) a folder of this run's own in /dev/shm stands in for it, so that the job runs
    // as it does on a desktop.
    std::error_code ignored;
    fs::path runtime;
    if (!std::getenv("XDG_RUNTIME_DIR") && fs::is_directory("/dev/shm")) {
        runtime = fs::path("/dev/shm") / ("pressling-desktop-sessions-bench-" + std::to_string(::getpid()));
        if (fs::create_directory(runtime, ignored)) {
            fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace, ignored);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
    }

    QApplication application(argc, argv);
    UnattendedMessageBox box;
    MessageBox::install(&box);
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());

    bool all = false;
    BatchComparison comparison(sources, scratch);
    if (!comparison.warmUp()) {
        std::fprintf(stderr, "DesktopSessionsBenchmark: soffice --convert-to does not work here\n");
    } else {
        std::printf("the desktop program's publishing job to PDF with the Sessions setting at N against one "
                    "soffice --convert-to pdf call (warmed profile), %ld processors, the offices' runtime "
                    "folder %s, median of %d turns\n",
            ::sysconf(_SC_NPROCESSORS_ONLN),
            std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "(none)", turns);
        std::printf("%6s %-10s %9s %9s %7s %9s %12s %5s\n", "docs", "side", "seconds", "x batch", "aim",
            "ms/doc", "peak MB", "PDFs");
        std::vector<BatchComparison::Side> batch;
        std::vector<BatchComparison::Side> one;
        std::vector<BatchComparison::Side> two;
        for (int turn = 0; turn < turns; ++turn) {
            batch.push_back(comparison.runBatchOnCopies(documentCount));
            one.push_back(runDesktopJob(sources, scratch, 1));
            two.push_back(runDesktopJob(sources, scratch, 2));
        }
        BatchComparison::Side batchMedian = median(batch);
        printRow("batch", batchMedian, batchMedian, 0, false);
        printRow("Sessions 1", median(one), batchMedian, 0, true);
        printRow("Sessions 2", median(two), batchMedian, aimTwoSessions, true);
        all = complete(batch) && complete(one) && complete(two);
    }
    MessageBox::install(nullptr);
    fs::remove_all(scratch, ignored);
    if (!runtime.empty())
        fs::remove_all(runtime, ignored);
    return all ? 0 : 1;
}
