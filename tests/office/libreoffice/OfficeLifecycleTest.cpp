#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "office/WordApplication.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeProcess.h"
#include "office/libreoffice/LibreOfficeProfile.h"
#include "platform/ChildProcess.h"
#include "platform/LockedFolder.h"
#include "platform/PrivateFolder.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace office;
using namespace platform;
using namespace officetest;
using namespace std::chrono_literals;

namespace {

const std::string& sampleDocument()
{
    static const std::string path = corpus("documents/word/par-known-paragraphs.docx");
    return path;
}

}

// Catches a session that leaves soffice.bin or its profile behind.
TEST(OfficeLifecycleTest, NoOfficeOrProfileOutlivesTheSession)
{
    std::string profile;
    {
        LibreOfficeAutomation automation;
        auto word = startWord(automation);
        profile = automation.runningProfileUrl();
        ASSERT_FALSE(profile.empty());
        EXPECT_EQ(LibreOfficeProcess::officeProcessesOf(profile).size(), 1u)
            << "no soffice.bin runs the profile";
        auto document = word->documents()->open(sampleDocument());
        ASSERT_TRUE(document);
        word->quit();
        EXPECT_TRUE(automation.runningProfileUrl().empty())
            << "quitting the last application left the office";
    }
    EXPECT_TRUE(officeGone(profile));
    EXPECT_NE(access(profile.substr(7).c_str(), F_OK), 0) << "the profile folder is still there";
}

// Catches a profile kept where other users may enter or plant things (the shared temporary
// folder itself), a profile that its maker does not hold, and a job that another user stops by
// making the folder's name first.
TEST(OfficeLifecycleTest, ProfileLivesInOurPrivateFolderThatNobodyCanTakeFirst)
{
    {
        LibreOfficeAutomation automation;
        auto word = startWord(automation);
        std::string profile = automation.runningProfileUrl().substr(7);
        EXPECT_EQ(std::filesystem::path(profile).parent_path().string(), LibreOfficeProfile::privateFolder());
        EXPECT_TRUE(platform::PrivateFolder::isPrivate(LibreOfficeProfile::privateFolder()));
        platform::LockedFolder sweep;
        EXPECT_FALSE(sweep.takeAbandoned(profile)) << "the profile of a running session could be taken";
    }
    TemporaryFolder temporary;
    ScopedEnvironment tmpdir("TMPDIR", temporary.path());
    ScopedEnvironment noRuntime("XDG_RUNTIME_DIR", "");
    std::string squatted = temporary.path() + "/pressling-office-" + std::to_string(geteuid());
    std::filesystem::create_directory(squatted);
    ::chmod(squatted.c_str(), 0777);
    if (geteuid() == 0) {
        ASSERT_EQ(::chown(squatted.c_str(), 65534, 65534), 0);
    }
    LibreOfficeAutomation automation;
    auto word = startWord(automation);
    ASSERT_TRUE(word);
    std::string profile = automation.runningProfileUrl().substr(7);
    EXPECT_EQ(std::filesystem::path(profile).parent_path().parent_path().string(), temporary.path());
    EXPECT_TRUE(platform::PrivateFolder::isPrivate(std::filesystem::path(profile).parent_path().string()));
    EXPECT_TRUE(std::filesystem::is_empty(squatted)) << "a profile was made in a folder of someone else";
}

// Catches a hung load that hangs the session, or a session that stays broken after it.
TEST(OfficeLifecycleTest, WatchdogStopsAHungCallAndTheNextCallGetsAFreshOffice)
{
    LibreOfficeAutomation automation;
    auto word = startWord(automation);
    std::string firstProfile = automation.runningProfileUrl();
    automation.setCallTimeout(1ms, 0ms);
    try {
        word->documents()->open(sampleDocument());
        ADD_FAILURE() << "a load finished within a millisecond";
    } catch (const ComError& error) {
        EXPECT_EQ(error.code(), hresult::callTimedOut) << error.getMessage();
    }
    EXPECT_TRUE(officeGone(firstProfile)) << "the hung office was not stopped";
    automation.setCallTimeout(60s, 15s);
    TemporaryFolder folder;
    auto document = word->documents()->open(sampleDocument());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->saveAs(folder.file("out.pdf"), wordFormat::pdf), hresult::ok);
    document->close();
    EXPECT_EQ(automation.officeStartCount(), 2);
    EXPECT_NE(automation.runningProfileUrl(), firstProfile) << "the fresh office reuses the old profile";
    EXPECT_GE(pdfPageCount(folder.file("out.pdf")), 1);
}

// Catches an office that never answers its pipe hanging creation, or surviving it.
TEST(OfficeLifecycleTest, OfficeThatDoesNotStartInTimeFailsCreation)
{
    LibreOfficeAutomation automation;
    automation.setStartTimeout(1ms);
    std::shared_ptr<WordApplication> word;
    HResult result = automation.createApplication("Word.Application", word);
    EXPECT_EQ(result, hresult::serverExecutionFailure);
    EXPECT_FALSE(word);
    EXPECT_TRUE(automation.runningProfileUrl().empty());
    automation.setStartTimeout(60s);
    EXPECT_EQ(automation.createApplication("Word.Application", word), hresult::ok)
        << "one failed start broke the session";
}

// Catches a crashed office that crashes Pressling or leaves the session unusable.
TEST(OfficeLifecycleTest, KilledOfficeIsAComErrorAndTheSessionRecovers)
{
    LibreOfficeAutomation automation;
    auto word = startWord(automation);
    TemporaryFolder folder;
    auto document = word->documents()->open(sampleDocument());
    ASSERT_TRUE(document);
    std::string profile = automation.runningProfileUrl();
    automation.killOffice();
    EXPECT_TRUE(officeGone(profile));
    EXPECT_THROW(document->saveAs(folder.file("lost.pdf"), wordFormat::pdf), ComError);
    EXPECT_THROW(document->close(), ComError);
    auto again = word->documents()->open(sampleDocument());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->saveAs(folder.file("again.txt"), wordFormat::text), hresult::ok);
    EXPECT_NE(readFile(folder.file("again.txt")).find("paragraph"), std::string::npos);
    again->close();
}

// Catches a kill that lands while LibreOffice is inside a call (not between calls).
TEST(OfficeLifecycleTest, OfficeKilledDuringACallFailsThatCall)
{
    LibreOfficeAutomation automation;
    auto word = startWord(automation);
    TemporaryFolder folder;
    auto document = word->documents()->open(corpus("documents/word/having-images.docx"));
    ASSERT_TRUE(document);
    bool failedOnce = false;
    for (int attempt = 0; attempt < 20 && !failedOnce; ++attempt) {
        std::thread killer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
            automation.killOffice();
        });
        try {
            document->saveAs(folder.file("x.pdf"), wordFormat::pdf);
        } catch (const ComError& error) {
            failedOnce = true;
            EXPECT_TRUE(error.code() == hresult::disconnected || error.code() == hresult::serverFault)
                << error.getMessage();
        }
        killer.join();
        if (!failedOnce)
            document = word->documents()->open(corpus("documents/word/having-images.docx"));
    }
    EXPECT_TRUE(failedOnce);
}

// Catches sessions side by side that share a profile or a pipe.
TEST(OfficeLifecycleTest, TwoSessionsSideBySideKeepApart)
{
    TemporaryFolder folder;
    LibreOfficeAutomation first;
    LibreOfficeAutomation second;
    std::string profiles[2];
    HResult results[2] = { hresult::fail, hresult::fail };
    auto publish = [&](LibreOfficeAutomation& automation, int index) {
        // Nothing may escape a thread: an exception there would end the test program.
        try {
            auto word = startWord(automation);
            profiles[index] = automation.runningProfileUrl();
            for (int round = 0; round < 3; ++round) {
                auto document = word->documents()->open(sampleDocument());
                results[index] = document->saveAs(
                    folder.file(std::to_string(index) + "-" + std::to_string(round) + ".pdf"),
                    wordFormat::pdf);
                document->close();
            }
        } catch (const ComError& error) {
            results[index] = error.code();
        }
    };
    std::thread one([&] { publish(first, 0); });
    std::thread two([&] { publish(second, 1); });
    one.join();
    two.join();
    EXPECT_EQ(results[0], hresult::ok);
    EXPECT_EQ(results[1], hresult::ok);
    EXPECT_NE(profiles[0], profiles[1]);
    for (int index = 0; index < 2; ++index) {
        for (int round = 0; round < 3; ++round)
            EXPECT_GE(
                pdfPageCount(folder.file(std::to_string(index) + "-" + std::to_string(round) + ".pdf")), 1);
    }
}

// The half of the next test that runs in a child program: it starts an office, tells its
// profile, and dies without running any destructor, as a crash would.
TEST(OfficeLifecycleTest, DISABLED_CrashingOwnerChild)
{
    const char* report = std::getenv("PRESSLING_OFFICE_CRASH_REPORT");
    if (!report)
        GTEST_SKIP() << "runs only as the child of CrashedOwnersOfficeIsEndedByTheNextSession";
    auto* automation = new LibreOfficeAutomation;
    auto word = startWord(*automation);
    std::ofstream(report) << automation->runningProfileUrl();
    kill(getpid(), SIGKILL);
}

// Catches an office that runs for good after its Pressling crashed.
TEST(OfficeLifecycleTest, CrashedOwnersOfficeIsEndedByTheNextSession)
{
    TemporaryFolder folder;
    std::string report = folder.file("profile.txt");
    platform::ChildProcess::Options options;
    options.environment = { { "PRESSLING_OFFICE_CRASH_REPORT", report } };
    auto result
        = platform::ChildProcess::run({ "/proc/self/exe", "--gtest_also_run_disabled_tests",
                                          "--gtest_filter=OfficeLifecycleTest.DISABLED_CrashingOwnerChild" },
            120s, options);
    EXPECT_EQ(result.status.outcome, platform::ChildProcess::Outcome::Signalled);
    std::string profile = readFile(report);
    ASSERT_FALSE(profile.empty()) << result.standardOutput;
    EXPECT_FALSE(LibreOfficeProcess::officeProcessesOf(profile).empty()) << "the crash took the office along";

    // A profile whose maker died after its office had ended goes too: its lock is free.
    std::string abandoned
        = LibreOfficeProfile::privateFolder() + "/" + LibreOfficeProfile::namePrefix + "abAnd0";
    std::filesystem::create_directories(abandoned + "/user");
    std::ofstream(abandoned + "/" + LibreOfficeProfile::ownerFile) << "999999\n";

    LibreOfficeAutomation next;
    auto word = startWord(next);
    EXPECT_FALSE(std::filesystem::exists(abandoned)) << "the abandoned profile is still there";
    EXPECT_TRUE(officeGone(profile)) << "the orphaned office still runs";
    EXPECT_NE(access(profile.substr(7).c_str(), F_OK), 0) << "the orphan's profile is still there";
    EXPECT_FALSE(next.runningProfileUrl().empty()) << "the next session has no office of its own";
}
