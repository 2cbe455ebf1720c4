#include "EngineTestSupport.h"
#include "tests/support/LogCapture.h"

#include "foundation/OutOfMemoryException.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// A notifier that gives up at its second row, as a window that cannot get memory would.
class NotifierFailingAtSecondRow final : public RecordingNotifier {
public:
    using RecordingNotifier::RecordingNotifier;

    void addResult(const char* path, const char* resultText, int32_t successMark) override
    {
        if (++m_rows == 2)
            throw std::bad_alloc();
        RecordingNotifier::addResult(path, resultText, successMark);
    }

private:
    int m_rows = 0;
};

class JobFailureTest : public ::testing::Test {
protected:
    void SetUp() override { OfficeVersion::resetCache(); }

    JobSetup recordedSetup()
    {
        JobSetup setup;
        setup.notifiers = [record = m_record] { return std::make_unique<RecordingNotifier>(record); };
        setup.automations = [script = m_script] { return std::make_unique<ScriptedAutomation>(script); };
        return setup;
    }
    bool run(const std::vector<std::string>& paths, JobSetup setup)
    {
        return runJobWithSetup(paths, ID_PUBLISH_AS_PDF, std::move(setup), m_receiver, m_counters);
    }
    std::vector<std::string> results()
    {
        std::vector<std::string> texts;
        for (const auto& row : m_record->rowsCopy())
            texts.push_back(row.result);
        return texts;
    }
    // The job ended as every job must: the window told once, the job destroyed once.
    void expectProperEnd()
    {
        EXPECT_EQ(m_receiver.done, 1);
        EXPECT_EQ(m_counters.destroyed, 1);
    }

    TemporaryFolder m_folder;
    std::shared_ptr<OfficeScript> m_script = std::make_shared<OfficeScript>();
    std::shared_ptr<RecordingNotifier::Record> m_record = std::make_shared<RecordingNotifier::Record>();
    DoneReceiver m_receiver;
    JobCounters m_counters;
};

}

// Catches a notifier that cannot be made ending the process, or a job that goes on publishing
// with nobody to watch or cancel it.
TEST_F(JobFailureTest, NotifierThatCannotBeMadeLeavesRowsAndSummaryInTheLog)
{
    TestRegistry registry;
    LogCapture log;
    std::vector<std::string> paths
        = { m_folder.write("a.doc", "a"), m_folder.write("b.xls", "b"), m_folder.file("c.xps") };
    JobSetup setup = recordedSetup();
    setup.notifiers = []() -> std::unique_ptr<PublishingNotifier> {
        throw std::runtime_error("no display for the notifier");
    };
    ASSERT_TRUE(run(paths, std::move(setup)));
    expectProperEnd();
    EXPECT_EQ(m_script->automationsCreated, 0);
    EXPECT_TRUE(log.contains("Failed to make the notifier: no display for the notifier"));
    EXPECT_TRUE(log.contains("FailSafeNotifier#addResult,2,NG " + paths[0]));
    EXPECT_TRUE(log.contains("FailSafeNotifier#addResult,2,NG " + paths[1]));
    EXPECT_FALSE(log.contains(paths[2] + "\n")) << "an .xps entry got a row";
    EXPECT_TRUE(
        log.contains("FailSafeNotifier#showSummary,2,Publishing Result: Total=3   Scucceeded=0   Failed=3"));
    EXPECT_EQ(folderEntries(m_folder.path()), (std::vector<std::string> { "a.doc", "b.xls" }));
}

// Catches a notifier that throws halfway taking the job down, and documents published after it
// is gone.
TEST_F(JobFailureTest, NotifierThatFailsHalfwayHandsTheRestToTheLog)
{
    TestRegistry registry;
    LogCapture log;
    std::vector<std::string> paths
        = { m_folder.write("a.doc", "a"), m_folder.write("b.doc", "b"), m_folder.write("c.doc", "c") };
    JobSetup setup = recordedSetup();
    setup.notifiers = [record = m_record] { return std::make_unique<NotifierFailingAtSecondRow>(record); };
    ASSERT_TRUE(run(paths, std::move(setup)));
    expectProperEnd();
    EXPECT_EQ(results(), (std::vector<std::string> { "OK" }));
    // The failed notifier is let go at once and not asked for anything else.
    std::vector<std::string> calls = m_record->callsCopy();
    EXPECT_EQ(calls.back(), "delete");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "showSummary"), 0);
    EXPECT_TRUE(log.contains("FailSafeNotifier#addResult,2,OK " + paths[1]));
    EXPECT_TRUE(log.contains("FailSafeNotifier#addResult,2,NG " + paths[2]));
    EXPECT_TRUE(log.contains("Publishing Result: Total=3   Scucceeded=2   Failed=1"));
    EXPECT_EQ(m_script->indexOf("Word.open(" + paths[2]), -1);
    EXPECT_EQ(m_script->automationsDestroyed, 1);
}

// Catches a session failure of a kind the job does not know (not the library's Exception)
// escaping the job, and an office failure in one document costing the others.
TEST_F(JobFailureTest, SessionFailuresOfAnyKindEndTheJobProperly)
{
    TestRegistry registry;
    LogCapture log;
    std::vector<std::string> paths = { m_folder.write("a.doc", "a"), m_folder.write("b.pptx", "b") };
    JobSetup setup = recordedSetup();
    setup.automations = []() -> std::unique_ptr<office::OfficeAutomation> { throw 42; };
    ASSERT_TRUE(run(paths, std::move(setup)));
    expectProperEnd();
    EXPECT_EQ(results(), (std::vector<std::string> { "NG", "NG" }));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=2   Scucceeded=0   Failed=2");
    EXPECT_TRUE(log.contains("Failed to start the office session an exception of unknown type"));

    auto record = std::make_shared<RecordingNotifier::Record>();
    auto script = std::make_shared<OfficeScript>();
    DoneReceiver receiver;
    JobCounters counters;
    std::vector<std::string> documents
        = { m_folder.write("c.doc", "c"), m_folder.write("d.doc", "d"), m_folder.write("e.doc", "e") };
    script->onOpen = [&](const std::string& path) {
        if (path == documents[1])
            throw std::bad_alloc();
    };
    ASSERT_TRUE(runJob(documents, ID_PUBLISH_AS_PDF, script, record, receiver, counters));
    std::vector<std::string> rows;
    for (const auto& row : record->rowsCopy())
        rows.push_back(row.result);
    EXPECT_EQ(rows, (std::vector<std::string> { "OK", "NG", "OK" }));
    EXPECT_EQ(readFile(documents[1]), "d");
    EXPECT_EQ(receiver.done, 1);
}

// Catches a settings store that throws ending the process, and offices started or documents
// opened after the failure.
TEST_F(JobFailureTest, SettingsStoreThatThrowsFailsTheDocumentsNotDone)
{
    TestRegistry registry;
    LogCapture log;
    std::vector<std::string> paths = { m_folder.write("a.doc", "a"), m_folder.write("b.docx", "b") };
    JobSetup setup = recordedSetup();
    setup.readWorkingFolder
        = [] { throw OutOfMemoryException("String::String,1,Failed to create a string", 0); };
    ASSERT_TRUE(run(paths, std::move(setup)));
    expectProperEnd();
    EXPECT_EQ(results(), (std::vector<std::string> { "NG", "NG" }));
    EXPECT_EQ(m_record->summary, "Publishing Result: Total=2   Scucceeded=0   Failed=2");
    EXPECT_EQ(m_record->callsCopy(),
        (std::vector<std::string> { "create", "showProgress", "addResult", "showProgress", "addResult",
            "showSummary", "waitForClose", "hide", "destroyWindow", "delete" }));
    EXPECT_EQ(m_record->progress.at(1), "Publishing (2/2): '" + paths[1] + "'");
    EXPECT_TRUE(log.contains(
        "PasswordEncryptionThread#run,3,The job failed code=0 String::String,1,Failed to create a string"));
    EXPECT_EQ(m_script->automationsCreated, 0);
}

// The real store never throws: what it cannot read, a directory or a FIFO in its place, reads as
// missing values. Catches a job that fails or hangs on such a store.
TEST_F(JobFailureTest, BrokenSettingsStoreIsReadAsMissingValues)
{
    TemporaryFolder home;
    ScopedEnvironment homeFolder("HOME", home.path());
    for (const std::string broken : { "malformed", "directory", "fifo" }) {
        TestRegistry registry;
        std::string store = registry.folder().file("user.reg");
        std::filesystem::remove(store);
        if (broken == "malformed")
            registry.folder().write(
                "user.reg", std::string("[HKEY_CURRENT_USER\\\xff\0\n\"x\"=dword:zz\n", 30));
        else if (broken == "directory")
            std::filesystem::create_directory(store);
        else
            ASSERT_EQ(::mkfifo(store.c_str(), 0600), 0);
        auto record = std::make_shared<RecordingNotifier::Record>();
        auto script = std::make_shared<OfficeScript>();
        DoneReceiver receiver;
        JobCounters counters;
        std::string document = m_folder.write(broken + ".doc", "d");
        ASSERT_TRUE(runJob({ document }, ID_PUBLISH_AS_PDF, script, record, receiver, counters)) << broken;
        ASSERT_EQ(record->rowsCopy().size(), 1u) << broken;
        EXPECT_EQ(record->rowsCopy()[0].result, "OK") << broken;
        EXPECT_EQ(receiver.done, 1) << broken;
    }
    // With no working folder to read, the first run makes the default one.
    EXPECT_TRUE(std::filesystem::is_directory(home.file("sfc")));
}
