#include "platform/FolderEntries.h"
#include "platform/LocalFileTime.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using platform::FolderEntries;
using platform::FolderEntry;

namespace {

// The files that visitFiles gives for folder, by name, of those that wanted accepts.
std::optional<std::map<std::string, FolderEntry>> filesOf(
    const std::string& folder, const std::function<bool(std::string_view)>& wanted)
{
    std::map<std::string, FolderEntry> named;
    bool readable = FolderEntries::visitFiles(folder, wanted, [&](FolderEntry& entry) {
        named[entry.name] = entry;
        return true;
    });
    return readable ? std::optional(named) : std::nullopt;
}

}

// Catches folders taken for files, sizes or times of the link instead of its document, a
// dangling link or a FIFO breaking the listing, names that are no UTF-8 changed, and the filter
// or a request to stop passed over.
TEST(FolderEntries, VisitsTheFilesWithWhatTheyLeadTo)
{
    TemporaryFolder folder;
    std::string document = folder.write("caf\xE9.doc", std::string(5000, 'x'));
    struct timespec times[2] = { { 1700000000, 0 }, { 1700000000, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, document.c_str(), times, 0), 0);
    std::filesystem::create_directory(folder.file("sub"));
    std::filesystem::create_directory(folder.file("folder.doc"));
    ASSERT_EQ(::symlink(document.c_str(), folder.file("link.doc").c_str()), 0);
    ASSERT_EQ(::symlink(folder.file("sub").c_str(), folder.file("sublink.doc").c_str()), 0);
    ASSERT_EQ(::symlink(folder.file("gone").c_str(), folder.file("dangling.doc").c_str()), 0);
    ASSERT_EQ(::mkfifo(folder.file("pipe.doc").c_str(), 0600), 0);
    folder.write("sheet.xls", "x");

    auto named = filesOf(folder.path(), [](std::string_view name) { return name.ends_with(".doc"); });
    ASSERT_TRUE(named.has_value());
    // The document, the link to it and the FIFO: no folder, no link to one, no dangling link.
    EXPECT_EQ(named->size(), 3u);
    const FolderEntry& file = (*named)["caf\xE9.doc"];
    EXPECT_FALSE(file.isDirectory);
    EXPECT_EQ(file.size, 5000u);
    EXPECT_EQ(file.modified, 1700000000);
    EXPECT_NE(file.inode, 0u);
    EXPECT_EQ((*named)["link.doc"].size, 5000u);
    EXPECT_EQ((*named)["link.doc"].modified, 1700000000);
    EXPECT_EQ((*named)["link.doc"].inode, file.inode);
    EXPECT_FALSE((*named)["pipe.doc"].isDirectory);
    EXPECT_EQ(named->count("dangling.doc"), 0u);

    int visited = 0;
    FolderEntries::visitFiles(
        folder.path(), [](std::string_view) { return true; },
        [&](FolderEntry&) {
            ++visited;
            return false;
        });
    EXPECT_EQ(visited, 1);
}

// Catches a folder that cannot be read answered like an empty one.
TEST(FolderEntries, FolderThatCannotBeReadHasNoListing)
{
    TemporaryFolder folder;
    auto all = [](std::string_view) { return true; };
    EXPECT_FALSE(filesOf(folder.file("missing"), all).has_value());
    EXPECT_FALSE(filesOf(folder.write("file.doc", "x"), all).has_value());
    auto listed = filesOf(folder.path() + "/", all);
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(listed->size(), 1u);
}

// Catches a name that is taken missed because what it names is gone, and "." or ".." given as
// names.
TEST(FolderEntries, NamesAreEveryEntryEvenADanglingLink)
{
    TemporaryFolder folder;
    folder.write("caf\xE9.doc", "x");
    ASSERT_EQ(::symlink(folder.file("gone").c_str(), folder.file("dangling.doc").c_str()), 0);
    std::vector<std::string> names = FolderEntries::names(folder.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "caf\xE9.doc", "dangling.doc" }));
    EXPECT_TRUE(FolderEntries::names(folder.file("missing")).empty());
}

// Catches the name taken with its folder, and a missing file or link target described anyway.
TEST(FolderEntries, LooksUpOneEntryByPath)
{
    TemporaryFolder folder;
    std::string document = folder.write("a b.doc", "abc");
    ASSERT_EQ(::symlink(folder.file("gone").c_str(), folder.file("dangling.doc").c_str()), 0);

    auto entry = FolderEntries::lookUp(document);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->name, "a b.doc");
    EXPECT_EQ(entry->size, 3u);
    EXPECT_TRUE(FolderEntries::lookUp(folder.path())->isDirectory);
    EXPECT_FALSE(FolderEntries::lookUp(folder.file("missing.doc")).has_value());
    EXPECT_FALSE(FolderEntries::lookUp(folder.file("dangling.doc")).has_value());
    EXPECT_FALSE(FolderEntries::lookUp("").has_value());
}

// Catches UTC given for local time, and months or years off by the calendar's origins.
TEST(LocalFileTime, CalendarOfTheLocalZone)
{
    platform::LocalFileTime local;
    {
        ScopedEnvironment zone("TZ", "EST5");
        ::tzset();
        local = platform::LocalFileTime::of(1709597250); // 2024-03-05 00:07:30 UTC
    }
    ::tzset();
    EXPECT_EQ(local.year, 2024u);
    EXPECT_EQ(local.month, 3u);
    EXPECT_EQ(local.day, 4u);
    EXPECT_EQ(local.hour, 19u);
    EXPECT_EQ(local.minute, 7u);
}
