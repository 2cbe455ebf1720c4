#include "platform/Trash.h"

#include "platform/ChildProcess.h"
#include "tests/platform/PlatformTestDesktop.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

std::string homeTrash()
{
    return platformTestDesktop().dataHome() + "/Trash";
}

struct TrashInfo {
    std::string path;
    std::string deletionDate;
};

// Reads the .trashinfo of a trashed name, decoding Path= as the trash's readers do.
TrashInfo readInfo(const std::string& trash, const std::string& name)
{
    std::string text = readFile(trash + "/info/" + name + ".trashinfo");
    EXPECT_EQ(text.rfind("[Trash Info]\n", 0), 0u) << text;
    TrashInfo info;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Path=", 0) == 0) {
            std::string encoded = line.substr(5);
            EXPECT_EQ(encoded.find_first_of(" \n\t"), std::string::npos) << "Path must be percent-encoded";
            info.path = QByteArray::fromPercentEncoding(QByteArray::fromStdString(encoded)).toStdString();
        } else if (line.rfind("DeletionDate=", 0) == 0) {
            info.deletionDate = line.substr(13);
        }
    }
    return info;
}

void expectInHomeTrash(const std::string& original, const std::string& contents)
{
    std::string name = fs::path(original).filename().string();
    EXPECT_FALSE(fs::exists(fs::symlink_status(original)));
    EXPECT_EQ(readFile(homeTrash() + "/files/" + name), contents);
    TrashInfo info = readInfo(homeTrash(), name);
    EXPECT_EQ(info.path, original);
    EXPECT_TRUE(std::regex_match(info.deletionDate, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")))
        << info.deletionDate;
}

// Runs the test in another folder and comes back, so that a file written "here" is seen.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder)
        : m_previous(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~WorkingFolder() { fs::current_path(m_previous); }

private:
    fs::path m_previous;
};

}

TEST(Trash, FileLandsInTheHomeTrashWithItsInfo)
{
    platformTestDesktop();
    TemporaryFolder folder;
    std::string path = folder.write("plain-report.doc", "the report");
    ASSERT_EQ(platform::moveToTrash(path.c_str()), 0);
    expectInHomeTrash(path, "the report");
}

// Names are bytes: blanks, a line feed or bytes that are no UTF-8 must neither break the info
// file nor be changed on the way.
TEST(Trash, NamesThatAreNoPlainTextSurvive)
{
    platformTestDesktop();
    TemporaryFolder folder;
    for (const std::string name :
        { "a b c.doc", "line\nfeed.doc", "bytes \xff\xfe\x80.doc", "100% #1?.doc" }) {
        SCOPED_TRACE(name);
        std::string path = folder.write(name, "contents of " + name);
        ASSERT_EQ(platform::moveToTrash(path.c_str()), 0);
        expectInHomeTrash(path, "contents of " + name);
    }
}

// Trashing a link must move the link; its target is the user's file and stays where it is.
TEST(Trash, LinkGoesItsTargetStays)
{
    platformTestDesktop();
    TemporaryFolder folder;
    std::string target = folder.write("link-target.doc", "target");
    std::string link = folder.file("the-link.doc");
    fs::create_symlink("link-target.doc", link);
    ASSERT_EQ(platform::moveToTrash(link.c_str()), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_EQ(readFile(target), "target");
    fs::path trashed = homeTrash() + "/files/the-link.doc";
    ASSERT_TRUE(fs::is_symlink(trashed));
    EXPECT_EQ(fs::read_symlink(trashed), "link-target.doc");
    EXPECT_EQ(readInfo(homeTrash(), "the-link.doc").path, link);
}

TEST(Trash, MissingFileFailsAndChangesNothing)
{
    platformTestDesktop();
    TemporaryFolder folder;
    std::set<std::string> filesBefore = namesIn(homeTrash() + "/files");
    std::set<std::string> infoBefore = namesIn(homeTrash() + "/info");
    EXPECT_EQ(platform::moveToTrash(folder.file("never-there.doc").c_str()), ENOENT);
    EXPECT_NE(platform::moveToTrash(""), 0);
    EXPECT_NE(platform::moveToTrash(nullptr), 0);
    EXPECT_EQ(namesIn(homeTrash() + "/files"), filesBefore);
    EXPECT_EQ(namesIn(homeTrash() + "/info"), infoBefore);
}

// A user who never had a trash has no $XDG_DATA_HOME either: it must be made, and nothing may be
// written into whatever folder the program happens to run in.
TEST(Trash, MissingDataHomeIsCreated)
{
    const TestDesktop& desktop = platformTestDesktop();
    fs::remove_all(desktop.dataHome());
    TemporaryFolder working;
    TemporaryFolder folder;
    std::string path = folder.write("first-ever.doc", "first");
    {
        WorkingFolder inside(working.path());
        ASSERT_EQ(platform::moveToTrash(path.c_str()), 0);
    }
    expectInHomeTrash(path, "first");
    EXPECT_TRUE(namesIn(working.path()).empty());
}

// A file on another file system goes to that file system's own trash, as renaming into the home
// trash would mean copying it across.
TEST(Trash, FileOnAnotherMountGoesToThatMountsTrash)
{
    platformTestDesktop();
    TemporaryFolder folder;
    std::string image = folder.file("disk.img");
    fs::resize_file(folder.write("disk.img", ""), 4 << 20);
    auto formatted = platform::ChildProcess::run({ "mkfs.ext2", "-q", "-F", image }, 60s);
    if (!formatted.succeeded())
        GTEST_SKIP() << "cannot make a file system: " << formatted.error << formatted.standardError;
    ScratchMount mount(folder.file("mnt"), { "mount", "-o", "loop", image });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    std::string path = folder.write("mnt/on-the-disk.doc", "far away");
    ASSERT_EQ(platform::moveToTrash(path.c_str()), 0);
    std::string trash = folder.file("mnt/.Trash-" + std::to_string(getuid()));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(readFile(trash + "/files/on-the-disk.doc"), "far away");
    // The trash of a mount may name the file relative to the mount's top.
    std::string named = readInfo(trash, "on-the-disk.doc").path;
    EXPECT_EQ(named.front() == '/' ? named : folder.file("mnt/" + named), path);
    EXPECT_FALSE(fs::exists(homeTrash() + "/files/on-the-disk.doc"));
}

// Where a mount has no trash that may be used (a memory file system counts as the system's), the
// file must stay where it is: it is never deleted for good.
TEST(Trash, FileThatCannotBeTrashedIsKept)
{
    platformTestDesktop();
    TemporaryFolder folder;
    ScratchMount mount(folder.file("mem"), { "mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs" });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    std::string path = folder.write("mem/in-memory.doc", "kept");
    int result = platform::moveToTrash(path.c_str());
    if (result == 0)
        EXPECT_EQ(
            readFile(folder.file("mem/.Trash-" + std::to_string(getuid()) + "/files/in-memory.doc")), "kept");
    else
        EXPECT_EQ(readFile(path), "kept");
}
