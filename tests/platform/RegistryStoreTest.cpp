#include "platform/RegistryStore.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using platform::RegistryRoot;
using platform::RegistryStore;
using platform::RegistryValue;

namespace {

// Bytes with NULs in them, as a literal of any length gives them.
template <size_t size> std::string bytes(const char (&text)[size])
{
    return std::string(text, size - 1);
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> corruptCopies(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.find(".corrupt-") != std::string::npos)
            names.push_back(entry.path().string());
    }
    return names;
}

}

// Tests and portable installs rely on one variable moving every root; a root left at its system
// path would make a test write into the real configuration.
TEST(RegistryStore, FilePathsFollowTheEnvironment)
{
    {
        ScopedEnvironment folder("PRESSLING_REGISTRY_DIR", "/tmp/regs");
        EXPECT_EQ(RegistryStore::defaultFilePath(RegistryRoot::CurrentUser), "/tmp/regs/user.reg");
        EXPECT_EQ(RegistryStore::defaultFilePath(RegistryRoot::LocalMachine), "/tmp/regs/machine.reg");
        EXPECT_EQ(RegistryStore::defaultFilePath(RegistryRoot::ClassesRoot), "/tmp/regs/classes.reg");
    }
    ScopedEnvironment none("PRESSLING_REGISTRY_DIR", "");
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(RegistryStore::defaultFilePath(RegistryRoot::CurrentUser), "/cfg/Tarnwick/user.reg");
    }
    ScopedEnvironment config("XDG_CONFIG_HOME", "");
    EXPECT_EQ(
        RegistryStore::defaultFilePath(RegistryRoot::CurrentUser), "/home/someone/.config/Tarnwick/user.reg");
    EXPECT_EQ(RegistryStore::defaultFilePath(RegistryRoot::LocalMachine), "/etc/xdg/Tarnwick/machine.reg");
    EXPECT_EQ(RegistryStore::defaultFilePath(RegistryRoot::ClassesRoot), "/etc/xdg/Tarnwick/classes.reg");
}

TEST(RegistryStore, WriteCreatesFoldersAndAReadableTextFile)
{
    TemporaryFolder folder;
    RegistryStore store(RegistryRoot::CurrentUser, folder.file("deep/er/user.reg"));
    ASSERT_TRUE(
        store.writeValue("SOFTWARE\\Tarnwick\\Config", RegistryValue::dword("MacroSecurityLevel", 2)));
    ASSERT_TRUE(
        store.writeValue("SOFTWARE\\Tarnwick\\Config", RegistryValue::text("InitialFolder", "/home/a b")));
    EXPECT_EQ(contents(store.filePath()),
        "REGEDIT4\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Config]\n"
        "\"MacroSecurityLevel\"=dword:00000002\n"
        "\"InitialFolder\"=\"/home/a b\"\n");
    // No temporary file may be left behind after a successful write.
    for (const auto& entry : std::filesystem::directory_iterator(folder.file("deep/er")))
        EXPECT_TRUE(entry.path().filename() == "user.reg" || entry.path().filename() == "user.reg.lock")
            << entry.path();
}

// Every operation reads the file afresh: a change made by someone else must show at the next read.
TEST(RegistryStore, SeesChangesMadeToTheFileBetweenCalls)
{
    TemporaryFolder folder;
    RegistryStore store(RegistryRoot::CurrentUser, folder.file("user.reg"));
    ASSERT_TRUE(store.writeValue("K", RegistryValue::dword("n", 1)));
    folder.write("user.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"n\"=dword:00000007\n");
    ASSERT_TRUE(store.readValue("k", "N").has_value());
    EXPECT_EQ(store.readValue("k", "N")->asDword(), 7u);
}

TEST(RegistryStore, ListsDeletesAndReportsWhatIsMissing)
{
    TemporaryFolder folder;
    RegistryStore store(RegistryRoot::LocalMachine, folder.file("machine.reg"));
    EXPECT_FALSE(store.keyExists("A"));
    EXPECT_FALSE(store.listValues("A").has_value());
    EXPECT_TRUE(store.keyExists(""));
    ASSERT_TRUE(store.createKey("A\\Sub2"));
    ASSERT_TRUE(store.createKey("A\\sub1"));
    EXPECT_TRUE(store.createKey("a\\SUB1")) << "creating an existing key is not a failure";
    ASSERT_TRUE(store.writeValue("A", RegistryValue::text("", "default")));
    EXPECT_EQ(store.listSubkeys("A").value(), (std::vector<std::string> { "sub1", "Sub2" }));
    ASSERT_EQ(store.listValues("A")->size(), 1u);
    EXPECT_EQ(store.listValues("A")->front().name, "");

    EXPECT_FALSE(store.deleteValue("A", "missing"));
    EXPECT_FALSE(store.deleteValue("Missing", ""));
    EXPECT_TRUE(store.deleteValue("A", ""));
    EXPECT_FALSE(store.readValue("A", "").has_value());
    EXPECT_TRUE(store.deleteKey("A"));
    EXPECT_FALSE(store.keyExists("A\\Sub2"));
    EXPECT_FALSE(store.deleteKey("A"));
    EXPECT_NE(contents(store.filePath()).find("REGEDIT4"), std::string::npos);
    EXPECT_EQ(contents(store.filePath()).find("[HKEY_LOCAL_MACHINE\\A"), std::string::npos);
}

// A missing folder, garbage, NUL bytes or a file cut off in the middle must never crash a reader;
// all of them read as an empty store.
TEST(RegistryStore, UnreadableFilesReadAsAbsent)
{
    TemporaryFolder folder;
    const std::string cases[] = {
        bytes("\x7f"
              "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0"),
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"cut off",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=hex:01,0",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\K",
        bytes("REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"x\0y\"\n"),
        std::string(100000, '\xff'),
    };
    for (const std::string& text : cases) {
        folder.write("user.reg", text);
        RegistryStore store(RegistryRoot::CurrentUser, folder.file("user.reg"));
        EXPECT_FALSE(store.readValue("K", "A").has_value());
        EXPECT_FALSE(store.keyExists("K"));
        EXPECT_FALSE(store.listSubkeys("K").has_value());
        EXPECT_TRUE(store.listSubkeys("").value().empty());
    }
    RegistryStore nowhere(RegistryRoot::CurrentUser, folder.file("no/such/folder/user.reg"));
    EXPECT_FALSE(nowhere.readValue("K", "A").has_value());
    RegistryStore aFolder(RegistryRoot::CurrentUser, folder.path());
    EXPECT_FALSE(aFolder.readValue("K", "A").has_value());
}

// A user's hand edit that does not parse must still be there after the program writes a setting.
TEST(RegistryStore, WriteOverAnUnparsableFileKeepsItAside)
{
    TemporaryFolder folder;
    std::string broken = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"my hand edit, no closing quote\n";
    folder.write("user.reg", broken);
    RegistryStore store(RegistryRoot::CurrentUser, folder.file("user.reg"));
    EXPECT_TRUE(store.readValue("K", "B") == std::nullopt);
    EXPECT_FALSE(store.deleteValue("K", "A")) << "nothing to delete in a store that reads as empty";
    EXPECT_TRUE(corruptCopies(folder.path()).empty()) << "a refused change must not rewrite anything";

    ASSERT_TRUE(store.writeValue("K", RegistryValue::dword("B", 5)));
    std::vector<std::string> copies = corruptCopies(folder.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(contents(copies.front()), broken);
    std::string name = std::filesystem::path(copies.front()).filename().string();
    EXPECT_EQ(name.size(), std::string("user.reg.corrupt-20260101T000000").size()) << name;
    EXPECT_EQ(store.readValue("K", "B")->asDword(), 5u);

    // The same second again: the first copy must not be overwritten.
    folder.write("user.reg", "garbage");
    ASSERT_TRUE(store.writeValue("K", RegistryValue::dword("C", 6)));
    EXPECT_EQ(corruptCopies(folder.path()).size(), 2u);
    EXPECT_FALSE(store.readValue("K", "B").has_value());
}

// A file that exists but cannot be read must never be replaced: that would lose all its settings.
// One far larger than any store file is refused as unreadable (permissions would not stop root).
TEST(RegistryStore, WriteRefusesAFileItCannotRead)
{
    TemporaryFolder folder;
    std::string path = folder.write("user.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"keep\"\n");
    std::filesystem::resize_file(path, 65 * 1024 * 1024);
    RegistryStore store(RegistryRoot::CurrentUser, path);
    EXPECT_FALSE(store.readValue("K", "A").has_value());
    EXPECT_FALSE(store.writeValue("K", RegistryValue::dword("B", 1)));
    EXPECT_EQ(std::filesystem::file_size(path), 65u * 1024 * 1024);
    EXPECT_EQ(contents(path).compare(0, 8, "REGEDIT4"), 0);
    EXPECT_TRUE(corruptCopies(folder.path()).empty());
}

TEST(RegistryStore, ReplacingKeepsTheFilePermissions)
{
    TemporaryFolder folder;
    std::string path = folder.write("user.reg", "REGEDIT4\n");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    RegistryStore store(RegistryRoot::CurrentUser, path);
    ASSERT_TRUE(store.writeValue("K", RegistryValue::dword("B", 1)));
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}
