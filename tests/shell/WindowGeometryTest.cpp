#include "shell/WindowGeometry.h"
#include "foundation/Profile.h"
#include "tests/support/TemporaryRegistry.h"
#include "ui/DialogPlacement.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TraceSink collectingInto(std::string& lines)
{
    return TraceSink([&lines](std::string_view line) { lines += line; });
}

WindowGeometry::Saved restoredFrom(const char* stored)
{
    Profile profile("geometry-test");
    if (stored)
        profile.setValue("Windows", "Geometry", stored);
    return WindowGeometry::restore(profile);
}

}

// Catches a first run that opens the window nowhere, or a stored value that puts it off the
// screen's top left or shrinks it to nothing.
TEST(WindowGeometry, RestoreCorrectsMissingNegativeAndEmptyValues)
{
    TemporaryRegistry registry;
    WindowGeometry::Saved first = restoredFrom(nullptr);
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 0);
    EXPECT_EQ(first.width, 600);
    EXPECT_EQ(first.height, 300);

    WindowGeometry::Saved negative = restoredFrom("-8 -8 1296 1040");
    EXPECT_EQ(negative.x, 0);
    EXPECT_EQ(negative.y, 0);
    EXPECT_EQ(negative.width, 1296);
    EXPECT_EQ(negative.height, 1040);

    WindowGeometry::Saved empty = restoredFrom("40 50 0 -3");
    EXPECT_EQ(empty.x, 40);
    EXPECT_EQ(empty.y, 50);
    EXPECT_EQ(empty.width, 600);
    EXPECT_EQ(empty.height, 300);

    WindowGeometry::Saved garbage = restoredFrom("left top wide high");
    EXPECT_EQ(garbage.width, 600);
    EXPECT_EQ(garbage.height, 300);
}

// Catches the bounds of what may be stored moving by one pixel, and a maximized window that
// fits the screen exactly being stored as if the user had sized it so.
TEST(WindowGeometry, OnlyUsableSizesOfANormalWindowMayBeSaved)
{
    const QSize screen(1280, 1024);
    EXPECT_FALSE(WindowGeometry::mayBeSaved(QRect(0, 0, 100, 300), screen, false));
    EXPECT_TRUE(WindowGeometry::mayBeSaved(QRect(0, 0, 101, 101), screen, false));
    EXPECT_FALSE(WindowGeometry::mayBeSaved(QRect(0, 0, 600, 100), screen, false));
    EXPECT_TRUE(WindowGeometry::mayBeSaved(QRect(0, 0, 1280, 1024), screen, false));
    EXPECT_FALSE(WindowGeometry::mayBeSaved(QRect(-8, -8, 1296, 1040), screen, false));
    EXPECT_FALSE(WindowGeometry::mayBeSaved(QRect(0, 0, 1280, 1025), screen, false));
    EXPECT_FALSE(WindowGeometry::mayBeSaved(QRect(0, 0, 1280, 1024), screen, true));
}

// Catches a save that stores width and height where the edges belong (or the other way round),
// that overwrites the stored value with one it refused, or that leaves out its trace lines.
TEST(WindowGeometry, SaveStoresEdgesAndTracesWhatItDid)
{
    TemporaryRegistry registry;
    Profile profile("geometry-test");
    std::string saved;
    WindowGeometry::save(profile, QRect(30, 40, 700, 500), QSize(1280, 1024), false, collectingInto(saved));
    EXPECT_EQ(saved, "30 40 730 540\nSaved x=30 y=40 w=700 h=500\nRead x=30 y=40 w=700 h=500\n");

    std::string refused;
    WindowGeometry::save(profile, QRect(0, 0, 1280, 1024), QSize(1280, 1024), true, collectingInto(refused));
    EXPECT_EQ(refused, "0 0 1280 1024\nRead x=30 y=40 w=700 h=500\n");
    WindowGeometry::Saved restored = WindowGeometry::restore(profile);
    EXPECT_EQ(restored.x, 30);
    EXPECT_EQ(restored.width, 700);
}

// Catches a dialog centred on the screen instead of its owner, or pushed off the screen by an
// owner near an edge.
TEST(DialogPlacement, CentredOnTheOwnerAndKeptOnTheScreen)
{
    const QRect screen(0, 0, 1280, 1024);
    const QSize dialog(360, 100);
    EXPECT_EQ(centredDialogPosition(dialog, QRect(100, 100, 600, 300), screen), QPoint(220, 200));
    EXPECT_EQ(centredDialogPosition(dialog, QRect(1100, 980, 400, 200), screen), QPoint(920, 924));
    EXPECT_EQ(centredDialogPosition(dialog, QRect(-500, -300, 300, 200), screen), QPoint(0, 0));
    EXPECT_EQ(centredDialogPosition(dialog, std::nullopt, screen), QPoint(0, 0));
    // Larger than the screen: its top left corner stays visible.
    EXPECT_EQ(centredDialogPosition(QSize(1500, 1100), QRect(0, 0, 600, 300), screen), QPoint(0, 0));
}

// Catches the geometry being written or read through the user's locale, whose grouping or
// decimal comma would turn "1280" into "1.280" and lose the value at the next start.
TEST(WindowGeometry, StoredTheSameUnderACommaDecimalLocale)
{
    TemporaryRegistry registry;
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "de_DE.UTF-8 is not installed: run scripts/install-deps.sh";
    Profile profile("geometry-test");
    std::string trace;
    WindowGeometry::save(
        profile, QRect(1200, 20, 1280, 1000), QSize(2560, 1440), false, collectingInto(trace));
    WindowGeometry::Saved restored = WindowGeometry::restore(profile);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(trace, "1200 20 2480 1020\nSaved x=1200 y=20 w=1280 h=1000\nRead x=1200 y=20 w=1280 h=1000\n");
    EXPECT_EQ(restored.x, 1200);
    EXPECT_EQ(restored.width, 1280);
    EXPECT_EQ(restored.height, 1000);
}
