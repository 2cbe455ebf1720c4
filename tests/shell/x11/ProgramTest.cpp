#include "DesktopProgram.h"
#include "WindowClose.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const QString mainWindowTitle = QStringLiteral("Pressling$");

// Closes the main window with its close box and waits for the program to end.
std::optional<int> closeMainWindow(DesktopProgram& program, unsigned long window)
{
    if (!askWindowToClose(window))
        return std::nullopt;
    return program.waitForExit(20000);
}

}

// Catches a first start that opens the window elsewhere than at the origin at 600 by 300, or
// that leaves out the start and end lines of the log or the save's trace; and a close that does
// not keep the folder for the next start.
TEST(Program, FirstRunOpensAtTheOriginAndLogsItsStartAndEnd)
{
    DesktopProgram program;
    ASSERT_TRUE(program.start());
    unsigned long window = waitForWindowTitled(mainWindowTitle, 30000);
    ASSERT_NE(window, 0u) << program.standardOutput().constData();
    EXPECT_EQ(windowGeometry(window), QRect(0, 0, 600, 300));
    EXPECT_EQ(windowTitle(window), QString::fromStdString(program.home().path()) + "/ - Pressling");
    EXPECT_EQ(closeMainWindow(program, window), 0);
    EXPECT_TRUE(program.standardOutput().contains("Saved x=0 y=0 w=600 h=300\n")) << program.standardOutput().constData();

    std::vector<std::string> lines = program.logLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Vaultrix#WinMain,1,Start " PRESSLING_PROGRAM_PATH);
    EXPECT_EQ(lines[lines.size() - 2], "Sheetcast_Run,4,End");
    EXPECT_EQ(lines[lines.size() - 1], "Vaultrix#WinMain,3,End");
    EXPECT_NE(program.settings().find("\"InitialFolder\"=\"" + program.home().path() + "/\""), std::string::npos)
        << program.settings();
}

// Catches a start that forgets where the window was and which folder it showed.
TEST(Program, NextStartRestoresThePlaceTheSizeAndTheFolder)
{
    DesktopProgram program;
    fs::create_directories(program.home().file("Projects/2026"));
    program.addSettings("SOFTWARE\\Tarnwick\\Application\\Pressling\\Config",
        "\"InitialFolder\"=\"" + program.home().file("Projects/2026/") + "\"\n");
    program.addSettings("Software\\Tarnwick\\Application\\pressling\\Windows", "\"Geometry\"=\"50 60 700 400\"\n");
    ASSERT_TRUE(program.start());
    unsigned long window = waitForWindowTitled(mainWindowTitle, 30000);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(windowGeometry(window), QRect(50, 60, 700, 400));
    EXPECT_EQ(windowTitle(window), QString::fromStdString(program.home().file("Projects/2026/")) + " - Pressling");
    EXPECT_EQ(closeMainWindow(program, window), 0);
    EXPECT_TRUE(program.standardOutput().contains("Saved x=50 y=60 w=700 h=400\n"));
}
