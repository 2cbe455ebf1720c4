#include "platform/ChildProcess.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using platform::ChildProcess;
using namespace std::chrono_literals;

namespace {

// True while pid names a live process (a zombie counts as gone: it runs nothing).
bool processAlive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    if (!stat)
        return false;
    std::string line;
    std::getline(stat, line);
    size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

bool goneWithin(pid_t pid, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (processAlive(pid)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

}

// Catches exit codes lost or mixed up with signals.
TEST(ChildProcess, ReportsExitCodeAndSignal)
{
    auto ok = ChildProcess::run({ "true" }, 10s);
    ASSERT_TRUE(ok.started) << ok.error;
    EXPECT_EQ(ok.status.outcome, ChildProcess::Outcome::Exited);
    EXPECT_EQ(ok.status.exitCode, 0);
    EXPECT_TRUE(ok.succeeded());

    auto failed = ChildProcess::run({ "sh", "-c", "exit 42" }, 10s);
    EXPECT_EQ(failed.status.outcome, ChildProcess::Outcome::Exited);
    EXPECT_EQ(failed.status.exitCode, 42);
    EXPECT_FALSE(failed.succeeded());

    auto signalled = ChildProcess::run({ "sh", "-c", "kill -9 $$" }, 10s);
    EXPECT_EQ(signalled.status.outcome, ChildProcess::Outcome::Signalled);
    EXPECT_EQ(signalled.status.signal, SIGKILL);
}

// Catches a deadlock when the program writes more than a pipe holds, and streams swapped.
TEST(ChildProcess, CapturesLargeOutputOfBothStreams)
{
    auto result
        = ChildProcess::run({ "sh", "-c", "head -c 1000000 /dev/zero | tr '\\0' x; echo oops >&2" }, 20s);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput.size(), 1000000u);
    EXPECT_EQ(result.standardOutput.find_first_not_of('x'), std::string::npos);
    EXPECT_EQ(result.standardError, "oops\n");
}

// Catches the environment, working folder or standard input not reaching the program.
TEST(ChildProcess, PassesEnvironmentFolderAndEmptyInput)
{
    TemporaryFolder folder;
    ChildProcess::Options options;
    options.environment = { { "PRESSLING_CHILD_TEST", "value with spaces" }, { "HOME", "/nowhere" } };
    options.workingFolder = folder.path();
    auto result = ChildProcess::run(
        { "sh", "-c", "echo \"$PRESSLING_CHILD_TEST|$HOME|$(pwd)\"; cat; echo end" }, 10s, options);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.standardOutput, "value with spaces|/nowhere|" + folder.path() + "\nend\n");
}

// Catches output to a file being appended to or not written at all.
TEST(ChildProcess, WritesOutputToFile)
{
    TemporaryFolder folder;
    std::string path = folder.write("out.txt", "old content that must go\n");
    ChildProcess child;
    ChildProcess::Options options;
    options.standardOutput = { ChildProcess::Output::File, path };
    options.standardError.mode = ChildProcess::Output::Discard;
    ASSERT_TRUE(child.start({ "sh", "-c", "echo fresh; echo hidden >&2" }, options)) << child.errorMessage();
    auto status = child.waitFor(10s);
    EXPECT_EQ(status.outcome, ChildProcess::Outcome::Exited);
    EXPECT_EQ(readFile(path), "fresh\n");
}

// Catches a hung program blocking its caller past the timeout, or left running afterwards.
TEST(ChildProcess, TimeoutKillsTheProgram)
{
    auto started = std::chrono::steady_clock::now();
    auto result = ChildProcess::run({ "sleep", "100" }, 300ms);
    auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.status.outcome, ChildProcess::Outcome::TimedOut);
    EXPECT_LT(elapsed, 5s);
    EXPECT_FALSE(result.error.empty());
}

// Catches kill() reaching only the direct child while what it started keeps running.
TEST(ChildProcess, KillTakesTheWholeProcessGroup)
{
    ChildProcess child;
    ChildProcess::Options options;
    options.newSession = true;
    options.standardOutput.mode = ChildProcess::Output::Capture;
    ASSERT_TRUE(child.start({ "sh", "-c", "sleep 100 & echo $!; wait" }, options));
    // Wait for the grandchild's pid to arrive.
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (
        child.standardOutput().find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline)
        EXPECT_EQ(child.waitFor(20ms).outcome, ChildProcess::Outcome::TimedOut);
    pid_t grandchild = std::stoi(child.standardOutput());
    ASSERT_TRUE(processAlive(grandchild));
    pid_t leader = child.pid();

    auto status = child.kill(1s);
    EXPECT_EQ(status.outcome, ChildProcess::Outcome::Signalled);
    EXPECT_TRUE(goneWithin(grandchild, 3s));
    EXPECT_FALSE(processAlive(leader));
    EXPECT_FALSE(child.isRunning());
}

// Catches a program that ignores SIGTERM surviving kill().
TEST(ChildProcess, KillEscalatesToSigkill)
{
    ChildProcess child;
    ChildProcess::Options options;
    options.newSession = true;
    options.standardOutput.mode = ChildProcess::Output::Capture;
    ASSERT_TRUE(
        child.start({ "sh", "-c", "trap '' TERM; echo ready; while :; do sleep 0.05; done" }, options));
    while (child.standardOutput().empty())
        child.waitFor(20ms);
    auto status = child.kill(200ms);
    EXPECT_EQ(status.outcome, ChildProcess::Outcome::Signalled);
    EXPECT_EQ(status.signal, SIGKILL);
}

// Catches zombies: a child that ended must be reaped by the destructor as well as by waitFor.
TEST(ChildProcess, DestructorReapsAndKills)
{
    pid_t pid;
    {
        ChildProcess child;
        ASSERT_TRUE(child.start({ "sleep", "100" }));
        pid = child.pid();
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    EXPECT_FALSE(stat.good()) << "the child is still there, perhaps as a zombie";
}

// Catches a missing program being reported as a started one that exits 127.
TEST(ChildProcess, MissingProgramIsAClearError)
{
    ChildProcess child;
    EXPECT_FALSE(child.start({ "pressling-no-such-program-xyz" }));
    EXPECT_NE(child.errorMessage().find("pressling-no-such-program-xyz"), std::string::npos);
    EXPECT_NE(child.errorMessage().find("No such file"), std::string::npos);

    auto result = ChildProcess::run({ "/nonexistent/folder/tool" }, 1s);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.error.empty());

    ChildProcess::Options options;
    options.workingFolder = "/nonexistent/folder";
    EXPECT_FALSE(child.start({ "true" }, options));
}

// Catches descriptors of this process leaking into the program.
TEST(ChildProcess, DoesNotLeakDescriptors)
{
    int leaked = dup(1); // deliberately without close-on-exec
    auto result = ChildProcess::run({ "sh", "-c", "ls /proc/self/fd" }, 10s);
    close(leaked);
    std::istringstream lines(result.standardOutput);
    std::string entry;
    int count = 0;
    while (lines >> entry)
        ++count;
    // 0, 1, 2 and the descriptor ls opens to read the folder.
    EXPECT_LE(count, 4) << result.standardOutput;
}
