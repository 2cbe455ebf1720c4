#include "bench/StepClock.h"
#include "bench/Statistics.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

using std::chrono::milliseconds;

// Every step keeps one entry per document, in the document's slot, so that medians compare like
// with like; a step first seen late must not shift the earlier documents' values.
TEST(StepClock, KeepsOneEntryPerDocumentInItsSlot)
{
    StepClock clock;
    clock.add("load", milliseconds(40));
    clock.beginDocument();
    clock.add("load", milliseconds(5));
    clock.add("load", milliseconds(2));
    clock.endDocument();
    clock.beginDocument();
    clock.add("store", milliseconds(9));
    clock.endDocument();
    clock.add("store", milliseconds(30));

    EXPECT_EQ(clock.documentCount(), 2u);
    EXPECT_EQ(clock.perDocument("load"), (std::vector<double> { 7, 0 }));
    EXPECT_EQ(clock.perDocument("store"), (std::vector<double> { 0, 9 }));
    EXPECT_EQ(clock.perDocument("never timed"), (std::vector<double> { 0, 0 }));
    EXPECT_EQ(clock.outsideDocuments("load"), 40);
    EXPECT_EQ(clock.outsideDocuments("store"), 30);
    EXPECT_EQ(clock.steps(), (std::vector<std::string> { "load", "store" }));
}

// A call that fails (an office call throws ComError) still took its time, and the job goes on.
TEST(StepClock, TimesACallThatThrows)
{
    StepClock clock;
    clock.beginDocument();
    EXPECT_THROW(clock.time("load",
                     [] {
                         std::this_thread::sleep_for(milliseconds(20));
                         throw std::runtime_error("no such document");
                     }),
        std::runtime_error);
    EXPECT_EQ(clock.time("store", [] { return 42; }), 42);
    EXPECT_GE(clock.perDocument("load").front(), 20);
    EXPECT_EQ(clock.perDocument("store").size(), 1u);
}

TEST(Statistics, MedianOfOddEvenAndEmptyLists)
{
    EXPECT_EQ(statistics::median({ 9, 1, 5 }), 5);
    EXPECT_EQ(statistics::median({ 8, 1, 4, 100 }), 6);
    EXPECT_EQ(statistics::median({}), 0);
    EXPECT_EQ(statistics::mean({ 1, 2, 6 }), 3);
    EXPECT_EQ(statistics::mean({}), 0);
    EXPECT_EQ(statistics::addUp({ 1, 2, 3 }, { 10, 20 }), (std::vector<double> { 11, 22 }));
}
