#include "platform/FileWindow.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>

using platform::FileWindow;

// Catches a window that hands out bytes the file no longer holds, or that keeps reading past
// the end a short read found: after the file is cut, it ends where it now ends.
TEST(FileWindow, FileCutShortEndsWhereTheShortReadStopped)
{
    TemporaryFolder folder;
    std::string bytes(3 * FileWindow::Capacity, 'a');
    bytes.replace(bytes.size() - 4, 4, "PK\x07\x08");
    std::string path = folder.write("archive.zip", bytes);
    FileWindow whole;
    ASSERT_TRUE(whole.open(path));
    EXPECT_EQ(whole.size(), bytes.size());
    EXPECT_EQ(whole.find(0, "PK\x07\x08", 4), bytes.size() - 4);

    FileWindow window;
    ASSERT_TRUE(window.open(path));
    ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
    EXPECT_EQ(window.bytesAt(2 * FileWindow::Capacity, 16), nullptr);
    EXPECT_LE(window.size(), 2 * FileWindow::Capacity);
    EXPECT_FALSE(window.find(0, "PK\x07\x08", 4).has_value());
    EXPECT_EQ(window.size(), 1000u);
    const uint8_t* start = window.bytesAt(0, 16);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(std::memcmp(start, "aaaaaaaaaaaaaaaa", 16), 0);
    EXPECT_EQ(window.bytesAt(990, 16), nullptr);
}
