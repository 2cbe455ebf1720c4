#include "publishing/SessionCount.h"
#include "platform/MachineResources.h"

#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t megabytes = 1024 * 1024;

}

// Catches a default that takes every processor of a large machine, a setting not honoured,
// offices started without a document for them, and more offices than the memory holds.
TEST(SessionCount, SettingProcessorsDocumentsAndMemoryEachLimitTheSessions)
{
    const SessionCount::Machine large { 16, 64000 * megabytes };
    EXPECT_EQ(SessionCount::choose(0, 100, large).sessions, 4u);
    EXPECT_EQ(SessionCount::choose(0, 100, { 2, 64000 * megabytes }).sessions, 2u);
    EXPECT_EQ(SessionCount::choose(6, 100, large).sessions, 6u);
    EXPECT_EQ(SessionCount::choose(6, 3, large).sessions, 3u);
    EXPECT_EQ(SessionCount::choose(0, 1, large).sessions, 1u);
    EXPECT_EQ(SessionCount::choose(0, 0, large).sessions, 1u);
    EXPECT_EQ(SessionCount::choose(4, 100, { 16, std::nullopt }).sessions, 4u)
        << "unknown memory sets no limit";
    EXPECT_EQ(SessionCount::choose(4, 100, { 16, 10 * megabytes }).sessions, 1u) << "one session at least";

    // The setting comes from the store, and a choice that memory cuts short says why.
    TemporaryRegistry registry;
    registry.writeUserFile(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n"
        "\"Sessions\"=dword:00000003\n");
    LogCapture log;
    EXPECT_EQ(SessionCount::forJob(10, SessionCount::Machine { 1, 400 * megabytes }), 2u);
    EXPECT_TRUE(log.contains("SessionCount#forJob,1,2 office sessions instead of 3: MemAvailable=400 MB"));
    EXPECT_EQ(SessionCount::forJob(10, SessionCount::Machine { 1, 4000 * megabytes }), 3u);
}

// Catches a machine read as having no processors or no memory figure, and a meminfo line read
// with the locale's digits or without its unit.
TEST(SessionCount, MachineFiguresComeFromTheKernel)
{
    EXPECT_GE(platform::MachineResources::usableProcessors(), 1u);
    EXPECT_GT(platform::MachineResources::availableMemory().value_or(0), 0u);
    using platform::MachineResources;
    EXPECT_EQ(
        MachineResources::availableMemoryIn("MemTotal:   8000 kB\nMemAvailable:    2048 kB\nCached: 1 kB\n"),
        2048 * 1024u);
    EXPECT_EQ(MachineResources::availableMemoryIn("MemAvailable: 7 kB"), 7 * 1024u);
    EXPECT_FALSE(MachineResources::availableMemoryIn("MemTotal:   8000 kB\nXMemAvailable: 5 kB\n"));
    EXPECT_FALSE(MachineResources::availableMemoryIn("MemAvailable: 2.048 kB\n"));
}
