#include "platform/NativeThread.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <future>

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
