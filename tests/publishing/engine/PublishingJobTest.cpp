#include "EngineTestSupport.h"
#include "tests/support/LogCapture.h"

#include "foundation/Thread.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <stdexcept>

namespace {

class PublishingJobTest : public ::testing::Test {
protected:
    void SetUp() override { OfficeVersion::resetCache(); }

    bool run(const std::vector<std::string>& paths, int32_t command = ID_PUBLISH_AS_PDF)
    {
        return runJob(paths, command, m_script, m_record, m_receiver, m_counters);
    }
    std::vector<std::string> results()
    {
        std::vector<std::string> texts;
        for (const auto& row : m_record->rowsCopy())
            texts.push_back(row.result);
        return texts;
    }

    TemporaryFolder m_folder;
    std::shared_ptr<OfficeScript> m_script = std::make_shared<OfficeScript>();
    std::shared_ptr<RecordingNotifier::Record> m_record = std::make_shared<RecordingNotifier::Record>();
    DoneReceiver m_receiver;
    JobCounters m_counters;
};

}

// Catches an application started for the wrong documents, or twice.
TEST_F(PublishingJobTest, StartsOneApplicationPerKindOfDocument)
{
    TestRegistry registry;
    std::vector<std::string> paths = { m_folder.write("a.doc", "a"), m_folder.write("b.PPTX", "b"),
        m_folder.write("c.xlsm", "c"), m_folder.write("d.docx", "d"), m_folder.write("e.pdf", "e") };
    ASSERT_TRUE(run(paths));
    EXPECT_EQ(m_script->count("create(Word.Application)"), 1);
    EXPECT_EQ(m_script->count("create(PowerPoint.Application)"), 1);
    EXPECT_EQ(m_script->count("create(Excel.Application)"), 1);
    EXPECT_EQ(results(), (std::vector<std::string> { "OK", "OK", "OK", "OK", "NG" }));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=5   Scucceeded=4   Failed=1");
    EXPECT_EQ(m_record->progress[1], "Publishing (2/5): '" + paths[1] + "'");
}

// Catches ".xps" entries that get a row, count as succeeded, or start an office.
TEST_F(PublishingJobTest, XpsEntriesShowProgressOnly)
{
    TestRegistry registry;
    ASSERT_TRUE(run({ m_folder.file("one.xps"), m_folder.file("TWO.XPS"), m_folder.file("three.Xps") }));
    EXPECT_EQ(m_record->progress.size(), 3u);
    EXPECT_TRUE(m_record->rows.empty());
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=3   Scucceeded=0   Failed=3");
    EXPECT_EQ(m_script->indexOf("create("), -1);
}

// Catches an empty job that never ends or never tells its window.
TEST_F(PublishingJobTest, EmptyListStillEndsProperly)
{
    TestRegistry registry;
    ASSERT_TRUE(run({}));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=0   Scucceeded=0   Failed=0");
    EXPECT_EQ(m_receiver.done, 1);
    EXPECT_EQ(m_counters.destroyed, 1);
}

// Catches the notifier driven out of order, the session outliving the summary, or the job object
// destroyed more than once.
TEST_F(PublishingJobTest, NotifierCallsInOrderAndSessionEndsBeforeSummary)
{
    TestRegistry registry;
    ASSERT_TRUE(run({ m_folder.write("a.docx", "a") }));
    EXPECT_EQ(m_record->callsCopy(),
        (std::vector<std::string> { "create", "showProgress", "addResult", "showSummary", "waitForClose",
            "hide", "destroyWindow", "delete" }));
    EXPECT_EQ(m_receiver.sessionsEnded, 1);
    EXPECT_EQ(m_script->automationsDestroyed, 1);
    EXPECT_EQ(m_script->calls.back(), "automation.end");
    EXPECT_EQ(m_counters.destroyed, 1);
    EXPECT_EQ(m_receiver.done, 1);
}

// Catches 2007 formats sent to an office that cannot read them, and (version 14) refused by one that
// can.
TEST_F(PublishingJobTest, Office2007DocumentsSkippedOnlyBelowVersion12)
{
    {
        TestRegistry registry(11);
        std::string path = m_folder.write("new.DOCX", "n");
        std::string old = m_folder.write("old.doc", "o");
        ASSERT_TRUE(run({ path, old }));
        EXPECT_EQ(results(), (std::vector<std::string> { "SKIPPED", "OK" }));
        EXPECT_EQ(m_script->indexOf("Word.open(" + path), -1);
    }
    TestRegistry registry(14);
    auto script = std::make_shared<OfficeScript>();
    auto record = std::make_shared<RecordingNotifier::Record>();
    DoneReceiver receiver;
    JobCounters counters;
    std::string path = m_folder.write("later.docx", "l");
    ASSERT_TRUE(runJob({ path }, ID_PUBLISH_AS_HTML, script, record, receiver, counters));
    EXPECT_EQ(record->rowsCopy().at(0).result, "OK");
}

// Catches a cancel seen in the middle of a document, or not seen before the next one.
TEST_F(PublishingJobTest, CancelDuringThirdOfFiveStopsBeforeTheFourth)
{
    TestRegistry registry;
    std::vector<std::string> paths;
    for (int i = 1; i <= 5; ++i)
        paths.push_back(m_folder.write("doc" + std::to_string(i) + ".doc", "x"));
    m_script->onOpen = [&](const std::string& path) {
        if (path == paths[2])
            m_record->cancel();
    };
    ASSERT_TRUE(run(paths));
    EXPECT_EQ(results(), (std::vector<std::string> { "OK", "OK", "OK" }));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=5   Scucceeded=3   Failed=2");
    EXPECT_EQ(m_script->indexOf("Word.open(" + paths[3]), -1);
}

// Catches a session that cannot start crashing the job, hanging it, or skipping its end.
TEST_F(PublishingJobTest, SessionThatCannotStartFailsEveryDocument)
{
    TestRegistry registry;
    m_script->createResults["Excel.Application"] = office::hresult::serverExecutionFailure;
    std::vector<std::string> paths
        = { m_folder.write("a.docx", "a"), m_folder.write("b.xls", "b"), m_folder.file("c.xps") };
    ASSERT_TRUE(run(paths));
    EXPECT_EQ(results(), (std::vector<std::string> { "NG", "NG" }));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=3   Scucceeded=0   Failed=3");
    EXPECT_EQ(m_receiver.done, 1);
    EXPECT_EQ(m_counters.destroyed, 1);
    EXPECT_EQ(readFile(paths[0]), "a");
}

// Catches one failing document stopping the job, and NG rows marked as successes.
TEST_F(PublishingJobTest, FailuresCostOnlyTheirDocument)
{
    TestRegistry registry;
    std::vector<std::string> paths = { m_folder.write("a.doc", "a"), m_folder.write("b.doc", "b"),
        m_folder.file("missing.doc"), m_folder.write("c.doc.html", "c"), m_folder.write("d.doc", "d") };
    m_script->documents[paths[1]].saveThrows = true;
    ASSERT_TRUE(run(paths, ID_PUBLISH_AS_HTML));
    auto rows = m_record->rowsCopy();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(results(), (std::vector<std::string> { "OK", "NG", "NG", "NG", "OK" }));
    EXPECT_EQ(rows[0].mark, 1);
    EXPECT_EQ(rows[1].mark, 0);
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=5   Scucceeded=2   Failed=3");
}

// Catches the window told before the user has closed the notifier.
TEST_F(PublishingJobTest, DoneOnlyAfterTheNotifierClosed)
{
    TestRegistry registry;
    m_record->holdClose = true;
    std::vector<std::string> paths = { m_folder.write("a.doc", "a") };
    std::thread release([&] {
        m_record->waitUntilWaiting(20000);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(m_receiver.done, 0);
        m_record->releaseClose();
    });
    bool ended = run(paths);
    release.join();
    ASSERT_TRUE(ended);
    EXPECT_EQ(m_receiver.done, 1);
}

// Catches Word's failure status kept from the user, the box shown for other applications, and a
// refused save counted as published.
TEST_F(PublishingJobTest, WordSaveStatusIsShownAsTheErrorBox)
{
    TestRegistry registry;
    LogCapture log;
    std::vector<std::string> paths = { m_folder.write("a.doc", "a"), m_folder.write("b.xls", "b") };
    m_script->documents[paths[0]].saveStatus = 1;
    m_script->documents[paths[1]].saveStatus = 1;
    ASSERT_TRUE(run(paths));
    EXPECT_EQ(
        m_record->messages, (std::vector<std::pair<std::string, std::string>> { { "Error", "Error" } }));
    EXPECT_EQ(results(), (std::vector<std::string> { "NG", "NG" }));
    EXPECT_EQ(log.count("OfficeApplication#protectWord,9,Save: Error"), 1);
    EXPECT_TRUE(log.contains("OfficeApplication#protect,17,End rc=203"));
    EXPECT_EQ(readFile(paths[0]), "a");
}

namespace {

// A job of sessions sessions side by side, with the recording notifier and the scripted office.
JobSetup sessionsSetup(
    size_t sessions, std::shared_ptr<RecordingNotifier::Record> record, std::shared_ptr<OfficeScript> script)
{
    JobSetup setup;
    setup.sessions = sessions;
    setup.notifiers = [record] { return std::make_unique<RecordingNotifier>(record); };
    setup.automations = [script] { return std::make_unique<ScriptedAutomation>(script); };
    return setup;
}

// A session that waits for a signal stands still, as one working on a slow document does; a
// signal that never comes fails the test instead of hanging it.
bool waitFor(const std::shared_future<void>& signal)
{
    return signal.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
}

}

// Catches rows shown in the order the sessions finished, a document published twice or left
// out, a document without a row (an XPS file) holding the rows behind it back, and sessions that
// do not all end before the summary.
TEST_F(PublishingJobTest, SessionsSideBySideShowTheRowsInTheOrderOfTheDocuments)
{
    TestRegistry registry;
    for (size_t sessions : { size_t(2), size_t(3) }) {
        auto script = std::make_shared<OfficeScript>();
        auto record = std::make_shared<RecordingNotifier::Record>();
        DoneReceiver receiver;
        JobCounters counters;
        std::vector<std::string> paths;
        for (int i = 0; i < 6; ++i)
            paths.push_back(
                i == 2 ? m_folder.file("d2.xps") : m_folder.write("d" + std::to_string(i) + ".doc", "x"));
        // The first document is slow: it is done only after another session has reached the fifth.
        std::promise<void> fifthOpened;
        std::shared_future<void> fifthOpen = fifthOpened.get_future().share();
        size_t rowsWhileTheFirstWasInHand = 99;
        script->onOpen = [&](const std::string& path) {
            if (path == paths[0]) {
                EXPECT_TRUE(waitFor(fifthOpen));
            }
            if (path == paths[4]) {
                rowsWhileTheFirstWasInHand = record->rowsCopy().size();
                fifthOpened.set_value();
            }
        };
        ASSERT_TRUE(runJobWithSetup(
            paths, ID_PUBLISH_AS_PDF, sessionsSetup(sessions, record, script), receiver, counters));

        EXPECT_EQ(rowsWhileTheFirstWasInHand, 0u) << sessions;
        std::vector<std::string> rows;
        for (const auto& row : record->rowsCopy())
            rows.push_back(row.path);
        EXPECT_EQ(rows, (std::vector<std::string> { paths[0], paths[1], paths[3], paths[4], paths[5] }))
            << sessions;
        for (size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(
                record->progress.at(i), "Publishing (" + std::to_string(i + 1) + "/6): '" + paths[i] + "'");
        EXPECT_EQ(record->summary, "Publishing Result: Total=6   Scucceeded=5   Failed=1");
        EXPECT_EQ(script->automationsCreated, static_cast<int>(sessions));
        EXPECT_EQ(script->automationsDestroyed, static_cast<int>(sessions));
        EXPECT_EQ(script->count("Word.open(" + paths[5] + ")"), 1);
        EXPECT_EQ(receiver.sessionsEnded, 1);
        EXPECT_EQ(counters.destroyed, 1);
    }

    // One document, one session, whatever was asked for.
    ASSERT_TRUE(runJobWithSetup({ m_folder.write("one.doc", "1") }, ID_PUBLISH_AS_PDF,
        sessionsSetup(4, m_record, m_script), m_receiver, m_counters));
    EXPECT_EQ(m_script->automationsCreated, 1);
    EXPECT_EQ(results(), (std::vector<std::string> { "OK" }));
}

// Catches a session that goes on to its next document after a confirmed Cancel, a document in
// hand left half published, and an office left running.
TEST_F(PublishingJobTest, CancelStopsEverySessionBeforeItsNextDocument)
{
    TestRegistry registry;
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i)
        paths.push_back(m_folder.write("d" + std::to_string(i) + ".doc", "d" + std::to_string(i)));
    // Whichever session takes the second document waits there until the other has the third, where
    // the user cancels: both are in the middle of a document.
    std::promise<void> thirdOpened;
    std::shared_future<void> thirdOpen = thirdOpened.get_future().share();
    m_script->onOpen = [&](const std::string& path) {
        if (path == paths[1]) {
            EXPECT_TRUE(waitFor(thirdOpen));
        }
        if (path == paths[2]) {
            m_record->cancel();
            thirdOpened.set_value();
        }
    };
    ASSERT_TRUE(runJobWithSetup(
        paths, ID_PUBLISH_AS_PDF, sessionsSetup(2, m_record, m_script), m_receiver, m_counters));
    EXPECT_EQ(results(), (std::vector<std::string> { "OK", "OK", "OK" }));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=6   Scucceeded=3   Failed=3");
    EXPECT_EQ(m_script->indexOf("Word.open(" + paths[3]), -1);
    EXPECT_EQ(m_script->automationsDestroyed, 2);
    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(readFile(paths[i]), "d" + std::to_string(i));
        expected.push_back("d" + std::to_string(i) + ".doc");
        if (i < 3)
            expected.push_back("d" + std::to_string(i) + ".doc.pdf");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folderEntries(m_folder.path()), expected) << "a backup or an output too many";
}

// Catches a session whose office cannot start taking documents from the one that works and
// failing them, and the last session that cannot start leaving documents without a row.
TEST_F(PublishingJobTest, SessionThatCannotStartLeavesItsDocumentsToTheOthers)
{
    TestRegistry registry;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i)
        paths.push_back(m_folder.write("d" + std::to_string(i) + ".doc", "d"));
    for (int working : { 1, 0 }) {
        auto record = std::make_shared<RecordingNotifier::Record>();
        auto script = std::make_shared<OfficeScript>();
        auto starts = std::make_shared<std::atomic<int>>(0);
        DoneReceiver receiver;
        JobCounters counters;
        JobSetup setup = sessionsSetup(3, record, script);
        setup.automations = [script, starts, working]() -> std::unique_ptr<office::OfficeAutomation> {
            if (++*starts > working)
                throw std::runtime_error("no office here");
            return std::make_unique<ScriptedAutomation>(script);
        };
        ASSERT_TRUE(runJobWithSetup(paths, ID_PUBLISH_AS_PDF, std::move(setup), receiver, counters));
        std::vector<std::string> results;
        for (const auto& row : record->rowsCopy())
            results.push_back(row.result);
        EXPECT_EQ(results, std::vector<std::string>(4, working ? "OK" : "NG")) << working;
        EXPECT_EQ(receiver.done, 1);
    }
}
