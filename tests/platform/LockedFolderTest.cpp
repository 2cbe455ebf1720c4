#include "platform/LockedFolder.h"
#include "tests/support/FolderLock.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using platform::LockedFolder;

namespace {

std::string made(LockedFolder& folder, const TemporaryFolder& parent)
{
    int error = 0;
    EXPECT_TRUE(folder.create(parent.file(".~pressling-x-XXXXXX"), error)) << error;
    return folder.path();
}

}

// Catches a maker that does not hold its folder (a sweep would take it while in use), or one
// whose lock outlives it.
TEST(LockedFolder, HeldWhileItsMakerLivesAndFreeAfter)
{
    TemporaryFolder parent;
    std::string path;
    {
        LockedFolder folder;
        path = made(folder, parent);
        EXPECT_FALSE(folderLockIsFree(path));
        LockedFolder other;
        EXPECT_FALSE(other.takeAbandoned(path));
        struct stat status { };
        ASSERT_EQ(::stat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0700u);
    }
    EXPECT_TRUE(folderLockIsFree(path));
    LockedFolder sweep;
    EXPECT_TRUE(sweep.takeAbandoned(path));
    EXPECT_TRUE(sweep.remove());
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Catches a sweep that takes a link, or what is not a folder, for a folder of ours.
TEST(LockedFolder, LinksAndFilesAreNeverTaken)
{
    TemporaryFolder parent;
    std::filesystem::create_directory(parent.file("real"));
    std::filesystem::create_directory_symlink("real", parent.file("link"));
    parent.write("file", "x");
    LockedFolder folder;
    EXPECT_FALSE(folder.takeAbandoned(parent.file("link")));
    EXPECT_FALSE(folder.takeAbandoned(parent.file("file")));
    EXPECT_TRUE(folder.takeAbandoned(parent.file("real")));
}

// Catches a removal that follows a link out of the folder, or stops at a read-only folder inside.
TEST(LockedFolder, RemovalTakesLinksAsLinks)
{
    TemporaryFolder outside;
    std::string kept = outside.write("kept.txt", "precious");
    std::filesystem::create_directory(outside.file("tree"));
    outside.write("tree/inner.txt", "precious too");
    TemporaryFolder parent;
    LockedFolder folder;
    std::string path = made(folder, parent);
    std::filesystem::create_directories(path + "/a/b/c");
    std::ofstream(path + "/a/b/c/file") << "scratch";
    std::filesystem::create_symlink(kept, path + "/a/link-to-file");
    std::filesystem::create_directory_symlink(outside.file("tree"), path + "/a/b/link-to-tree");
    // A folder inside without write permission still gives up its entries.
    ASSERT_EQ(::chmod((path + "/a/b").c_str(), 0500), 0);
    EXPECT_TRUE(folder.remove());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(kept));
    EXPECT_TRUE(std::filesystem::exists(outside.file("tree/inner.txt")));
}

// Catches a removal by name that takes whatever stands under the name now: a folder moved away
// and replaced (by another folder or by a link) leaves the replacement alone.
TEST(LockedFolder, ReplacementUnderTheNameIsLeftAlone)
{
    TemporaryFolder outside;
    std::string kept = outside.write("kept.txt", "precious");
    TemporaryFolder parent;
    for (bool byLink : { false, true }) {
        SCOPED_TRACE(byLink ? "link" : "folder");
        LockedFolder folder;
        std::string path = made(folder, parent);
        std::ofstream(path + "/scratch") << "x";
        std::filesystem::rename(path, path + ".moved");
        if (byLink)
            std::filesystem::create_directory_symlink(outside.path(), path);
        else
            std::filesystem::create_directory(path);
        EXPECT_FALSE(folder.remove());
        EXPECT_TRUE(std::filesystem::exists(path)) << "the replacement was removed";
        EXPECT_TRUE(std::filesystem::exists(kept));
        EXPECT_FALSE(std::filesystem::exists(path + ".moved/scratch")) << "the moved folder kept its files";
    }
}

// Catches a file read (or an output moved) through a link in the folder.
TEST(LockedFolder, ReadsAndMovesNeverFollowLinks)
{
    TemporaryFolder parent;
    std::string secret = parent.write("secret", "not for reading");
    LockedFolder folder;
    std::string path = made(folder, parent);
    std::ofstream(path + "/owner") << "123\n";
    std::filesystem::create_symlink(secret, path + "/group");
    std::string bytes;
    EXPECT_TRUE(folder.readFile("owner", bytes, 64));
    EXPECT_EQ(bytes, "123\n");
    EXPECT_FALSE(folder.readFile("group", bytes, 64));
    EXPECT_FALSE(folder.readFile("owner", bytes, 2)) << "a file over the limit was read";

    std::string victim = parent.write("victim.txt", "precious");
    std::string target = parent.file("out.pdf");
    std::filesystem::create_symlink(victim, target);
    std::ofstream(path + "/out.pdf") << "%PDF";
    int error = 0;
    ASSERT_TRUE(folder.moveOut("out.pdf", target, error)) << error;
    EXPECT_FALSE(std::filesystem::is_symlink(target));
    std::ifstream stream(victim);
    std::string text;
    std::getline(stream, text);
    EXPECT_EQ(text, "precious");
}
