#include "platform/AbortCleanup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using platform::AbortCleanup;

// Catches actions run in the wrong order, run twice, or run after their owner let them go.
TEST(AbortCleanup, RunsLiveActionsNewestFirstAndOnlyOnce)
{
    std::vector<int> order;
    auto first = std::make_unique<AbortCleanup>([&] { order.push_back(1); });
    auto gone = std::make_unique<AbortCleanup>([&] { order.push_back(2); });
    auto third = std::make_unique<AbortCleanup>([&] { order.push_back(3); });
    gone.reset();
    AbortCleanup::runAll();
    AbortCleanup::runAll();
    EXPECT_EQ(order, (std::vector<int> { 3, 1 }));
}

// Catches one failing action keeping the others from putting back their work.
TEST(AbortCleanup, AFailingActionDoesNotStopTheOthers)
{
    bool ran = false;
    AbortCleanup earlier([&] { ran = true; });
    AbortCleanup failing([] { throw std::runtime_error("cannot"); });
    AbortCleanup::runAll();
    EXPECT_TRUE(ran);
}

// Catches an owner that finishes its work (and lets its action go) while the action is being
// run on another thread: the owner must wait, so that it never tears down what the action uses.
TEST(AbortCleanup, AnOwnerEndingDuringTheRunWaitsForIt)
{
    std::atomic<bool> started { false };
    std::atomic<bool> finished { false };
    auto owner = std::make_unique<AbortCleanup>([&] {
        started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        finished = true;
    });
    std::thread runner([] { AbortCleanup::runAll(); });
    while (!started)
        std::this_thread::yield();
    owner.reset();
    EXPECT_TRUE(finished);
    runner.join();
}
