#include "platform/LogViewerSocket.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UnixSocketListener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Generous: an append is allowed a tenth of a second, a blocking one would take forever.
constexpr auto NeverBlocks = std::chrono::seconds(3);

}

// Catches appends merged into one piece, reordered, or cut short.
TEST(LogViewerSocket, EachAppendArrivesWholeAndInOrder)
{
    TemporaryFolder runtime;
    ScopedEnvironment environment("XDG_RUNTIME_DIR", runtime.path());
    EXPECT_EQ(platform::LogViewerSocket::path(), runtime.path() + "/pressling-log-viewer");
    UnixSocketListener viewer(platform::LogViewerSocket::path());
    std::string big(30718, 'b');
    platform::LogViewerSocket::append("first", 5);
    platform::LogViewerSocket::append("\r\n", 2);
    platform::LogViewerSocket::append(big.data(), big.size());
    EXPECT_EQ(viewer.takePending(), (std::vector<std::string> { "first", "\r\n", big }));
}

// Catches an append that fails loudly or hangs when nobody listens: no runtime folder, no socket
// file, or the file of a viewer that has gone.
TEST(LogViewerSocket, NobodyListeningIsQuietlyNothing)
{
    {
        ScopedEnvironment environment("XDG_RUNTIME_DIR", "");
        EXPECT_EQ(platform::LogViewerSocket::path(), "");
        platform::LogViewerSocket::append("x", 1);
    }
    TemporaryFolder runtime;
    ScopedEnvironment environment("XDG_RUNTIME_DIR", runtime.path());
    auto start = Clock::now();
    platform::LogViewerSocket::append("x", 1);
    UnixSocketListener gone(platform::LogViewerSocket::path());
    gone.closeKeepingFile();
    platform::LogViewerSocket::append("x", 1);
    EXPECT_LT(Clock::now() - start, NeverBlocks);
}

// Catches an append that waits for a viewer that never reads, which would stall every log call.
TEST(LogViewerSocket, ViewerThatNeverReadsDoesNotBlock)
{
    TemporaryFolder runtime;
    ScopedEnvironment environment("XDG_RUNTIME_DIR", runtime.path());
    UnixSocketListener viewer(platform::LogViewerSocket::path(), 1);
    std::string huge(8 * 1024 * 1024, 'h');
    auto start = Clock::now();
    for (int index = 0; index < 5; ++index)
        platform::LogViewerSocket::append(huge.data(), huge.size());
    EXPECT_LT(Clock::now() - start, NeverBlocks);
}

// Catches SIGPIPE killing the program when the viewer hangs up in the middle of an append.
TEST(LogViewerSocket, ViewerHangingUpDoesNotKillTheProgram)
{
    TemporaryFolder runtime;
    ScopedEnvironment environment("XDG_RUNTIME_DIR", runtime.path());
    UnixSocketListener viewer(platform::LogViewerSocket::path());
    std::string huge(8 * 1024 * 1024, 'h');
    int hungUp = 0;
    std::thread rude([&] {
        auto until = Clock::now() + std::chrono::seconds(2);
        while (Clock::now() < until && hungUp < 3) {
            if (viewer.acceptAndClose())
                ++hungUp;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    for (int index = 0; index < 3; ++index)
        platform::LogViewerSocket::append(huge.data(), huge.size());
    rude.join();
    // Reaching this line at all is the point; the viewer did take the connections.
    EXPECT_GT(hungUp, 0);
}
