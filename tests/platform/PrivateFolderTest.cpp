#include "platform/PrivateFolder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using platform::PrivateFolder;

namespace {

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    EXPECT_EQ(::lstat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

}

// Catches a private folder that is made with what the umask leaves, kept under a name that
// another user can take first, not found again by a later run, or kept in the shared temporary
// folder when the user has a runtime folder of their own.
TEST(PrivateFolder, IsMadeOurOwnUnderANameNobodyCanTakeFirst)
{
    TemporaryFolder temporary;
    ScopedEnvironment tmpdir("TMPDIR", temporary.path());
    ScopedEnvironment noRuntime("XDG_RUNTIME_DIR", "");
    const std::string stem = temporary.path() + "/pressling-office-" + std::to_string(geteuid());
    // What others could have made first under the names a guesser would pick.
    std::filesystem::create_directory(stem);
    ::chmod(stem.c_str(), 0777);
    std::filesystem::create_directory(stem + "-aaaaaa");
    ::chmod((stem + "-aaaaaa").c_str(), 0755);
    std::filesystem::create_directory(stem + "-bbbbbb");
    ::chmod((stem + "-bbbbbb").c_str(), 0700);
    if (geteuid() == 0) {
        ASSERT_EQ(::chown((stem + "-bbbbbb").c_str(), 65534, 65534), 0);
    } else {
        std::filesystem::remove(stem + "-bbbbbb");
    }
    ::symlink((stem + "-aaaaaa").c_str(), (stem + "-cccccc").c_str());

    mode_t previous = ::umask(0777);
    std::string path = PrivateFolder::pathFor("pressling-office");
    ::umask(previous);
    EXPECT_EQ(path.rfind(stem + "-", 0), 0u) << path;
    for (const char* taken : { "", "-aaaaaa", "-bbbbbb", "-cccccc" })
        EXPECT_NE(path, stem + taken);
    EXPECT_EQ(modeOf(path), 0700u);
    EXPECT_TRUE(PrivateFolder::isPrivate(path));
    std::string error;
    EXPECT_TRUE(PrivateFolder::ensure(path, error)) << error;
    EXPECT_EQ(PrivateFolder::pathFor("pressling-office"), path) << "a later run does not find the folder again";

    TemporaryFolder runtime;
    ScopedEnvironment runtimeFolder("XDG_RUNTIME_DIR", runtime.path());
    ::chmod(runtime.path().c_str(), 0700);
    EXPECT_EQ(PrivateFolder::pathFor("pressling-office"), runtime.path() + "/pressling-office");
    ::chmod(runtime.path().c_str(), 0755);
    EXPECT_EQ(PrivateFolder::pathFor("pressling-office"), path) << "a runtime folder others may enter was used";
}

// Catches a folder that someone else put under the name (a link, a folder others may enter, a
// folder of another user) being used instead of refused, and being changed on the way.
TEST(PrivateFolder, WhatElseHasTheNameIsRefusedAndLeftAsItIs)
{
    TemporaryFolder temporary;
    std::string error;
    std::string elsewhere = temporary.file("elsewhere");
    std::filesystem::create_directory(elsewhere);
    ::chmod(elsewhere.c_str(), 0700);
    std::string link = temporary.file("link-0");
    std::filesystem::create_directory_symlink(elsewhere, link);
    EXPECT_FALSE(PrivateFolder::ensure(link, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    std::string open = temporary.file("open-0");
    std::filesystem::create_directory(open);
    ::chmod(open.c_str(), 0755);
    EXPECT_FALSE(PrivateFolder::ensure(open, error));
    EXPECT_EQ(modeOf(open), 0755u) << "the refused folder was changed";

    std::string file = temporary.write("file-0", "x");
    EXPECT_FALSE(PrivateFolder::ensure(file, error));

    if (geteuid() == 0) {
        // Another user got there first.
        std::string theirs = temporary.file("theirs-0");
        std::filesystem::create_directory(theirs);
        ::chmod(theirs.c_str(), 0700);
        ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(PrivateFolder::ensure(theirs, error));
        EXPECT_FALSE(PrivateFolder::isPrivate(theirs));
    }
}

// Catches a private folder made where other users may rename it away and put their own in its
// place: in a folder open to all without the sticky bit.
TEST(PrivateFolder, ParentThatOthersMayRearrangeIsRefused)
{
    TemporaryFolder temporary;
    std::string shared = temporary.file("shared");
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 0777);
    std::string error;
    EXPECT_FALSE(PrivateFolder::ensure(shared + "/pressling-office-0", error));
    EXPECT_FALSE(std::filesystem::exists(shared + "/pressling-office-0"));
    ::chmod(shared.c_str(), 01777);
    EXPECT_TRUE(PrivateFolder::ensure(shared + "/pressling-office-0", error)) << error;
}

// Catches a path that leaves the folder (dot-dot, a doubled slash, a longer name) or names
// something other than one of its entries taken for one.
TEST(PrivateFolder, DirectEntryIsCheckedComponentByComponent)
{
    TemporaryFolder temporary;
    std::string folder = temporary.file("private");
    std::string error;
    ASSERT_TRUE(PrivateFolder::ensure(folder, error)) << error;
    EXPECT_TRUE(PrivateFolder::isDirectEntry(folder, folder + "/profile-aZ09xY", "profile-"));
    for (const std::string& candidate : { folder + "/../victim", folder + "/profile-../x",
             folder + "//profile-aZ09xY", folder + "/profile-aZ09xY/", folder + "/profile-aZ09xY/..",
             folder + "/profile-aZ09x", folder + "/profile-aZ09xYZ", folder + "/profile-aZ.9xY",
             folder + "/other-aZ09xY", folder + "x/profile-aZ09xY",
             std::string("file://") + folder + "/profile-aZ09xY", folder + "/./profile-aZ09x" }) {
        SCOPED_TRACE(candidate);
        EXPECT_FALSE(PrivateFolder::isDirectEntry(folder, candidate, "profile-"));
    }
    ::chmod(folder.c_str(), 0755);
    EXPECT_FALSE(PrivateFolder::isDirectEntry(folder, folder + "/profile-aZ09xY", "profile-"))
        << "an entry of a folder others may enter counted";
}
