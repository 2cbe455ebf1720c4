#include "platform/InterruptWatcher.h"
#include "platform/AbortCleanup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

using platform::AbortCleanup;
using platform::InterruptWatcher;

namespace {

void say(const char* text)
{
    [[maybe_unused]] ssize_t ignored = ::write(2, text, std::char_traits<char>::length(text));
}

// In a child of the test: a watcher whose first signal is noted, a registered clean-up, then
// the given signal twice. Returns only when the watcher did not end the process.
void signalTwice(int signal)
{
    std::atomic<int> interrupts { 0 };
    InterruptWatcher watcher([&] {
        ++interrupts;
        say("first signal\n");
    });
    AbortCleanup putBack([] { say("put back\n"); });
    ::kill(::getpid(), signal);
    for (int wait = 0; wait < 1000 && interrupts == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The first signal only tells; the program goes on.
    if (interrupts != 1)
        return;
    say("still running\n");
    ::kill(::getpid(), signal);
    std::this_thread::sleep_for(std::chrono::seconds(20));
}

}

// Catches a second Ctrl-C or termination request that is taken like the first (the program
// then waits for a document that may never end), one that ends the program without putting back
// what was registered, and an exit status other than the shell's 128 + signal.
TEST(InterruptWatcherDeathTest, SecondSignalPutsBackAndEndsAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        signalTwice(SIGINT), ::testing::ExitedWithCode(130), "first signal\nstill running\nput back\n");
    EXPECT_EXIT(
        signalTwice(SIGTERM), ::testing::ExitedWithCode(143), "first signal\nstill running\nput back\n");
}

// Catches a watcher that leaves its handling in place, or ends the program, after it is gone:
// the previous handling (here: ignoring the signal) is back.
TEST(InterruptWatcher, PreviousHandlingIsBackAfterwards)
{
    struct sigaction ignore { };
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous { };
    ::sigaction(SIGTERM, &ignore, &previous);
    std::atomic<int> interrupts { 0 };
    {
        InterruptWatcher watcher([&] { ++interrupts; });
        ::kill(::getpid(), SIGTERM);
        for (int wait = 0; wait < 1000 && interrupts == 0; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(::getpid(), SIGTERM);
    ::kill(::getpid(), SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(interrupts.load(), 1);
    struct sigaction now { };
    ::sigaction(SIGTERM, &previous, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
}
