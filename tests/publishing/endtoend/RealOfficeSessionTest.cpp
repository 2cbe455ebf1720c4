// One session on a real LibreOffice, shared by the cases: publishing real corpus documents and
// the faults around it. After each fault the document is byte-identical, keeps its permissions,
// and no backup is left.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "office/libreoffice/LibreOfficeAutomation.h"
#include "platform/ChildProcess.h"
#include "platform/FileInUse.h"
#include "platform/ReadOnlyFile.h"
#include "publishing/OfficeApplication.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

class RealOfficeSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OfficeVersion::resetCache();
        s_registry = new TestRegistry();
        auto automation = std::make_unique<office::LibreOfficeAutomation>();
        s_automation = automation.get();
        s_session = new OfficeApplication(std::move(automation), 1, 1, 1);
    }
    static void TearDownTestSuite()
    {
        delete s_session;
        delete s_registry;
    }

    int32_t protect(const std::string& path, int32_t command)
    {
        return s_session->protect(path.c_str(), command);
    }

    static TestRegistry* s_registry;
    static OfficeApplication* s_session;
    static office::LibreOfficeAutomation* s_automation;
    TemporaryFolder m_folder;
};

TestRegistry* RealOfficeSessionTest::s_registry = nullptr;
OfficeApplication* RealOfficeSessionTest::s_session = nullptr;
office::LibreOfficeAutomation* RealOfficeSessionTest::s_automation = nullptr;

}

// Catches a format whose output is missing, misnamed or empty, or a source touched by publishing.
TEST_F(RealOfficeSessionTest, WordDocumentInAllSixFormats)
{
    std::string path = copyCorpusDocument("word/par-hyperlinks.docx", m_folder.path(), "report.docx");
    DocumentSnapshot before = DocumentSnapshot::of(path);
    for (int32_t command : { ID_PUBLISH_AS_HTML, ID_PUBLISH_AS_WEBARCHIVE, ID_PUBLISH_AS_TEXT,
             ID_PUBLISH_AS_UNICODETEXT, ID_PUBLISH_AS_XPS, ID_PUBLISH_AS_PDF })
        EXPECT_EQ(protect(path, command), 0) << command;
    for (const char* suffix : { ".html", ".mhtml", ".txt", ".unicode.txt", ".xps", ".pdf" })
        EXPECT_GT(fs::file_size(path + suffix), 0u) << suffix;
    EXPECT_EQ(readFile(path + ".unicode.txt").substr(0, 2), std::string("\xFF\xFE"));
    EXPECT_EQ(readFile(path + ".pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(before.unchanged());
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
}

// Catches an existing output kept, or a prompt waited for, instead of being replaced.
TEST_F(RealOfficeSessionTest, ExistingOutputIsReplaced)
{
    std::string path = copyCorpusDocument("word/tbl-2x2-table.docx", m_folder.path(), "report.docx");
    m_folder.write("report.docx.html", "stale");
    ASSERT_EQ(protect(path, ID_PUBLISH_AS_HTML), 0);
    EXPECT_NE(readFile(path + ".html"), "stale");
    EXPECT_NE(readFile(path + ".html").find("<"), std::string::npos);
}

// Catches workbooks and presentations without a real output for their commands.
TEST_F(RealOfficeSessionTest, WorkbookAndPresentationOutputs)
{
    std::string workbook = copyCorpusDocument("excel/sample.xlsx", m_folder.path());
    std::string presentation = copyCorpusDocument("powerpoint/sld-slides.pptx", m_folder.path());
    EXPECT_EQ(protect(workbook, ID_PUBLISH_AS_HTML), 0);
    EXPECT_EQ(protect(workbook, ID_PUBLISH_AS_PDF), 0);
    EXPECT_EQ(protect(presentation, ID_PUBLISH_AS_PDF), 0);
    EXPECT_EQ(protect(presentation, ID_PUBLISH_AS_UNICODETEXT), 0);
    EXPECT_EQ(readFile(workbook + ".pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(fs::exists(presentation + ".unicode.txt"));
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
}

// Catches a read-only document left writable, after success and after a refusal as in use, and a
// backup left behind by the refusal.
TEST_F(RealOfficeSessionTest, ReadOnlyAndLockedDocuments)
{
    std::string path = copyCorpusDocument("word/par-hyperlinks.docx", m_folder.path());
    chmod(path.c_str(), 0444);
    DocumentSnapshot before = DocumentSnapshot::of(path);
    EXPECT_EQ(protect(path, ID_PUBLISH_AS_PDF), 0);
    EXPECT_TRUE(before.unchanged());

    platform::ChildProcess holder;
    // The shell takes the lock on its own descriptor, says so, and becomes the sleep, so that
    // the one process killed below is the only holder of the lock and of the test's output.
    platform::ChildProcess::Options options;
    options.standardOutput.mode = platform::ChildProcess::Output::Capture;
    ASSERT_TRUE(holder.start(
        { "sh", "-c", "exec 9<\"$0\" && flock --shared 9 && echo held && exec sleep 60", path }, options));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (holder.standardOutput().find("held") == std::string::npos
        && std::chrono::steady_clock::now() < deadline
        && holder.waitFor(std::chrono::milliseconds(100)).outcome
            == platform::ChildProcess::Outcome::TimedOut) { }
    auto held = [&] {
        platform::ReadOnlyFile file(path);
        return file.isOpen() && platform::isFileInUse(file.descriptor(), path);
    };
    ASSERT_TRUE(held()) << "the holder took no lock";
    EXPECT_EQ(protect(path, ID_PUBLISH_AS_HTML), 601);
    holder.kill();
    EXPECT_TRUE(before.unchanged());
    EXPECT_FALSE(fs::exists(path + ".html"));
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
}

// Catches checks that reach the office (or leave backups) for files that must never get there.
TEST_F(RealOfficeSessionTest, VanishedAndPublishedFilesAreRefused)
{
    EXPECT_EQ(protect(m_folder.file("vanished.docx"), ID_PUBLISH_AS_PDF), 102);
    for (const char* name : { "old.docx.pdf", "old.docx.html", "old.docx.txt" })
        EXPECT_EQ(protect(m_folder.write(name, "published"), ID_PUBLISH_AS_PDF), 103) << name;
    EXPECT_EQ(folderEntries(m_folder.path()),
        (std::vector<std::string> { "old.docx.html", "old.docx.pdf", "old.docx.txt" }));
}

// Catches a document that asks to be opened read-only being published.
TEST_F(RealOfficeSessionTest, ReadOnlyRecommendedDocumentGives205)
{
    std::string path = m_folder.write("memo.docx", readOnlyRecommendedDocument());
    DocumentSnapshot before = DocumentSnapshot::of(path);
    EXPECT_EQ(protect(path, ID_PUBLISH_AS_PDF), 205);
    EXPECT_FALSE(fs::exists(path + ".pdf"));
    EXPECT_TRUE(before.unchanged());
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
}

// Catches an unwritable output reported as published or costing the source.
TEST_F(RealOfficeSessionTest, OutputThatCannotBeWritten)
{
    std::string path = copyCorpusDocument("word/default.docx", m_folder.path());
    // A folder under the output's name: no office can write the file there, root included.
    fs::create_directory(path + ".pdf");
    DocumentSnapshot before = DocumentSnapshot::of(path);
    EXPECT_EQ(protect(path, ID_PUBLISH_AS_PDF), 203);
    EXPECT_TRUE(before.unchanged());
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
}

// Catches a crashed or hung office that costs more than its document: the source must survive,
// the backup go, and the next document be published by a fresh office.
TEST_F(RealOfficeSessionTest, OfficeKilledMidDocumentCostsOnlyThatDocument)
{
    std::string victim = copyCorpusDocument("word/having-images.docx", m_folder.path());
    std::string next = copyCorpusDocument("word/default.docx", m_folder.path());
    DocumentSnapshot before = DocumentSnapshot::of(victim);
    // An office must be running for the kill to hit one.
    ASSERT_EQ(protect(next, ID_PUBLISH_AS_TEXT), 0);
    int startsBefore = s_automation->officeStartCount();
    std::atomic<bool> stop { false };
    std::atomic<bool> killed { false };
    std::thread killer([&] {
        while (!stop && backupsIn(m_folder.path()).empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (!stop) {
            s_automation->killOffice();
            killed = true;
        }
    });
    int32_t code = protect(victim, ID_PUBLISH_AS_PDF);
    stop = true;
    killer.join();
    ASSERT_TRUE(killed);
    EXPECT_NE(code, 0);
    EXPECT_TRUE(before.unchanged());
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
    EXPECT_EQ(protect(next, ID_PUBLISH_AS_PDF), 0);
    EXPECT_GT(s_automation->officeStartCount(), startsBefore);

    // A hung office: every call outlives its allowance and the watchdog stops the office.
    s_automation->setCallTimeout(std::chrono::milliseconds(1), std::chrono::milliseconds(0));
    EXPECT_NE(protect(victim, ID_PUBLISH_AS_HTML), 0);
    s_automation->setCallTimeout(std::chrono::milliseconds(60000), std::chrono::milliseconds(15000));
    EXPECT_TRUE(before.unchanged());
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
    EXPECT_EQ(protect(next, ID_PUBLISH_AS_HTML), 0);
}
