#include "office/WordApplication.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeProcess.h"
#include "office/libreoffice/ScratchFolder.h"
#include "platform/AbortCleanup.h"
#include "platform/ChildProcess.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace office;
using namespace officetest;
using namespace std::chrono_literals;

// A forced end (a second Ctrl-C) runs the registered cleanups and leaves with _exit, past every
// destructor. Each case runs in a child program of its own, so that the cleanups run are only
// its own and not those of the office the other tests share.
namespace {

const char* const caseVariable = "PRESSLING_FORCED_END_CASE";
const char* const folderVariable = "PRESSLING_FORCED_END_FOLDER";

// Runs the child half for one case; returns what it reported before it ended.
std::string runChild(const std::string& name, const TemporaryFolder& folder)
{
    platform::ChildProcess::Options options;
    options.environment = { { caseVariable, name }, { folderVariable, folder.path() } };
    auto result = platform::ChildProcess::run({ "/proc/self/exe", "--gtest_also_run_disabled_tests",
                                                  "--gtest_filter=OfficeForcedEnd.DISABLED_Child" },
        120s, options);
    EXPECT_EQ(result.status.outcome, platform::ChildProcess::Outcome::Exited) << result.standardOutput;
    EXPECT_EQ(result.status.exitCode, 143) << result.standardOutput;
    return readFile(folder.file("report.txt"));
}

void endAtOnce(const std::string& report)
{
    std::ofstream(std::string(std::getenv(folderVariable)) + "/report.txt") << report;
    platform::AbortCleanup::runAll();
    ::_exit(143);
}

}

// The child half: sets up what its case names and ends at once, reporting what it made.
TEST(OfficeForcedEnd, DISABLED_Child)
{
    const char* name = std::getenv(caseVariable);
    if (!name)
        GTEST_SKIP() << "runs only as the child of the forced-end tests";
    std::string folder = std::getenv(folderVariable);
    if (std::string(name) == "scratch") {
        auto* scratch = new ScratchFolder(folder + "/report.docx.pdf");
        ASSERT_TRUE(scratch->create());
        std::ofstream(scratch->file("document.pdf")) << "%PDF half written";
        endAtOnce(scratch->path());
    }
    if (std::string(name) == "office") {
        auto* automation = new LibreOfficeAutomation;
        std::shared_ptr<WordApplication> word;
        ASSERT_EQ(automation->createApplication("Word.Application", word), hresult::ok);
        auto document = word->documents()->open(corpus("documents/word/par-known-paragraphs.docx"));
        ASSERT_TRUE(document);
        endAtOnce(automation->runningProfileUrl());
    }
}

// Catches a scratch folder (with the half-written output in it) left beside the document by a
// forced end.
TEST(OfficeForcedEnd, ScratchFolderIsRemoved)
{
    TemporaryFolder folder;
    std::string scratch = runChild("scratch", folder);
    ASSERT_FALSE(scratch.empty());
    EXPECT_FALSE(std::filesystem::exists(scratch)) << "the scratch folder is still there";
}

// Catches a forced end that leaves the session's office running, or its profile behind.
TEST(OfficeForcedEnd, OfficeIsKilledAndItsProfileRemoved)
{
    TemporaryFolder folder;
    std::string profile = runChild("office", folder);
    ASSERT_EQ(profile.rfind("file://", 0), 0u) << profile;
    EXPECT_TRUE(officeGone(profile)) << "the office outlived the forced end";
    EXPECT_FALSE(std::filesystem::exists(profile.substr(7))) << "the profile is still there";
}
