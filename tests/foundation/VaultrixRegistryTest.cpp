#include "foundation/VaultrixRegistry.h"
#include "foundation/Profile.h"
#include "foundation/String.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

namespace {

void writeSettings(const TemporaryRegistry& registry, const std::string& values)
{
    registry.writeUserFile(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n" + values);
}

}

// The macro security level given to Office must be 1, 2 or 3; anything else would let an Office
// application run macros the user never allowed, so it falls back to the safest level 3.
TEST(VaultrixRegistry, MacroSecurityLevelOutsideOneToThreeBecomesThree)
{
    TemporaryRegistry registry;
    const struct {
        const char* stored;
        int32_t expected;
    } cases[] = {
        { "dword:00000000", 3 },
        { "dword:00000004", 3 },
        { "dword:ffffffff", 3 },
        { "dword:00000001", 1 },
        { "dword:00000002", 2 },
        { "dword:00000003", 3 },
        { "\"2\"", 3 }, // a string is not a number: its bytes give 0x32
        { "hex:01,00,00,00,00", 3 },
    };
    for (const auto& entry : cases) {
        writeSettings(registry, std::string("\"MacroSecurityLevel\"=") + entry.stored + "\n");
        EXPECT_EQ(VaultrixRegistry().getMacroSecurityLevel(), entry.expected) << entry.stored;
    }
    writeSettings(registry, "");
    EXPECT_EQ(VaultrixRegistry().getMacroSecurityLevel(), 3);
}

// Values are read afresh at each call: a change from outside must take effect without a restart.
TEST(VaultrixRegistry, ReadsAfreshEachTime)
{
    TemporaryRegistry registry;
    VaultrixRegistry settings;
    EXPECT_EQ(settings.getFilesDisplayFormat(), 2);
    writeSettings(registry, "\"FilesDisplayFormat\"=dword:00000005\n");
    EXPECT_EQ(settings.getFilesDisplayFormat(), 5);
}

TEST(VaultrixRegistry, InitialFolderIsTrimmedAndWrittenBack)
{
    TemporaryRegistry registry;
    writeSettings(registry, "\"InitialFolder\"=\"  /home/user/My Documents/  \"\n");
    String folder;
    ASSERT_TRUE(VaultrixRegistry().getInitialFolder(folder));
    EXPECT_STREQ(folder.getText(), "/home/user/My Documents/");

    ASSERT_TRUE(VaultrixRegistry().setInitialFolder("/srv/share/"));
    ASSERT_TRUE(VaultrixRegistry().getInitialFolder(folder));
    EXPECT_STREQ(folder.getText(), "/srv/share/");

    writeSettings(registry, "\"InitialFolder\"=\"   \"\n");
    String untouched("before");
    EXPECT_FALSE(VaultrixRegistry().getInitialFolder(untouched));
    EXPECT_STREQ(untouched.getText(), "before");
}

// A first start must leave the empty settings key behind and run on defaults.
TEST(VaultrixRegistry, FirstStartCreatesTheEmptyKey)
{
    TemporaryRegistry registry;
    VaultrixRegistry settings;
    EXPECT_EQ(registry.readUserFile(),
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n");
    EXPECT_EQ(settings.getMacroSecurityLevel(), 3);
    EXPECT_EQ(settings.getFilesDisplayFormat(), 2);
    String folder;
    EXPECT_FALSE(settings.getInitialFolder(folder));
    EXPECT_TRUE(folder.isNull());
}

TEST(VaultrixRegistry, WorkingFolderDefaultsToSfcInHomeAndCreatesIt)
{
    TemporaryRegistry registry;
    TemporaryFolder home;
    ScopedEnvironment environment("HOME", home.path());
    String folder;
    ASSERT_TRUE(VaultrixRegistry().getWorkingFolder(folder));
    EXPECT_EQ(std::string(folder.getText()), home.path() + "/sfc");
    EXPECT_TRUE(std::filesystem::is_directory(home.path() + "/sfc"));
    // Again, with the folder there already.
    ASSERT_TRUE(VaultrixRegistry().getWorkingFolder(folder));
    EXPECT_EQ(std::string(folder.getText()), home.path() + "/sfc");
}

TEST(VaultrixRegistry, WorkingFolderFromTheSettingIsNotCreated)
{
    TemporaryRegistry registry;
    TemporaryFolder home;
    ScopedEnvironment environment("HOME", home.path());
    writeSettings(registry, "\"WorkingFolder\"=\" /nowhere/work \"\n");
    String folder;
    ASSERT_TRUE(VaultrixRegistry().getWorkingFolder(folder));
    EXPECT_STREQ(folder.getText(), "/nowhere/work");
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/sfc"));
}

// Without a home folder, or with one where sfc cannot be made, there is no working folder, and
// the output must stay as it was.
TEST(VaultrixRegistry, WorkingFolderFailsWithoutAUsableHome)
{
    TemporaryRegistry registry;
    String folder("before");
    {
        ScopedEnvironment environment("HOME", "");
        EXPECT_FALSE(VaultrixRegistry().getWorkingFolder(folder));
    }
    {
        ScopedEnvironment environment("HOME", "/proc/no-such-home");
        EXPECT_FALSE(VaultrixRegistry().getWorkingFolder(folder));
    }
    {
        ScopedEnvironment environment("HOME", "/" + std::string(300, 'h'));
        EXPECT_FALSE(VaultrixRegistry().getWorkingFolder(folder));
    }
    EXPECT_STREQ(folder.getText(), "before");
}

TEST(Profile, ReadGeometryWithoutValueGivesMarkers)
{
    TemporaryRegistry registry;
    Profile profile("GeometryTest");
    EXPECT_STREQ(profile.getKeyPath(), "Software\\Tarnwick\\Application\\GeometryTest");
    int32_t x = 1, y = 1, width = 1, height = 1;
    EXPECT_FALSE(profile.readGeometry(x, y, width, height));
    EXPECT_EQ(x, INT32_MIN);
    EXPECT_EQ(y, INT32_MIN);
    EXPECT_EQ(width, INT32_MIN);
    EXPECT_EQ(height, INT32_MIN);
    EXPECT_NE(
        registry.readUserFile().find("[HKEY_CURRENT_USER\\Software\\Tarnwick\\Application\\GeometryTest]"),
        std::string::npos)
        << "the constructor must create the program's key";
}

TEST(Profile, WriteGeometryStoresLeftTopWidthHeight)
{
    TemporaryRegistry registry;
    Profile profile("GeometryTest");
    ASSERT_TRUE(profile.writeGeometry(Profile::Rectangle { -8, 10, 792, 610 }));
    EXPECT_NE(registry.readUserFile().find(
                  "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Application\\GeometryTest\\Windows]\n"
                  "\"Geometry\"=\"-8 10 800 600\"\n"),
        std::string::npos)
        << registry.readUserFile();
    int32_t x, y, width, height;
    ASSERT_TRUE(profile.readGeometry(x, y, width, height));
    EXPECT_EQ(x, -8);
    EXPECT_EQ(y, 10);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
}

// A hand-edited value that is only partly numeric must not move the window by garbage: the numbers
// that do not parse keep the marker, which the main window replaces by its defaults.
TEST(Profile, UnparsableGeometryKeepsMarkers)
{
    TemporaryRegistry registry;
    Profile profile("GeometryTest");
    ASSERT_TRUE(profile.setValue("Windows", "Geometry", "5 6 wide"));
    int32_t x, y, width, height;
    EXPECT_TRUE(profile.readGeometry(x, y, width, height));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    EXPECT_EQ(width, INT32_MIN);
    EXPECT_EQ(height, INT32_MIN);
    // Longer than the 128-byte buffer: reads as absent.
    ASSERT_TRUE(profile.setValue("Windows", "Geometry", std::string(200, '1').c_str()));
    EXPECT_FALSE(profile.readGeometry(x, y, width, height));
    EXPECT_EQ(x, INT32_MIN);
}

TEST(Profile, DefaultNameIsTheProgramName)
{
    TemporaryRegistry registry;
    Profile profile;
    EXPECT_STREQ(profile.getKeyPath(), "Software\\Tarnwick\\Application\\test_foundation");
}
