#include "platform/NativeThread.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

using platform::NativeThread;

namespace {

void setPromise(void* argument)
{
    static_cast<std::promise<int>*>(argument)->set_value(1);
}

}

// Catches a failed creation reported as success or without the system's error number.
TEST(NativeThread, ImpossibleStackFailsWithTheSystemError)
{
    int error = 0;
    std::promise<int> never;
    auto thread = platform::NativeThread::create(setPromise, &never, SIZE_MAX / 2, error);
    EXPECT_EQ(thread, nullptr);
    EXPECT_TRUE(error == EAGAIN || error == ENOMEM || error == EINVAL) << error;
}

// Catches a gate that lets the thread run before it is opened, or never lets it run.
TEST(NativeThread, EntryRunsOnlyAfterResume)
{
    int error = -1;
    std::promise<int> ran;
    auto future = ran.get_future();
    auto thread = platform::NativeThread::create(setPromise, &ran, 0, error);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(future.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    EXPECT_EQ(thread->resume(), 1);
    EXPECT_EQ(future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(thread->resume(), 0);
}

namespace {

struct NotAStandardException { };

void throwStandard(void*)
{
    throw std::runtime_error("the disk went away");
}

void throwForeign(void*)
{
    throw NotAStandardException();
}

// Standard error of this process goes into a file while the object lives.
class CapturedStandardError {
public:
    CapturedStandardError()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        int file = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(file, 2);
        ::close(file);
    }
    ~CapturedStandardError()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        std::remove(m_path.c_str());
    }

    // Waits until what was written holds text; false when it did not come.
    bool waitFor(const std::string& text) const
    {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            std::ifstream file(m_path, std::ios::binary);
            std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            if (written.find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

private:
    std::string m_path = "/tmp/pressling-native-thread-" + std::to_string(::getpid()) + ".err";
    int m_saved = -1;
};

}

// Catches an exception that leaves a thread's entry ending the whole process (std::terminate),
// and one that ends it without a word on standard error.
TEST(NativeThread, AnExceptionFromTheEntryIsReportedAndTheProcessGoesOn)
{
    const std::pair<NativeThread::Entry, const char*> cases[] = {
        { throwStandard, "ended with an exception: the disk went away\n" },
        { throwForeign, "ended with an exception of an unknown type\n" },
    };
    for (const auto& [entry, report] : cases) {
        CapturedStandardError captured;
        int error = 0;
        auto thread = NativeThread::create(entry, nullptr, 0, error);
        ASSERT_NE(thread, nullptr);
        std::string expected
            = "NativeThread: the work of thread " + std::to_string(thread->id()) + " " + report;
        thread->resume();
        EXPECT_TRUE(captured.waitFor(expected)) << expected;
    }
    std::promise<int> ran;
    auto future = ran.get_future();
    int error = 0;
    auto after = NativeThread::create(setPromise, &ran, 0, error);
    ASSERT_NE(after, nullptr);
    after->resume();
    EXPECT_EQ(future.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}
