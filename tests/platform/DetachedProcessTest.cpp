#include "platform/DetachedProcess.h"

#include "tests/support/ReadFile.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A started program writes its report under a temporary name and renames it when done, so a
// report that exists is whole. Gives up after ten seconds rather than hanging the test.
std::string waitForReport(const std::string& path)
{
    for (int i = 0; i < 500 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(20ms);
    return readFile(path);
}

// A shell script run by sh, its arguments following it; $0 is the report file.
std::vector<std::string> script(
    const std::string& body, const std::string& report, std::vector<std::string> arguments = {})
{
    std::vector<std::string> argv = { "sh", "-c", body, report };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

bool haveChildren()
{
    return waitpid(-1, nullptr, WNOHANG) != -1 || errno != ECHILD;
}

class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~Descriptor() { close(m_descriptor); }
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// A started program looked at from outside while it runs: a shell that tells its process id and
// then becomes sleep, so that what /proc shows is the program as exec left it and not the shell's
// own bookkeeping. It is killed when the test is done.
class SleepingProgram {
public:
    SleepingProgram()
    {
        std::string report = m_folder.file("pid");
        if (platform::startDetached(
                script("echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"; exec sleep 30", report))
            != 0)
            return;
        std::string pid = waitForReport(report);
        if (pid.empty())
            return;
        m_pid = std::stoi(pid);
        for (int i = 0; i < 500 && readFile(procFile("comm")) != "sleep\n"; ++i)
            std::this_thread::sleep_for(20ms);
    }
    ~SleepingProgram()
    {
        if (m_pid > 0)
            kill(m_pid, SIGKILL);
    }

    pid_t pid() const { return m_pid; }
    std::set<std::string> descriptors() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(procFile("fd")))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::string inputName() const { return fs::read_symlink(procFile("fd/0")).string(); }
    pid_t session() const { return getsid(m_pid); }
    std::string statusField(const std::string& name) const
    {
        std::istringstream lines(readFile(procFile("status")));
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(name + ":\t", 0) == 0)
                return line.substr(name.size() + 2);
        }
        return "";
    }

private:
    std::string procFile(const std::string& name) const
    {
        return "/proc/" + std::to_string(m_pid) + "/" + name;
    }

    TemporaryFolder m_folder;
    pid_t m_pid = -1;
};

}

// The program must not share our session (a signal to our group would reach it), must read
// nothing from our input, and must not hold descriptors that we opened without close-on-exec.
TEST(DetachedProcess, RunsInASessionOfItsOwnWithNothingInherited)
{
    TemporaryFolder folder;
    Descriptor leaked(open("/dev/null", O_RDONLY));
    ASSERT_GE(leaked.get(), 3);
    // Our own input is a file here, whatever the test runner gave us, so that /dev/null is seen to
    // come from the start.
    Descriptor ourInput(dup(0));
    Descriptor file(open(folder.write("input", "typed").c_str(), O_RDONLY));
    dup2(file.get(), 0);
    SleepingProgram program;
    dup2(ourInput.get(), 0);
    ASSERT_GT(program.pid(), 0);
    EXPECT_EQ(program.descriptors(), (std::set<std::string> { "0", "1", "2" }));
    EXPECT_EQ(program.inputName(), "/dev/null");
    EXPECT_EQ(program.session(), program.pid());
    EXPECT_NE(program.session(), getsid(0));
}

// Arguments are handed over as bytes, never through a shell that would split or expand them.
TEST(DetachedProcess, ArgumentsArriveExactly)
{
    TemporaryFolder folder;
    std::string report = folder.file("report");
    std::vector<std::string> arguments
        = { "a b", "-x", "\xff\xfe", "", "q\"uote's", "$HOME", "*", "line\nfeed" };
    ASSERT_EQ(platform::startDetached(
                  script("printf '%s\\0' \"$@\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"", report, arguments)),
        0);
    std::string received = waitForReport(report);
    std::string expected;
    for (const std::string& argument : arguments)
        expected += argument + '\0';
    EXPECT_EQ(received, expected);
}

TEST(DetachedProcess, KeepsOurEnvironmentAndWorkingFolder)
{
    TemporaryFolder folder;
    TemporaryFolder working;
    ScopedEnvironment mark("PRESSLING_DETACHED_MARK", "marked value");
    fs::path previous = fs::current_path();
    fs::current_path(working.path());
    std::string report = folder.file("report");
    int result = platform::startDetached(
        script("{ echo \"$PRESSLING_DETACHED_MARK\"; pwd; } > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"", report));
    fs::current_path(previous);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(waitForReport(report), "marked value\n" + fs::canonical(working.path()).string() + "\n");
}

// The call must not wait for the program, and once it has returned no child of ours may be left
// to become a zombie: the program waits here until after the call has returned.
TEST(DetachedProcess, ProgramRunsOnAndIsNoChildOfOurs)
{
    TemporaryFolder folder;
    std::string go = folder.file("go");
    std::string report = folder.file("report");
    ASSERT_EQ(
        platform::startDetached(script("i=0; while [ ! -e \"$1\" ] && [ $i -lt 200 ]; do sleep 0.05; "
                                       "i=$((i+1)); done; echo ran on > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"",
            report, { go })),
        0);
    EXPECT_FALSE(haveChildren());
    folder.write("go", "");
    EXPECT_EQ(waitForReport(report), "ran on\n");
}

// Ignored and blocked signals survive exec; a program started by us must get the default ones.
TEST(DetachedProcess, SignalsAreTheirDefaults)
{
    struct sigaction ignore { };
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous { };
    sigaction(SIGPIPE, &ignore, &previous);
    sigset_t blocked, old;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &old);
    SleepingProgram program;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    sigaction(SIGPIPE, &previous, nullptr);
    ASSERT_GT(program.pid(), 0);
    EXPECT_EQ(program.statusField("SigBlk"), "0000000000000000");
    EXPECT_EQ(program.statusField("SigIgn"), "0000000000000000");
}

// A program that cannot be started is an error of the call, with the reason exec gave.
TEST(DetachedProcess, FailuresToStartAreReported)
{
    TemporaryFolder folder;
    std::string notExecutable = folder.write("not-executable", "#!/bin/sh\n");
    EXPECT_EQ(platform::startDetached({ "pressling-no-such-program" }), ENOENT);
    EXPECT_EQ(platform::startDetached({ folder.file("missing") }), ENOENT);
    EXPECT_EQ(platform::startDetached({ notExecutable }), EACCES);
    EXPECT_EQ(platform::startDetached({ folder.path() }), EACCES);
    EXPECT_EQ(platform::startDetached({}), EINVAL);
    EXPECT_EQ(platform::startDetached({ "" }), EINVAL);
    EXPECT_FALSE(haveChildren());
}

// A bare name is looked up on PATH, folder by folder, past folders that do not have it and past
// a file of that name that may not be run; only when no folder has one that may be run is the
// refusal the error, as execvp reports it.
TEST(DetachedProcess, BareNameIsFoundOnPath)
{
    TemporaryFolder folder;
    folder.write("locked/pressling-test-program", "#!/bin/sh\necho locked > \"$1\"\n");
    std::string program = folder.write(
        "bin/pressling-test-program", "#!/bin/sh\necho found > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"\n");
    fs::permissions(program, fs::perms::owner_all);
    std::string report = folder.file("report");
    {
        ScopedEnvironment path("PATH",
            folder.file("empty") + ":" + folder.file("locked") + ":" + folder.file("bin") + ":/usr/bin:/bin");
        ASSERT_EQ(platform::startDetached({ "pressling-test-program", report }), 0);
    }
    EXPECT_EQ(waitForReport(report), "found\n");
    ScopedEnvironment path("PATH", folder.file("locked") + ":" + folder.file("empty"));
    EXPECT_EQ(platform::startDetached({ "pressling-test-program", report }), EACCES);
}
