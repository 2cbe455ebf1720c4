#include "foundation/ClassesRootRegistry.h"
#include "foundation/String.h"

#include "tests/support/TemporaryRegistry.h"
#include "tests/support/TestDesktop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

const char* const registeredType = "application/x-pressling-registry";
const char* const registeredCommand = "application/x-pressling-registry\\shell\\open\\command";

const TestDesktop& desktop()
{
    return TestDesktop::install({
        { { registeredType, "*.prsreg" }, { "application/x-pressling-unopened", "*.prsunopened" } },
        { { "pressling-registry", "/bin/cat --show-ends %U", registeredType } },
    });
}

}

// With nothing in classes.reg, an extension's default value is the desktop's MIME type for it.
TEST(ClassesRootRegistry, ExtensionKeyReadsTheDesktopsType)
{
    desktop();
    TemporaryRegistry registry;
    ClassesRootRegistry classes;
    String type;
    ASSERT_TRUE(classes.getString(".doc", "", type));
    EXPECT_STREQ(type.getText(), "application/msword");
    ASSERT_TRUE(classes.getString(".prsreg", nullptr, type));
    EXPECT_STREQ(type.getText(), registeredType);
}

TEST(ClassesRootRegistry, OpenCommandKeyReadsTheDefaultApplication)
{
    desktop();
    TemporaryRegistry registry;
    ClassesRootRegistry classes;
    String command;
    ASSERT_TRUE(classes.getString(registeredCommand, "", command));
    EXPECT_STREQ(command.getText(), "/bin/cat --show-ends %U");
    // Key names compare without regard to case, as in the registry.
    String again;
    ASSERT_TRUE(classes.getString("application/x-pressling-registry\\Shell\\OPEN\\Command", "", again));
    EXPECT_STREQ(again.getText(), "/bin/cat --show-ends %U");
}

// Only the two default values are the desktop's; everything else it does not know stays absent
// and leaves the caller's default alone.
TEST(ClassesRootRegistry, WhatTheDesktopDoesNotKnowIsAbsent)
{
    desktop();
    TemporaryRegistry registry;
    ClassesRootRegistry classes;
    String out("kept");
    EXPECT_FALSE(classes.getString(".pressling-unknown-extension", "", out));
    EXPECT_FALSE(classes.getString(".doc", "Content Type", out));
    EXPECT_FALSE(classes.getString("application/x-pressling-unopened\\shell\\open\\command", "", out));
    EXPECT_FALSE(classes.getString("application/x-pressling-registry\\shell\\open", "", out));
    EXPECT_FALSE(classes.getString("\\shell\\open\\command", "", out));
    EXPECT_FALSE(classes.getString(registeredCommand, "Other", out));
    EXPECT_FALSE(classes.getString("a\\.doc", "", out));
    EXPECT_STREQ(out.getText(), "kept");
}

// The user's own classes file overrides the desktop, for the type and for the command.
TEST(ClassesRootRegistry, ClassesFileWinsOverTheDesktop)
{
    desktop();
    TemporaryRegistry registry;
    registry.writeClassesFile(
        "[HKEY_CLASSES_ROOT\\.doc]\n@=\"Word.Document.8\"\n\n"
        "[HKEY_CLASSES_ROOT\\application/x-pressling-registry\\shell\\open\\command]\n@=\"mine "
        "\\\"%1\\\"\"\n");
    ClassesRootRegistry classes;
    String type;
    ASSERT_TRUE(classes.getString(".doc", "", type));
    EXPECT_STREQ(type.getText(), "Word.Document.8");
    String command;
    ASSERT_TRUE(classes.getString(registeredCommand, "", command));
    EXPECT_STREQ(command.getText(), "mine \"%1\"");
    // What the file does not hold still comes from the desktop.
    ASSERT_TRUE(classes.getString(".prsreg", "", type));
    EXPECT_STREQ(type.getText(), registeredType);
}

// The desktop's answers are read, never copied into the classes file; writes go there alone.
TEST(ClassesRootRegistry, DesktopViewIsReadOnly)
{
    desktop();
    TemporaryRegistry registry;
    ClassesRootRegistry classes;
    String type;
    ASSERT_TRUE(classes.getString(".prsreg", "", type));
    EXPECT_FALSE(std::filesystem::exists(registry.classesFile()));
    ASSERT_TRUE(classes.setString(".prsreg", "", "Own.Type"));
    ASSERT_TRUE(classes.getString(".prsreg", "", type));
    EXPECT_STREQ(type.getText(), "Own.Type");
}
