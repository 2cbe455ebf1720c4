#include "platform/ChildProcess.h"
#include "platform/Sandbox.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using platform::ChildProcess;
using platform::Sandbox;
using namespace std::chrono_literals;

namespace {

// What a program in the sandbox finds: its network namespace, whether it may write inside and
// outside its folder, whether it reaches our listener.
ChildProcess::RunResult tryFromInside(const std::string& own, const std::string& other, int port)
{
    ChildProcess::Options options;
    options.sandbox = Sandbox { { own } };
    std::string script = "readlink /proc/self/ns/net; "
                         "echo inside > '" + own + "/written' && echo wrote-inside; "
                         "(echo outside > '" + other + "/written') 2>/dev/null && echo wrote-outside; "
                         "(echo hello > /dev/tcp/127.0.0.1/" + std::to_string(port) + ") 2>/dev/null && echo reached; "
                         "mount -o remount,bind,rw / 2>/dev/null && echo remounted; "
                         "exit 7";
    return ChildProcess::run({ "/bin/bash", "-c", script }, 60s, options);
}

}

// Catches a sandboxed program that shares our network, reaches a server on our loopback, writes
// outside its folder or makes the file system writable again, and a program whose exit code or
// output is lost on the way in.
TEST(Sandbox, ProgramReachesNoNetworkAndWritesOnlyItsOwnFolder)
{
    Sandbox::Support support = Sandbox::support();
    if (!support.available)
        GTEST_SKIP() << "no sandbox on this system: " << support.reason;
    TemporaryFolder own;
    TemporaryFolder other;
    LoopbackListener listener;
    ASSERT_NE(listener.port(), 0);
    ChildProcess::RunResult result = tryFromInside(own.path(), other.path(), listener.port());
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.status.exitCode, 7) << result.standardError;
    std::string ours = std::filesystem::read_symlink("/proc/self/ns/net").string();
    EXPECT_EQ(result.standardOutput.find(ours), std::string::npos) << result.standardOutput;
    EXPECT_EQ(result.standardOutput.rfind("net:[", 0), 0u) << result.standardOutput;
    EXPECT_NE(result.standardOutput.find("wrote-inside"), std::string::npos) << result.standardOutput;
    EXPECT_EQ(result.standardOutput.find("wrote-outside"), std::string::npos) << result.standardOutput;
    EXPECT_EQ(result.standardOutput.find("reached"), std::string::npos) << result.standardOutput;
    EXPECT_EQ(result.standardOutput.find("remounted"), std::string::npos) << result.standardOutput;
    EXPECT_EQ(readFile(own.file("written")), "inside\n");
    EXPECT_FALSE(std::filesystem::exists(other.file("written")));
    EXPECT_EQ(listener.connections(), 0);
}

// Catches a sandbox that only root can make: the same test, run again as an unprivileged user,
// goes through a user namespace of its own.
TEST(Sandbox, AnUnprivilegedUserGetsTheSameSandbox)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "this run is already unprivileged";
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    if (::access(self.c_str(), R_OK | X_OK) != 0)
        GTEST_SKIP() << "the test program cannot be run by another user";
    // Whether nobody may run the test program at all is the file system's business, not ours.
    ChildProcess::RunResult probe = ChildProcess::run(
        { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", self, "--gtest_list_tests" }, 60s);
    if (!probe.succeeded())
        GTEST_SKIP() << "nobody cannot run " << self << ": " << probe.standardError;
    ChildProcess::Options options;
    options.environment.emplace_back("TMPDIR", "/tmp");
    ChildProcess::RunResult result = ChildProcess::run({ "setpriv", "--reuid=65534", "--regid=65534",
                                                           "--clear-groups", self,
                                                           "--gtest_filter=Sandbox.ProgramReachesNoNetwork*" },
        120s, options);
    ASSERT_TRUE(result.started) << result.error;
    if (result.standardOutput.find("[  SKIPPED ]") != std::string::npos)
        GTEST_SKIP() << "this system gives unprivileged users no namespaces: " << result.standardOutput;
    EXPECT_TRUE(result.succeeded()) << result.standardOutput << result.standardError;
    EXPECT_NE(result.standardOutput.find("[  PASSED  ] 1 test"), std::string::npos) << result.standardOutput;
}
