// What filling the file list costs against merely touching the folder's files: builds a folder of
// 10,000 files that the list shows (Word documents copied from the corpus, and a few published
// files) and 10,000 that it passes over (workbooks, presentations, pictures, tables, archives),
// then times the model's filling in the background (listing, filter, protection test on worker
// threads, type names, icons and order) against a floor loop that opens each of the 20,000 files
// and reads its first 512 bytes.
//
// It does so twice: on the local disk as it is, and on a slow file server, where every open of a
// file in the folder waits 2 ms first. The second setting runs in a child process of this
// program that has the SlowOpen library preloaded, so that the delay sits below every line of
// the program's own code, the floor's opens included.
//
// For each setting it prints the floor, the time to the first rows, the time to the complete list
// (every row with its protection), the longest time the GUI thread stayed away from its event
// loop while filling, and the time of a second filling of the unchanged folder by the same model,
// which keeps what it learnt of each file.
#include "MixedFolder.h"
#include "filelist/FileListModel.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int ShownFiles = 10000;
constexpr int OtherFiles = 10000;
constexpr int LocalRounds = 5;
constexpr const char* SlowChildOption = "--slow-child";
// A filling that has not finished by then is reported as a failure rather than waited for.
constexpr int FillingTimeoutMs = 10 * 60 * 1000;
constexpr int SettleTimeoutMs = 2000;

using Clock = std::chrono::steady_clock;

double millisecondsSince(const Clock::time_point& start)
{
    return MixedFolder::secondsSince(start) * 1000;
}

// The opens that the preloaded SlowOpen library has delayed so far, or -1 without it. The program
// is not linked with the library, so the count is found by name.
long delayedOpens()
{
    using Count = long (*)();
    static auto count = reinterpret_cast<Count>(dlsym(RTLD_DEFAULT, "pressling_slow_opens"));
    return count ? count() : -1;
}

// The longest time the GUI thread stayed away from its event loop: a repeating 1 ms precise
// timer notes when each of its timeouts comes, and a gap between two beyond the interval is time
// the thread spent elsewhere. The timer is used rather than the event dispatcher's awake and
// aboutToBlock signals because a busy loop that keeps finding events never blocks, and so would
// look like one long stall although it answers every event in time.
class StallWatch {
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(IntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { note(); });
    }

    void start()
    {
        m_last = Clock::now();
        m_timer.start();
    }

    // Stops, counting the time since the last timeout as well.
    double stop()
    {
        note();
        m_timer.stop();
        return m_longestMs;
    }

private:
    static constexpr int IntervalMs = 1;

    void note()
    {
        Clock::time_point now = Clock::now();
        double gapMs = std::chrono::duration<double, std::milli>(now - m_last).count() - IntervalMs;
        m_longestMs = std::max(m_longestMs, gapMs);
        m_last = now;
    }

    QTimer m_timer;
    Clock::time_point m_last;
    double m_longestMs = 0;
};

struct Filling {
    double firstRowsMs = -1;
    double completeMs = -1;
    // When the last row's protection became known: the same as completeMs when filled() keeps its
    // word, later when rows were still waiting for their test then, -1 when they never got it.
    double protectionKnownMs = -1;
    double longestStallMs = 0;
    int rows = 0;
    int protectedRows = 0;
    int unknownAtFilled = 0;
    long delayedOpens = 0;
};

int rowsWithProtectionUnknown(const FileListModel& model)
{
    int unknown = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        unknown += model.rowAt(row).protectionKnown ? 0 : 1;
    return unknown;
}

// One filling of folder by model, timed from the showFolder call until the model says it is
// complete, with the event loop running as in the program. Should rows still wait for their
// protection then, the loop runs on until they have it or for SettleTimeoutMs at most, so that
// the figures say so and the next filling does not start while the last answers come in.
Filling fill(FileListModel& model, const QByteArray& folder)
{
    Filling filling;
    long opensBefore = delayedOpens();
    QEventLoop loop;
    StallWatch stalls;
    bool complete = false;
    bool settled = false;
    Clock::time_point start;
    auto noteRows = [&] {
        if (filling.firstRowsMs < 0 && model.rowCount() > 0)
            filling.firstRowsMs = millisecondsSince(start);
    };
    auto noteKnown = [&] {
        if (!complete || settled || rowsWithProtectionUnknown(model) > 0)
            return;
        filling.protectionKnownMs = millisecondsSince(start);
        settled = true;
        loop.quit();
    };
    std::vector<QMetaObject::Connection> connections {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, noteRows),
        QObject::connect(&model, &QAbstractItemModel::modelReset, noteRows),
        QObject::connect(&model, &QAbstractItemModel::layoutChanged, noteRows),
        QObject::connect(&model, &QAbstractItemModel::dataChanged, noteKnown),
        QObject::connect(&model, &FileListModel::filled,
            [&] {
                filling.completeMs = millisecondsSince(start);
                filling.longestStallMs = stalls.stop();
                noteRows();
                complete = true;
                filling.unknownAtFilled = rowsWithProtectionUnknown(model);
                noteKnown();
                if (!settled)
                    QTimer::singleShot(SettleTimeoutMs, &loop, [&] { loop.quit(); });
            }),
    };
    QTimer::singleShot(FillingTimeoutMs, &loop, [&] {
        if (!complete)
            loop.exit(1);
    });

    stalls.start();
    start = Clock::now();
    model.showFolder(folder);
    noteRows();
    if (!settled && loop.exec() != 0) {
        std::fprintf(stderr, "the filling of %s did not finish within %d s\n", folder.constData(),
            FillingTimeoutMs / 1000);
        std::exit(1);
    }
    for (const QMetaObject::Connection& connection : connections)
        QObject::disconnect(connection);

    filling.rows = model.rowCount();
    for (int row = 0; row < filling.rows; ++row)
        filling.protectedRows += model.rowAt(row).kind != PROTECTION_NONE ? 1 : 0;
    filling.delayedOpens = opensBefore < 0 ? -1 : delayedOpens() - opensBefore;
    return filling;
}

struct Round {
    double floorMs = 0;
    double shownFloorMs = 0;
    Filling first;
    Filling second;
};

// The floor over all the files and over the shown ones, then a filling by a model of its own, so
// that it pays for the first look-up of each file type's name and icon as the program's first
// filling does, and a second filling of the same folder by the same model.
Round runRound(const MixedFolder& mixed, long& checksum)
{
    Round round;
    round.floorMs = mixed.openAndReadAll(checksum) * 1000;
    round.shownFloorMs = MixedFolder::openAndRead(mixed.shownPaths(), checksum) * 1000;
    QByteArray folder = QByteArray::fromStdString(mixed.folder());
    FileListModel model;
    round.first = fill(model, folder);
    round.second = fill(model, folder);
    return round;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median of each figure over the rounds, figure by figure.
Round medianOf(const std::vector<Round>& rounds)
{
    auto of = [&](auto figure) {
        std::vector<double> values;
        for (const Round& round : rounds)
            values.push_back(figure(round));
        return median(values);
    };
    Round result = rounds.back();
    result.floorMs = of([](const Round& r) { return r.floorMs; });
    result.shownFloorMs = of([](const Round& r) { return r.shownFloorMs; });
    result.first.firstRowsMs = of([](const Round& r) { return r.first.firstRowsMs; });
    result.first.completeMs = of([](const Round& r) { return r.first.completeMs; });
    result.first.longestStallMs = of([](const Round& r) { return r.first.longestStallMs; });
    result.first.protectionKnownMs = of([](const Round& r) { return r.first.protectionKnownMs; });
    result.second.completeMs = of([](const Round& r) { return r.second.completeMs; });
    result.second.longestStallMs = of([](const Round& r) { return r.second.longestStallMs; });
    return result;
}

// One figure on a line of its own, the figures in one column.
void printFigure(const std::string& what, double milliseconds, const std::string& aim = "")
{
    std::printf("  %-56s %9.1f ms%s%s\n", what.c_str(), milliseconds, aim.empty() ? "" : "   ", aim.c_str());
}

std::string ratioAim(double ratio, const char* aim)
{
    char text[64];
    std::snprintf(text, sizeof(text), "/ floor %.2f, aim %s", ratio, aim);
    return text;
}

void print(
    const char* setting, const MixedFolder& mixed, const Round& round, const std::vector<Round>& rounds)
{
    std::string all = std::to_string(mixed.paths().size());
    std::string shown = std::to_string(mixed.shownPaths().size());
    std::printf("%s\n", setting);
    std::printf("  folder: %s files, %s of them shown by the list (mostly Word documents)\n", all.c_str(),
        shown.c_str());
    printFigure("floor: open + read 512 bytes of every file (all " + all + ")", round.floorMs);
    printFigure("floor over the " + shown + " shown files only", round.shownFloorMs);
    printFigure("first rows (showFolder to rowCount() > 0)", round.first.firstRowsMs, "aim < 100 ms");
    printFigure("complete list (showFolder to filled())", round.first.completeMs,
        ratioAim(round.first.completeMs / round.floorMs, "<= 1.2"));
    printFigure("longest stall of the GUI thread while filling", round.first.longestStallMs, "aim < 50 ms");
    printFigure("second filling, same model, unchanged folder", round.second.completeMs,
        ratioAim(round.second.completeMs / round.floorMs, "<= 0.2"));
    printFigure("longest stall of the GUI thread while filling again", round.second.longestStallMs);
    int unsettled = static_cast<int>(std::count_if(
        rounds.begin(), rounds.end(), [](const Round& each) { return each.first.protectionKnownMs < 0; }));
    if (unsettled == 0)
        printFigure("every row's protection known (filled() should mean it)", round.first.protectionKnownMs);
    else
        std::printf("  every row's protection known: not within %d s of filled() in %d of %zu rounds\n",
            SettleTimeoutMs / 1000, unsettled, rounds.size());
    // Every round's rows, not the median's: a filling that gives other rows or another protection
    // than the one before it is wrong whatever its time.
    std::string rows;
    for (const Round& each : rounds) {
        for (const Filling& filling : { each.first, each.second })
            rows += " " + std::to_string(filling.rows) + "/" + std::to_string(filling.protectedRows) + "/"
                + std::to_string(filling.unknownAtFilled);
        rows += ";";
    }
    rows.pop_back();
    std::printf(
        "  rows/protected/protection unknown at filled(), first and second filling:%s\n", rows.c_str());
    if (round.first.delayedOpens >= 0)
        std::printf("  opens delayed: %ld by the first filling, %ld by the second\n",
            round.first.delayedOpens, round.second.delayedOpens);
    std::fflush(stdout);
}

// Whether both fillings of the round listed every shown file and knew every row's protection when
// they said they were complete; says what was wrong where not.
bool fillingsRight(const MixedFolder& mixed, const Round& round)
{
    bool right = true;
    size_t expected = mixed.shownPaths().size();
    for (const Filling& filling : { round.first, round.second }) {
        if (static_cast<size_t>(filling.rows) != expected) {
            std::fprintf(stderr, "a filling listed %d rows where the folder has %zu shown files\n",
                filling.rows, expected);
            right = false;
        }
        if (filling.unknownAtFilled > 0) {
            std::fprintf(stderr, "a filling said it was complete with %d rows' protection unknown\n",
                filling.unknownAtFilled);
            right = false;
        }
    }
    return right;
}

// Setting (b), in the child process: the parent's folder, behind the preloaded delay. One round,
// since the floor alone waits 2 ms for each of 20,000 opens.
int runSlowChild(const std::string& folder)
{
    if (delayedOpens() < 0) {
        std::fprintf(stderr, "%s needs the SlowOpen library preloaded\n", SlowChildOption);
        return 1;
    }
    std::unique_ptr<MixedFolder> mixed = MixedFolder::existing(folder);
    long checksum = 0;
    Round round = runRound(*mixed, checksum);
    print("(b) every open under the folder delayed 2 ms (LD_PRELOAD SlowOpen), one round:", *mixed, round,
        { round });
    return fillingsRight(*mixed, round) && checksum != -1 ? 0 : 1;
}

// Starts this program again with the SlowOpen library preloaded for the folder, its output going
// straight to this one's.
int runSlowSetting(const MixedFolder& mixed)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString preload = QStringLiteral(PRESSLING_SLOW_OPEN_LIBRARY);
    if (environment.contains(QStringLiteral("LD_PRELOAD")))
        preload += QStringLiteral(":") + environment.value(QStringLiteral("LD_PRELOAD"));
    environment.insert(QStringLiteral("LD_PRELOAD"), preload);
    environment.insert(QStringLiteral("PRESSLING_SLOW_FOLDER"), QString::fromStdString(mixed.folder()));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
        { QString::fromLatin1(SlowChildOption), QString::fromStdString(mixed.folder()) });
    if (!child.waitForStarted() || !child.waitForFinished(-1)) {
        std::fprintf(stderr, "the slow setting's process did not run: %s\n", qPrintable(child.errorString()));
        return 1;
    }
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], SlowChildOption) == 0)
        return runSlowChild(argv[2]);

    MixedFolder mixed(argc > 1 ? argv[1] : "", ShownFiles, OtherFiles);

    // Setting (a). Warm the page cache once, so that the floor and the fillings read from memory;
    // then take the median of several rounds, each with the floor and the fillings side by side,
    // so that other work on the machine weighs on both alike.
    long checksum = 0;
    mixed.openAndReadAll(checksum);
    std::vector<Round> rounds;
    for (int round = 0; round < LocalRounds; ++round)
        rounds.push_back(runRound(mixed, checksum));
    char setting[80];
    std::snprintf(setting, sizeof(setting), "(a) local disk, median of %d rounds:", LocalRounds);
    Round local = medianOf(rounds);
    print(setting, mixed, local, rounds);
    bool allRight
        = std::all_of(rounds.begin(), rounds.end(), [&](const Round& r) { return fillingsRight(mixed, r); });

    int slow = runSlowSetting(mixed);
    return allRight && slow == 0 && checksum != -1 ? 0 : 1;
}
