// pressling-cli publish as a user or a script runs it: real processes, real LibreOffice, signals.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using platform::ChildProcess;

namespace {

class PublishCliTest : public ::testing::Test {
protected:
    ChildProcess::Options options() const { return cliOptions(m_registry.folder().path()); }
    ChildProcess::RunResult publish(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish" };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return ChildProcess::run(argv, std::chrono::minutes(5), options());
    }
    std::vector<std::string> documents(int count)
    {
        static const char* names[] = { "word/default.docx", "word/tbl-2x2-table.docx",
            "word/par-hyperlinks.docx", "word/having-images.docx", "word/fnt-color.docx" };
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i)
            paths.push_back(
                copyCorpusDocument(names[i % 5], m_folder.path(), "doc" + std::to_string(i) + ".docx"));
        return paths;
    }

    TestRegistry m_registry;
    TemporaryFolder m_folder;
};

}

// Catches a wrong exit code, missing rows or a wrong summary on the normal road.
TEST_F(PublishCliTest, PublishesAndReportsEveryDocument)
{
    std::vector<std::string> paths = documents(2);
    paths.push_back(m_folder.write("notes.txt", "text"));
    ChildProcess::RunResult result = publish({ "--format", "pdf", paths[0], paths[1], paths[2] });
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.status.exitCode, 1);
    EXPECT_EQ(textLines(result.standardOutput),
        (std::vector<std::string> { "OK\t" + paths[0], "OK\t" + paths[1], "NG\t" + paths[2],
            "Publishing Result: Total=3   Scucceeded=2   Failed=1" }));
    EXPECT_NE(result.standardError.find("Publishing (3/3): '" + paths[2] + "'"), std::string::npos);

    result = publish({ "--format=html", paths[0] });
    EXPECT_EQ(result.status.exitCode, 0);
    EXPECT_TRUE(fs::exists(paths[0] + ".html"));
}

// Catches usage errors that start a job or exit like a failed document.
TEST_F(PublishCliTest, UsageErrorsExitWith2)
{
    std::string path = m_folder.write("a.docx", "x");
    EXPECT_EQ(publish({ path }).status.exitCode, 2);
    EXPECT_EQ(publish({ "--format", "odt", path }).status.exitCode, 2);
    EXPECT_EQ(publish({ "--format", "pdf" }).status.exitCode, 2);
    EXPECT_EQ(publish({ "--fromat", "pdf", path }).status.exitCode, 2);
}

// Catches protected documents handed to the office.
TEST_F(PublishCliTest, ProtectedDocumentsAreLeftOut)
{
    std::string corpus = corpusFolder() + "/office-crypto/";
    std::string locked = m_folder.file("locked.docx");
    fs::copy_file(corpus + "ecma376standard_password.docx", locked);
    ChildProcess::RunResult result = publish({ "--format", "pdf", locked });
    EXPECT_EQ(result.status.exitCode, 1);
    EXPECT_NE(
        result.standardError.find("Encrypt: Please select unencrypted files by PWD."), std::string::npos);
    EXPECT_EQ(result.standardOutput, "");

    std::string plain = documents(1)[0];
    result = publish({ "--format", "text", locked, plain });
    EXPECT_EQ(result.status.exitCode, 0);
    EXPECT_NE(result.standardError.find("leaving out " + locked + ": protected (PWD)"), std::string::npos);
    EXPECT_EQ(textLines(result.standardOutput).front(), "OK\t" + plain);
    EXPECT_FALSE(fs::exists(locked + ".txt"));
}

// Catches jobs that meet each other's office or files when run side by side.
TEST_F(PublishCliTest, ThreeRunsSideBySide)
{
    TemporaryFolder folders[3];
    ChildProcess runs[3];
    std::vector<std::string> paths[3];
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> argv
            = { PRESSLING_CLI_PATH, "publish", "--format", i == 1 ? "html" : "pdf" };
        for (const char* name : { "word/default.docx", "word/tbl-2x2-table.docx", "excel/sample.xlsx" }) {
            paths[i].push_back(copyCorpusDocument(name, folders[i].path()));
            argv.push_back(paths[i].back());
        }
        ASSERT_TRUE(runs[i].start(argv, options()));
    }
    for (int i = 0; i < 3; ++i) {
        ChildProcess::Status status = runs[i].waitFor(std::chrono::minutes(5));
        EXPECT_EQ(status.exitCode, 0) << runs[i].standardOutput() << runs[i].standardError();
        EXPECT_EQ(textLines(runs[i].standardOutput()).back(),
            "Publishing Result: Total=3   Scucceeded=3   Failed=0");
        for (const std::string& path : paths[i])
            EXPECT_TRUE(fs::exists(path + (i == 1 ? ".html" : ".pdf"))) << path;
        EXPECT_TRUE(backupsIn(folders[i].path()).empty());
    }
}

// Catches Ctrl-C that kills the job mid-document (leaving a backup) instead of stopping it before the
// next document, and a termination request that does the same.
TEST_F(PublishCliTest, InterruptStopsBeforeTheNextDocument)
{
    for (int signal : { SIGINT, SIGTERM }) {
        TemporaryFolder folder;
        std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish", "--format", "pdf" };
        std::vector<DocumentSnapshot> before;
        for (int i = 0; i < 5; ++i) {
            argv.push_back(copyCorpusDocument(
                "word/having-images.docx", folder.path(), "d" + std::to_string(i) + ".docx"));
            before.push_back(DocumentSnapshot::of(argv.back()));
        }
        ChildProcess run;
        ASSERT_TRUE(run.start(argv, options()));
        // Signalled while the first document is being published.
        while (run.isRunning() && backupsIn(folder.path()).empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ::kill(run.pid(), signal);
        ChildProcess::Status status = run.waitFor(std::chrono::minutes(2));
        EXPECT_EQ(status.outcome, ChildProcess::Outcome::Exited) << signal;
        EXPECT_EQ(status.exitCode, 1);
        std::vector<std::string> output = textLines(run.standardOutput());
        ASSERT_FALSE(output.empty());
        EXPECT_LT(output.size(), 6u);
        EXPECT_EQ(output.back().rfind("Publishing Result: Total=5   Scucceeded=", 0), 0u) << output.back();
        for (const DocumentSnapshot& document : before)
            EXPECT_TRUE(document.unchanged()) << document.path;
        EXPECT_TRUE(backupsIn(folder.path()).empty());
    }
}

// Catches a killed job that costs a document: whatever the moment, the source keeps its bytes and
// permissions, and what a kill can leave (the backup) is a faithful copy.
TEST_F(PublishCliTest, KilledJobLosesNothing)
{
    std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish", "--format", "pdf" };
    std::vector<DocumentSnapshot> before;
    for (const std::string& path : documents(3)) {
        argv.push_back(path);
        before.push_back(DocumentSnapshot::of(path));
    }
    ChildProcess run;
    ASSERT_TRUE(run.start(argv, options()));
    while (run.isRunning() && backupsIn(m_folder.path()).empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::kill(run.pid(), SIGKILL);
    run.waitFor(std::chrono::seconds(30));
    // Nothing is left to end the killed job's office; the test ends what it caused.
    killOfficesOf(run.pid());
    for (const DocumentSnapshot& document : before)
        EXPECT_TRUE(document.unchanged()) << document.path;
    for (const std::string& backup : backupsIn(m_folder.path())) {
        std::string source = m_folder.file(backup.substr(0, backup.find(".{")));
        EXPECT_EQ(readFile(m_folder.file(backup)), readFile(source)) << backup;
    }
}
