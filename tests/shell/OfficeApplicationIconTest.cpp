#include "ShellTestDesktop.h"

#include "shell/OfficeApplicationIcon.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

// Catches the icon taken from the wrong registration: the extension's type and its open command
// come from HKEY_CLASSES_ROOT (here the desktop's), and of the entries that run the same program
// the one for the type gives the icon, so Writer, Calc and Impress rows differ.
TEST(OfficeApplicationIcon, IconIsThatOfTheProgramRegisteredForTheExtension)
{
    shellTestDesktop();
    TemporaryRegistry registry;
    EXPECT_EQ(OfficeApplicationIcon::lookUp(".ppt"), "libreoffice-impress");
    EXPECT_EQ(OfficeApplicationIcon::lookUp(".doc"), "libreoffice-writer");
    EXPECT_EQ(OfficeApplicationIcon::lookUp(".xls"), "libreoffice-calc");
}

// A program that no desktop entry describes is named by its own name, as themes name program
// icons; the first word of the command is taken as the tokenizer reads it, quotes and all.
TEST(OfficeApplicationIcon, ProgramWithoutADesktopEntryGoesByItsName)
{
    shellTestDesktop();
    TemporaryRegistry registry;
    registry.writeClassesFile("[HKEY_CLASSES_ROOT\\.ppt]\n@=\"application/x-pressling-slides\"\n\n"
                              "[HKEY_CLASSES_ROOT\\application/x-pressling-slides\\shell\\open\\command]\n"
                              "@=\"\\\"/opt/slide tools/slideview\\\" --show %1\"\n");
    EXPECT_EQ(OfficeApplicationIcon::lookUp(".ppt"), "slideview");
}

// A missing registration only costs the row its icon: no type, a type without an open command,
// and an application with no document extension.
TEST(OfficeApplicationIcon, MissingRegistrationGivesNoIcon)
{
    shellTestDesktop();
    TemporaryRegistry registry;
    registry.writeClassesFile("[HKEY_CLASSES_ROOT\\.doc]\n@=\"application/x-pressling-unopened\"\n");
    EXPECT_EQ(OfficeApplicationIcon::lookUp(".doc"), "");
    EXPECT_EQ(OfficeApplicationIcon::lookUp(""), "");
    EXPECT_TRUE(OfficeApplicationIcon::load("").isNull());
}

// An icon named by its file is read from that file.
TEST(OfficeApplicationIcon, IconFileIsLoaded)
{
    TemporaryFolder folder;
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::darkBlue);
    ASSERT_TRUE(image.save(QString::fromStdString(folder.file("writer.png"))));
    QIcon icon = OfficeApplicationIcon::load(folder.file("writer.png"));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::darkBlue));
}

// An icon named by the desktop entry comes from the icon theme.
TEST(OfficeApplicationIcon, ThemeIconIsLoaded)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/share/icons/hicolor/48x48/apps/libreoffice-writer.png")))
        GTEST_SKIP() << "the office suite's icons are not installed";
    shellTestDesktop();
    EXPECT_FALSE(OfficeApplicationIcon::load("libreoffice-writer").isNull());
}
