#include "platform/DesktopApplications.h"

#include "tests/platform/PlatformTestDesktop.h"

#include <gtest/gtest.h>

using platform::applicationIcon;
using platform::defaultOpenCommand;
using platform::mimeTypeForExtension;

// The system's shared MIME database must still be found beside the user's own, and its globs
// match without regard to case.
TEST(DesktopApplications, ExtensionsOfTheSystemAndOfTheUserHaveTheirTypes)
{
    platformTestDesktop();
    EXPECT_EQ(mimeTypeForExtension(".doc"), "application/msword");
    EXPECT_EQ(mimeTypeForExtension(".DOC"), "application/msword");
    EXPECT_EQ(mimeTypeForExtension(".pdf"), "application/pdf");
    EXPECT_EQ(mimeTypeForExtension(".prssample"), "application/x-pressling-sample");
}

// An unknown extension must give nothing, not the database's catch-all type, and text that is no
// extension (a "." inside a folder's name leaves a "/" in it) must not be looked up as one.
TEST(DesktopApplications, WhatIsNoKnownExtensionHasNoType)
{
    platformTestDesktop();
    EXPECT_EQ(mimeTypeForExtension(".pressling-unknown-extension"), std::nullopt);
    EXPECT_EQ(mimeTypeForExtension(""), std::nullopt);
    EXPECT_EQ(mimeTypeForExtension("."), std::nullopt);
    EXPECT_EQ(mimeTypeForExtension("doc"), std::nullopt);
    EXPECT_EQ(mimeTypeForExtension(".d/report.doc"), std::nullopt);
    EXPECT_EQ(mimeTypeForExtension(std::string(".doc\0x", 6)), std::nullopt);
}

// The user's mimeapps.list decides between two applications for one type; its Exec line comes
// back as written, field codes and all.
TEST(DesktopApplications, DefaultApplicationIsTheOneTheUserChose)
{
    platformTestDesktop();
    EXPECT_EQ(defaultOpenCommand("application/x-pressling-sample"), "/bin/cat --number %F");
}

TEST(DesktopApplications, TypeWithoutApplicationHasNoCommand)
{
    platformTestDesktop();
    EXPECT_EQ(defaultOpenCommand("application/x-pressling-orphan"), std::nullopt);
    EXPECT_EQ(defaultOpenCommand("application/x-pressling-never-registered"), std::nullopt);
    EXPECT_EQ(defaultOpenCommand(""), std::nullopt);
}

// One program registered under several entries (an office suite starts its word processor and its
// spreadsheet alike) gives the icon of the entry for the type asked about, as a theme name or as
// an image file; a program that the type's entry does not run has no icon.
TEST(DesktopApplications, IconIsThatOfTheEntryForTheTypeThatRunsTheProgram)
{
    platformTestDesktop();
    EXPECT_EQ(applicationIcon("application/x-pressling-words", "/bin/true"), "pressling-words");
    EXPECT_EQ(applicationIcon("application/x-pressling-sheets", "/bin/true"),
        "/usr/share/pixmaps/pressling-sheets.png");
    EXPECT_EQ(applicationIcon("application/x-pressling-words", "/bin/cat"), std::nullopt);
}

// An entry without an Icon line, a type without an entry and empty questions give nothing.
TEST(DesktopApplications, WithoutARegisteredIconThereIsNone)
{
    platformTestDesktop();
    EXPECT_EQ(applicationIcon("application/x-pressling-sample", "/bin/cat"), std::nullopt);
    EXPECT_EQ(applicationIcon("application/x-pressling-orphan", "/bin/cat"), std::nullopt);
    EXPECT_EQ(applicationIcon("", "/bin/true"), std::nullopt);
    EXPECT_EQ(applicationIcon("application/x-pressling-words", ""), std::nullopt);
}
