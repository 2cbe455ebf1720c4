#include "office/libreoffice/CallWatchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <semaphore>
#include <stdexcept>
#include <thread>

using office::CallWatchdog;
using namespace std::chrono_literals;

namespace {

// Arms the watchdog with a deadline that passes at once and an action that first tells it has
// begun, waits for that, then disarms: the action has had its turn however slowly the watchdog's
// thread came to it. False when the action never began.
template <typename Action> bool firedAfterDeadline(CallWatchdog& watchdog, Action action)
{
    std::binary_semaphore begun { 0 };
    watchdog.arm(1ms, [&] {
        begun.release();
        action();
    });
    bool fired = begun.try_acquire_for(60s);
    return watchdog.disarm() && fired;
}

}

// Catches an exception from the action escaping the watchdog's thread, which ends the whole
// program; the guarded call must fail as a missed deadline instead, and the watchdog go on.
TEST(CallWatchdog, ThrowingActionFailsTheCallInsteadOfEndingTheProgram)
{
    CallWatchdog watchdog;
    EXPECT_TRUE(
        firedAfterDeadline(watchdog, [] { throw std::runtime_error("the office could not be killed"); }));
    EXPECT_TRUE(firedAfterDeadline(watchdog, [] { throw 42; }));

    std::atomic<bool> ran { false };
    EXPECT_TRUE(firedAfterDeadline(watchdog, [&] { ran = true; }));
    EXPECT_TRUE(ran) << "the watchdog stopped working after a failed action";
    watchdog.arm(10s, [&] { ran = false; });
    EXPECT_FALSE(watchdog.disarm()) << "a call that finished in time was reported late";
    EXPECT_TRUE(ran);
}
