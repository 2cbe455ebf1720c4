#include "platform/ProcessHandle.h"
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <unistd.h>

using platform::ChildProcess;
using platform::ProcessHandle;
using namespace std::chrono_literals;

namespace {

// A process just started may not have reached its program yet; until then it shows no command
// line, or the starter's.
std::vector<std::string> argumentsOnceStarted(const ProcessHandle& process, const std::string& program)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::vector<std::string> arguments = process.arguments();
        if (!arguments.empty() && arguments[0] == program)
            return arguments;
        usleep(10000);
    }
    return process.arguments();
}

}

// Catches a handle that reads another process's entries, or the wrong fields of its status.
TEST(ProcessHandle, SeesTheArgumentsGroupAndSessionOfAProcess)
{
    ChildProcess child;
    ChildProcess::Options options;
    options.newSession = true;
    ASSERT_TRUE(child.start({ "sleep", "30", "0.5" }, options));
    ProcessHandle process;
    ASSERT_TRUE(process.open(child.pid()));
    EXPECT_EQ(argumentsOnceStarted(process, "sleep"), (std::vector<std::string> { "sleep", "30", "0.5" }));
    EXPECT_EQ(process.processGroup(), child.pid());
    EXPECT_EQ(process.session(), child.pid());
    EXPECT_TRUE(process.runsAsUs());
    EXPECT_FALSE(process.waitForExit(10ms));
    EXPECT_TRUE(process.kill());
    EXPECT_TRUE(process.waitForExit(5s));
    EXPECT_EQ(child.waitFor(5s).signal, SIGKILL);
    EXPECT_FALSE(process.kill()) << "a signal reached a process that had ended";
}

// Catches a process of another user counted as ours (as root, every process could be).
TEST(ProcessHandle, AnotherUsersProcessIsNotOurs)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process as another user here";
    ChildProcess child;
    ASSERT_TRUE(
        child.start({ "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sleep", "30" }));
    ProcessHandle process;
    ASSERT_TRUE(process.open(child.pid()));
    // setpriv changes its ids and then runs sleep.
    ASSERT_EQ(argumentsOnceStarted(process, "sleep").size(), 2u);
    EXPECT_FALSE(process.runsAsUs());
    child.kill(0ms);
}

// Catches a handle to a process that has ended (and was reaped) that still answers.
TEST(ProcessHandle, AnEndedProcessCannotBeOpened)
{
    ChildProcess child;
    ASSERT_TRUE(child.start({ "true" }));
    pid_t pid = child.pid();
    child.waitFor(5s);
    ProcessHandle process;
    EXPECT_FALSE(process.open(pid));
    EXPECT_TRUE(process.arguments().empty());
    EXPECT_FALSE(process.runsAsUs());
    EXPECT_FALSE(ProcessHandle::killGroup(1)) << "init's group was taken";
    // Refused before any signal is sent: the test itself would not survive it.
    EXPECT_FALSE(ProcessHandle::killGroup(getpgrp()));
}
