#include "foundation/Directory.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

bool isFolder(const std::string& path)
{
    return std::filesystem::is_directory(path);
}

}

// Catches a walk that only makes the last folder and fails when its parents are missing.
TEST(Directory, CreatesEveryMissingFolderOnTheWay)
{
    TemporaryFolder folder;
    Directory nested(folder.file("a/b/c").c_str());
    EXPECT_FALSE(nested.exists());
    EXPECT_TRUE(nested.createDirectories());
    EXPECT_TRUE(isFolder(folder.file("a/b/c")));
    EXPECT_TRUE(nested.exists());
    // Already there: found, not an error.
    EXPECT_TRUE(nested.createDirectories());
}

// Catches relative paths and trailing or doubled separators that make the walk ask for an empty
// or wrong prefix.
TEST(Directory, RelativeAndOddlySeparatedPaths)
{
    TemporaryFolder folder;
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    EXPECT_TRUE(Directory("x/y/").createDirectories());
    EXPECT_TRUE(Directory("p//q").createDirectories());
    EXPECT_TRUE(Directory("./r/../s").createDirectories());
    std::filesystem::current_path(previous);
    EXPECT_TRUE(isFolder(folder.file("x/y")));
    EXPECT_TRUE(isFolder(folder.file("p/q")));
    EXPECT_TRUE(isFolder(folder.file("r")));
    EXPECT_TRUE(isFolder(folder.file("s")));
}

// Catches the names that stand for no new folder being "created" and reported as success.
TEST(Directory, EmptyDotAndDotDotAreRefused)
{
    EXPECT_FALSE(Directory("").createDirectories());
    EXPECT_FALSE(Directory(".").createDirectories());
    EXPECT_FALSE(Directory("..").createDirectories());
    EXPECT_FALSE(Directory(nullptr).createDirectories());
    EXPECT_FALSE(Directory(nullptr).exists());
}

// Catches a walk that goes on below something that is not a folder and claims success.
TEST(Directory, FolderBelowARegularFileFails)
{
    TemporaryFolder folder;
    std::string plain = folder.write("plain", "x");
    EXPECT_FALSE(Directory((plain + "/sub/deeper").c_str()).createDirectories());
    EXPECT_FALSE(std::filesystem::exists(plain + "/sub"));
    // A regular file counts as existing: the file system reports it.
    EXPECT_TRUE(Directory(plain.c_str()).exists());
}

// Catches a path longer than the work buffer overflowing it or being cut to a shorter path that
// would then be created in its place.
TEST(Directory, PathTooLongForTheWorkBufferCreatesNothing)
{
    TemporaryFolder folder;
    std::string base = folder.file("long");
    std::string path = base + "/" + std::string(Directory::WorkBufferSize - base.size(), 'n');
    ASSERT_GE(path.size(), static_cast<size_t>(Directory::WorkBufferSize));
    EXPECT_FALSE(Directory(path.c_str()).createDirectories());
    EXPECT_FALSE(std::filesystem::exists(base));

    std::string fits = base + "/" + std::string(Directory::WorkBufferSize - 2 - base.size(), 'n');
    ASSERT_EQ(fits.size(), static_cast<size_t>(Directory::WorkBufferSize - 1));
    EXPECT_TRUE(Directory(fits.c_str()).createDirectories());
    EXPECT_TRUE(isFolder(fits));
}

// Catches the second byte of a Shift-JIS character (here 0x95 0x5C, whose second byte has the
// value of a backslash) being taken for a separator.
TEST(Directory, ShiftJisSecondByteIsNotASeparator)
{
    const std::string doubleByte = "\x95\x5C";
    EXPECT_EQ(Directory::findSeparator(doubleByte.c_str(), '\\'), nullptr);
    std::string path = "a" + doubleByte + "b\\c";
    const char* found = Directory::findSeparator(path.c_str(), '\\');
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found - path.c_str(), 4);
    std::string plain = "ab\\c";
    EXPECT_EQ(Directory::findSeparator(plain.c_str(), '\\') - plain.c_str(), 2);
}

// Catches a lead byte at the very end making the walk step over the terminator, and a lead byte
// swallowing a separator that is not a second byte.
TEST(Directory, LeadByteNeverPassesTheTerminatorOrASeparator)
{
    const char text[] = "ab\x95\0\\";
    EXPECT_EQ(Directory::findSeparator(text, '\\'), nullptr);
    const char beforeSeparator[] = "\x95/x";
    EXPECT_EQ(Directory::findSeparator(beforeSeparator, '/'), beforeSeparator + 1);
}

// Catches folder names holding double-byte characters being split or mangled on the way to disk.
TEST(Directory, CreatesFoldersWhoseNamesHoldDoubleByteCharacters)
{
    TemporaryFolder folder;
    std::string path = folder.file("\x95\x5C/\xE6\x97\xA5\xE6\x9C\xAC/sub");
    EXPECT_TRUE(Directory(path.c_str()).createDirectories());
    EXPECT_TRUE(isFolder(path));
    EXPECT_TRUE(isFolder(folder.file("\x95\x5C")));
}
