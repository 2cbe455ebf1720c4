#include "foundation/Thread.h"
#include "foundation/Exception.h"
#include "foundation/LogConfiguration.h"
#include "platform/ProgramName.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The threads of this process as the kernel lists them.
size_t threadCount()
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// Waits until at most limit threads are left, for threads that end on their own.
bool threadsDropTo(size_t limit)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (threadCount() <= limit)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

std::atomic<int> probeRuns { 0 };

class Probe : public Thread {
public:
    explicit Probe(size_t stackSize = 0)
        : Thread(stackSize)
    {
    }
    void run() override { ++probeRuns; }
};

class Signalling : public Thread {
public:
    explicit Signalling(std::promise<void>& ran, size_t stackSize = 0)
        : Thread(stackSize)
        , m_ran(ran)
    {
    }
    void run() override { m_ran.set_value(); }

private:
    std::promise<void>& m_ran;
};

}

// Catches a thread that runs its work without start, or one that runs it on a destroyed object
// when the owner gives up before starting it; also catches threads left waiting forever.
TEST(Thread, NeverStartedThreadNeverRunsAndGoesAway)
{
    probeRuns = 0;
    size_t withProbes;
    {
        std::vector<std::unique_ptr<Probe>> probes;
        for (int index = 0; index < 20; ++index)
            probes.push_back(std::make_unique<Probe>());
        // Counted while they exist: a sanitizer may add a helper thread of its own at the first one.
        withProbes = threadCount();
    }
    EXPECT_TRUE(threadsDropTo(withProbes - 20));
    EXPECT_EQ(probeRuns.load(), 0);
}

// Catches a start that does not report the suspend count, or that runs the work twice.
TEST(Thread, StartReturnsOneThenZeroAndRunsOnce)
{
    std::promise<void> ran;
    Signalling thread(ran);
    EXPECT_EQ(thread.start(), 1);
    EXPECT_EQ(ran.get_future().wait_for(10s), std::future_status::ready);
    EXPECT_EQ(thread.start(), 0);
}

// Catches an identifier that is not the kernel's.
TEST(Thread, KeepsTheKernelIdentifier)
{
    Probe thread;
    EXPECT_TRUE(thread.hasHandle());
    EXPECT_NE(thread.getThreadId(), 0u);
    EXPECT_TRUE(std::filesystem::exists("/proc/self/task/" + std::to_string(thread.getThreadId())));
}

// Catches a creation failure that is hidden (a thread object without a thread) or reported
// without the system's error code.
TEST(Thread, CreationFailureThrowsWithTheSystemError)
{
    try {
        Probe impossible(SIZE_MAX / 2);
        FAIL() << "a thread with an impossible stack was created";
    } catch (const Exception& failure) {
        EXPECT_STREQ(failure.getMessage(), "Thread#Thread,1,Failed to create a thread");
        int32_t code = failure.getErrorCode();
        EXPECT_TRUE(code == EAGAIN || code == ENOMEM || code == EINVAL) << code;
    }
    // A small stack is rounded up to what the system allows and still gives a working thread.
    std::promise<void> ran;
    Signalling small(ran, 4096);
    small.start();
    EXPECT_EQ(ran.get_future().wait_for(10s), std::future_status::ready);
}

namespace {

struct SelfDeletingRecord {
    std::atomic<int> destroyed { 0 };
    std::promise<void> finished;
};

class SelfDeleting : public Thread {
public:
    explicit SelfDeleting(SelfDeletingRecord& record)
        : Thread()
        , m_record(record)
    {
    }
    ~SelfDeleting() override { ++m_record.destroyed; }

    void run() override
    {
        SelfDeletingRecord& record = m_record;
        delete this;
        record.finished.set_value();
    }

private:
    SelfDeletingRecord& m_record;
};

}

// Catches the thread's entry touching the object after run has deleted it, and a destructor that
// waits for its own thread (which would never end).
TEST(Thread, JobThatDeletesItselfAtTheEndOfRun)
{
    SelfDeletingRecord record;
    auto* job = new SelfDeleting(record);
    size_t withJob = threadCount();
    job->start();
    EXPECT_EQ(record.finished.get_future().wait_for(10s), std::future_status::ready);
    EXPECT_EQ(record.destroyed.load(), 1);
    EXPECT_TRUE(threadsDropTo(withJob - 1));
}

namespace {

class Blocked : public Thread {
public:
    Blocked(std::promise<void>& running, std::shared_future<void> release, std::promise<void>& ended)
        : Thread()
        , m_running(running)
        , m_release(std::move(release))
        , m_ended(ended)
    {
    }
    void run() override
    {
        // Copied out first: the owner destroys the object while run still waits.
        std::shared_future<void> release = m_release;
        std::promise<void>& ended = m_ended;
        m_running.set_value();
        release.wait();
        ended.set_value();
    }

private:
    std::promise<void>& m_running;
    std::shared_future<void> m_release;
    std::promise<void>& m_ended;
};

}

// Catches a destructor that waits for the thread or stops it.
TEST(Thread, DestroyingARunningThreadNeitherWaitsNorStopsIt)
{
    std::promise<void> running;
    std::promise<void> release;
    std::promise<void> ended;
    auto* thread = new Blocked(running, release.get_future().share(), ended);
    thread->start();
    ASSERT_EQ(running.get_future().wait_for(10s), std::future_status::ready);
    delete thread;
    release.set_value();
    EXPECT_EQ(ended.get_future().wait_for(10s), std::future_status::ready);
}

namespace {

// Work that holds its thread until the test lets it go, and notes whether it has returned.
class Held : public Thread {
public:
    explicit Held(std::shared_future<void> release)
        : m_release(std::move(release))
    {
    }
    void run() override
    {
        m_release.wait();
        returned = true;
    }

    std::atomic<bool> returned { false };

private:
    std::shared_future<void> m_release;
};

}

// Catches a join that returns before the work has, and one that waits for a thread that was never
// started.
TEST(Thread, JoinWaitsUntilRunHasReturnedAndTheThreadIsGone)
{
    {
        Held never(std::promise<void>().get_future().share());
        never.join();
        EXPECT_FALSE(never.returned);
    }
    std::promise<void> release;
    Held thread(release.get_future().share());
    thread.start();
    std::thread releaser([&release] { release.set_value(); });
    thread.join();
    releaser.join();
    EXPECT_TRUE(thread.returned);
    // A second join has nothing left to wait for.
    thread.join();
}

namespace {

struct NotAStandardException {
    int code = 7;
};

// Work that fails with one of the three kinds of exception a run may let out.
class Throwing : public Thread {
public:
    enum class Kind { Standard, Library, Foreign };

    explicit Throwing(Kind kind)
        : Thread()
        , m_kind(kind)
    {
    }
    void run() override
    {
        switch (m_kind) {
        case Kind::Standard:
            throw std::runtime_error("the disk went away");
        case Kind::Library:
            throw Exception("Worker#run,4,Failed to read", 5);
        case Kind::Foreign:
            throw NotAStandardException();
        }
    }

private:
    Kind m_kind;
};

// Logs errors of this test program into a folder of its own. The log reads its settings once per
// process, at its first call, so they are put in place before anything here logs and the folder
// stays for the whole run.
class ThreadFailureLog : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TemporaryFolder;
        s_folder->write("user.reg",
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\" + platform::programName()
                + "\\Log]\n\"dir\"=\"" + s_folder->path() + "\"\n\"level\"=dword:00000001\n");
        ScopedEnvironment registry("PRESSLING_REGISTRY_DIR", s_folder->path());
        LogConfiguration::get();
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    void SetUp() override
    {
        ASSERT_STREQ(LogConfiguration::get().getLogFilePath(),
            (s_folder->path() + "/" + platform::programName() + ".log").c_str())
            << "something logged before the log was set up for this test";
    }

    // Waits until the log holds a line ending with text; false when none came.
    static bool logged(const std::string& text)
    {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            std::ifstream log(LogConfiguration::get().getLogFilePath(), std::ios::binary);
            for (std::string line; std::getline(log, line);) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (line.size() >= text.size()
                    && line.compare(line.size() - text.size(), text.size(), text) == 0)
                    return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    static TemporaryFolder* s_folder;
};

TemporaryFolder* ThreadFailureLog::s_folder = nullptr;

}

// Catches an exception let out of run ending the whole process (std::terminate) instead of the
// one thread, and a failure that leaves no trace in the log.
TEST_F(ThreadFailureLog, AnExceptionFromRunIsLoggedAndTheProcessGoesOn)
{
    const std::pair<Throwing::Kind, const char*> cases[] = {
        { Throwing::Kind::Standard, "Error: Thread#entry,2,Uncaught exception the disk went away" },
        { Throwing::Kind::Library, "Error: Thread#entry,1,Uncaught Exception 5 Worker#run,4,Failed to read" },
        { Throwing::Kind::Foreign, "Error: Thread#entry,3,Uncaught exception of an unknown type" },
    };
    for (const auto& [kind, line] : cases) {
        Throwing thread(kind);
        size_t withThread = threadCount();
        thread.start();
        EXPECT_TRUE(logged(line)) << line;
        EXPECT_TRUE(threadsDropTo(withThread - 1)) << line;
    }
    // Threads still work afterwards.
    std::promise<void> ran;
    Signalling after(ran);
    after.start();
    EXPECT_EQ(ran.get_future().wait_for(10s), std::future_status::ready);
}
