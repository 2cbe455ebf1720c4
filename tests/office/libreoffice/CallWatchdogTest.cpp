#include "office/libreoffice/CallWatchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using office::CallWatchdog;
using namespace std::chrono_literals;

namespace {

// Waits until the deadline has passed and the action has had its turn.
bool firedAfterDeadline(CallWatchdog& watchdog)
{
    std::this_thread::sleep_for(100ms);
    return watchdog.disarm();
}

}

// Catches an exception from the action escaping the watchdog's thread, which ends the whole
// program; the guarded call must fail as a missed deadline instead, and the watchdog go on.
TEST(CallWatchdog, ThrowingActionFailsTheCallInsteadOfEndingTheProgram)
{
    CallWatchdog watchdog;
    watchdog.arm(1ms, [] { throw std::runtime_error("the office could not be killed"); });
    EXPECT_TRUE(firedAfterDeadline(watchdog));
    watchdog.arm(1ms, [] { throw 42; });
    EXPECT_TRUE(firedAfterDeadline(watchdog));

    std::atomic<bool> ran { false };
    watchdog.arm(1ms, [&] { ran = true; });
    EXPECT_TRUE(firedAfterDeadline(watchdog));
    EXPECT_TRUE(ran) << "the watchdog stopped working after a failed action";
    watchdog.arm(10s, [&] { ran = false; });
    EXPECT_FALSE(watchdog.disarm()) << "a call that finished in time was reported late";
    EXPECT_TRUE(ran);
}
