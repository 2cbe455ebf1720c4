// pressling-cli publish after a job that was killed mid-document, and with names at the length
// limit: real processes, real LibreOffice.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;
using platform::ChildProcess;

namespace {

class LeftoverCliTest : public ::testing::Test {
protected:
    ChildProcess::Options options() const { return cliOptions(m_registry.folder().path()); }
    std::vector<std::string> publishArguments(const std::vector<std::string>& paths) const
    {
        std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish", "--format", "pdf" };
        argv.insert(argv.end(), paths.begin(), paths.end());
        return argv;
    }
    // The documents of the folder as a shell expands "*.docx" there.
    std::vector<std::string> expandDocx() const
    {
        std::vector<std::string> paths;
        for (const std::string& name : folderEntries(m_folder.path())) {
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".docx") == 0)
                paths.push_back(m_folder.file(name));
        }
        return paths;
    }

    TestRegistry m_registry;
    TemporaryFolder m_folder;
};

bool hasLine(const std::string& text, const std::string& line)
{
    std::istringstream stream(text);
    for (std::string read; std::getline(stream, read);) {
        if (read == line)
            return true;
    }
    return false;
}

}

// Catches the traces of a job killed mid-document staying for good (its backup, a read-only
// document left writable) and a later "publish *.docx" publishing the backup as a document.
TEST_F(LeftoverCliTest, NextPublishCleansUpAfterAKilledJob)
{
    std::vector<std::string> paths;
    std::vector<DocumentSnapshot> before;
    for (const char* corpus : { "word/having-images.docx", "word/default.docx", "word/fnt-color.docx" }) {
        paths.push_back(
            copyCorpusDocument(corpus, m_folder.path(), "d" + std::to_string(paths.size()) + ".docx"));
        if (paths.size() == 1)
            fs::permissions(
                paths.back(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        before.push_back(DocumentSnapshot::of(paths.back()));
    }
    ChildProcess killed;
    ASSERT_TRUE(killed.start(publishArguments(paths), options()));
    while (killed.isRunning() && backupsIn(m_folder.path()).empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(killed.pid(), SIGKILL);
    killed.waitFor(std::chrono::seconds(30));
    killOfficesOf(killed.pid());
    std::vector<std::string> left = backupsIn(m_folder.path());
    ASSERT_FALSE(left.empty()) << "the job was killed before it made a backup";

    ChildProcess::RunResult next
        = ChildProcess::run(publishArguments(expandDocx()), std::chrono::minutes(5), options());
    ASSERT_TRUE(next.started);
    EXPECT_EQ(next.status.exitCode, 1) << next.standardOutput << next.standardError;
    for (const std::string& backup : left) {
        EXPECT_TRUE(hasLine(next.standardOutput, "NG\t" + m_folder.file(backup))) << next.standardOutput;
        EXPECT_FALSE(fs::exists(m_folder.file(backup + ".pdf"))) << backup;
    }
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
    for (const DocumentSnapshot& document : before) {
        EXPECT_TRUE(document.unchanged()) << document.path;
        EXPECT_TRUE(hasLine(next.standardOutput, "OK\t" + document.path)) << next.standardOutput;
        EXPECT_TRUE(fs::exists(document.path + ".pdf")) << document.path;
    }
    EXPECT_EQ(modeOf(paths[0]), 0444u);
}

// Catches a valid name of 251 bytes refused because the backup's name would not fit, and a name
// whose output cannot fit published at all.
TEST_F(LeftoverCliTest, NamesAtTheLengthLimit)
{
    std::string longest
        = copyCorpusDocument("word/default.docx", m_folder.path(), std::string(246, 'n') + ".docx");
    DocumentSnapshot before = DocumentSnapshot::of(longest);
    ChildProcess::RunResult result
        = ChildProcess::run(publishArguments({ longest }), std::chrono::minutes(5), options());
    EXPECT_EQ(result.status.exitCode, 0) << result.standardOutput << result.standardError;
    EXPECT_EQ(readFile(longest + ".pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(before.unchanged());

    std::string tooLong
        = copyCorpusDocument("word/default.docx", m_folder.path(), std::string(245, 'u') + ".docx");
    result = ChildProcess::run({ PRESSLING_CLI_PATH, "publish", "--format", "unicode", tooLong },
        std::chrono::minutes(5), options());
    EXPECT_EQ(result.status.exitCode, 1);
    EXPECT_TRUE(hasLine(result.standardOutput, "NG\t" + tooLong)) << result.standardOutput;
    EXPECT_TRUE(backupsIn(m_folder.path()).empty());
    EXPECT_EQ(folderEntries(m_folder.path()).size(), 3u);
}
