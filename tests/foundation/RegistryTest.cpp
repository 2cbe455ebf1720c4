#include "foundation/ClassesRootRegistry.h"
#include "foundation/CurrentUserRegistry.h"
#include "foundation/LocalMachineRegistry.h"
#include "foundation/String.h"

#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const key = "SOFTWARE\\Tarnwick\\Test";

std::string userFileWith(const std::string& values)
{
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Test]\n" + values;
}

}

// Settings are trimmed, and a value of only blanks counts as absent: the caller's default must
// survive untouched.
TEST(Registry, GetStringTrimsAndTreatsBlankAsAbsent)
{
    TemporaryRegistry registry;
    registry.writeUserFile(
        userFileWith("\"Blank\"=\" \t  \"\n\"Path\"=\"  /home/a b/docs  \"\n\"Empty\"=\"\"\n"));
    CurrentUserRegistry user;
    String out("kept");
    EXPECT_FALSE(user.getString(key, "Blank", out));
    EXPECT_STREQ(out.getText(), "kept");
    EXPECT_FALSE(user.getString(key, "Empty", out));
    EXPECT_FALSE(user.getString(key, "Missing", out));
    EXPECT_FALSE(user.getString("SOFTWARE\\Nowhere", "Path", out));
    EXPECT_STREQ(out.getText(), "kept");
    ASSERT_TRUE(user.getString(key, "Path", out));
    EXPECT_STREQ(out.getText(), "/home/a b/docs");
}

// A value of 1023 characters plus its terminator is the most the 1024-byte buffer holds; one more
// character must read as absent rather than as a cut-off text.
TEST(Registry, GetStringRefusesValuesLargerThanItsBuffer)
{
    TemporaryRegistry registry;
    CurrentUserRegistry user;
    std::string fits(1023, 'a');
    std::string tooLong(1024, 'b');
    ASSERT_TRUE(user.setString(key, "Fits", fits.c_str()));
    ASSERT_TRUE(user.setString(key, "TooLong", tooLong.c_str()));
    String out("kept");
    EXPECT_FALSE(user.getString(key, "TooLong", out));
    EXPECT_STREQ(out.getText(), "kept");
    ASSERT_TRUE(user.getString(key, "Fits", out));
    EXPECT_EQ(out.getLength(), 1023);
}

TEST(Registry, GetStringAsIntegerTakesTheLeadingNumber)
{
    TemporaryRegistry registry;
    registry.writeUserFile(userFileWith("\"Mixed\"=\"12abc\"\n\"Letters\"=\"abc\"\n\"Negative\"=\" -7 \"\n"
                                        "\"Huge\"=\"99999999999999\"\n\"Blank\"=\"  \"\n"));
    CurrentUserRegistry user;
    int32_t number = -1;
    EXPECT_TRUE(user.getStringAsInteger(key, "Mixed", number));
    EXPECT_EQ(number, 12);
    number = -1;
    EXPECT_TRUE(user.getStringAsInteger(key, "Letters", number));
    EXPECT_EQ(number, 0);
    EXPECT_TRUE(user.getStringAsInteger(key, "Negative", number));
    EXPECT_EQ(number, -7);
    // Overflow must not wrap round into a small or negative number.
    EXPECT_TRUE(user.getStringAsInteger(key, "Huge", number));
    EXPECT_EQ(number, INT32_MAX);
    number = 42;
    EXPECT_FALSE(user.getStringAsInteger(key, "Blank", number));
    EXPECT_FALSE(user.getStringAsInteger(key, "Missing", number));
    EXPECT_EQ(number, 42);
}

// getInteger copies the stored bytes whatever the type; a value longer than four bytes does not
// fit and leaves the caller's default alone.
TEST(Registry, GetIntegerReadsAtMostFourBytes)
{
    TemporaryRegistry registry;
    registry.writeUserFile(userFileWith("\"Dword\"=dword:fffffffe\n\"Short\"=\"2\"\n\"Long\"=\"12345\"\n"
                                        "\"Binary\"=hex:01,02,03,04,05\n"));
    CurrentUserRegistry user;
    int32_t number = 3;
    EXPECT_TRUE(user.getInteger(key, "Dword", number));
    EXPECT_EQ(number, -2);
    number = 3;
    EXPECT_FALSE(user.getInteger(key, "Long", number));
    EXPECT_FALSE(user.getInteger(key, "Binary", number));
    EXPECT_FALSE(user.getInteger(key, "Missing", number));
    EXPECT_EQ(number, 3);
    // "2" and its terminator replace the two low bytes of the default, as a raw query would.
    EXPECT_TRUE(user.getInteger(key, "Short", number));
    EXPECT_EQ(number, 0x32);
}

TEST(Registry, SetStringCreatesTheSubkeyAndSetIntegerWritesADword)
{
    TemporaryRegistry registry;
    CurrentUserRegistry user;
    ASSERT_TRUE(user.setString("SOFTWARE\\New\\Deep", "Name", "value"));
    ASSERT_TRUE(user.setInteger("SOFTWARE\\New\\Deep", "Count", 7));
    EXPECT_NE(registry.readUserFile().find("[HKEY_CURRENT_USER\\SOFTWARE\\New\\Deep]\n\"Name\"=\"value\"\n"
                                           "\"Count\"=dword:00000007\n"),
        std::string::npos)
        << registry.readUserFile();
    int32_t count = 0;
    EXPECT_TRUE(user.getInteger("software\\new\\deep", "COUNT", count));
    EXPECT_EQ(count, 7);
    EXPECT_FALSE(user.setString("SOFTWARE\\New", "Null", nullptr));
}

TEST(Registry, EmptyValueNameIsTheDefaultValue)
{
    TemporaryRegistry registry;
    ClassesRootRegistry classes;
    std::string file
        = "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.doc]\n@=\"Word.Document.8\"\n\n"
          "[HKEY_CLASSES_ROOT\\Word.Document.8\\shell\\open\\command]\n@=\"lowriter \\\"%1\\\"\"\n";
    std::FILE* out = std::fopen(registry.classesFile().c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs(file.c_str(), out);
    std::fclose(out);
    String type;
    ASSERT_TRUE(classes.getString(".doc", "", type));
    EXPECT_STREQ(type.getText(), "Word.Document.8");
    String command;
    ASSERT_TRUE(classes.getString("Word.Document.8\\shell\\open\\command", nullptr, command));
    EXPECT_STREQ(command.getText(), "lowriter \"%1\"");
}

// Each root has its own file: a value written under one root must not appear under another.
TEST(Registry, RootsAreSeparate)
{
    TemporaryRegistry registry;
    ASSERT_TRUE(CurrentUserRegistry().setString(key, "Where", "user"));
    ASSERT_TRUE(LocalMachineRegistry().setString(key, "Where", "machine"));
    String where;
    ASSERT_TRUE(LocalMachineRegistry().getString(key, "Where", where));
    EXPECT_STREQ(where.getText(), "machine");
    ASSERT_TRUE(CurrentUserRegistry().getString(key, "Where", where));
    EXPECT_STREQ(where.getText(), "user");
    EXPECT_FALSE(ClassesRootRegistry().getString(key, "Where", where));
}

// getStringBuffer must never write past the caller's buffer, and gives the text untrimmed.
TEST(Registry, GetStringBufferKeepsToTheCallersSize)
{
    TemporaryRegistry registry;
    LocalMachineRegistry machine;
    ASSERT_TRUE(machine.setString(key, "Path", " /opt/office "));
    char buffer[16];
    std::memset(buffer, 'x', sizeof(buffer));
    ASSERT_TRUE(machine.getStringBuffer(key, "Path", buffer, 14));
    EXPECT_STREQ(buffer, " /opt/office ");
    EXPECT_FALSE(machine.getStringBuffer(key, "Path", buffer, 13))
        << "13 bytes leave no room for the terminator";
    EXPECT_EQ(buffer[14], 'x');
    EXPECT_FALSE(machine.getStringBuffer(key, "Path", buffer, 0));
    EXPECT_FALSE(machine.getStringBuffer(key, "Missing", buffer, sizeof(buffer)));
}

TEST(Registry, EnsureKeyCreatesOnlyWhatIsMissing)
{
    TemporaryRegistry registry;
    CurrentUserRegistry user;
    ASSERT_TRUE(user.setString(key, "Keep", "me"));
    EXPECT_TRUE(user.ensureKey(key));
    EXPECT_TRUE(user.ensureKey("SOFTWARE\\Tarnwick\\Other"));
    String kept;
    ASSERT_TRUE(user.getString(key, "Keep", kept));
    EXPECT_NE(
        registry.readUserFile().find("[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Other]"), std::string::npos);
    EXPECT_FALSE(user.ensureKey("SOFTWARE\\\\Bad"));
}

// A broken user file must not make any operation throw or crash.
TEST(Registry, BrokenFileGivesDefaults)
{
    TemporaryRegistry registry;
    registry.writeUserFile("REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Test]\n\"A\"=\"x");
    CurrentUserRegistry user;
    String out("kept");
    int32_t number = 9;
    EXPECT_FALSE(user.getString(key, "A", out));
    EXPECT_FALSE(user.getInteger(key, "A", number));
    EXPECT_EQ(number, 9);
    EXPECT_STREQ(out.getText(), "kept");
}
