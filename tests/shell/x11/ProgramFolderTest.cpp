#include "DesktopProgram.h"
#include "RealWriter.h"
#include "WindowClose.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const QString mainWindowTitle = QStringLiteral("Pressling$");
const QString checkWindowTitle = QStringLiteral("^Office Applications - Vaultrix$");

bool logHas(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string storedFolderLine(const std::string& folder)
{
    return "\"InitialFolder\"=\"" + folder + "\"";
}

// A program whose previous run closed at Projects/2026 in a place and size of its own, with a
// folder Letters beside it to ask for.
class ProgramWithHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(program.home().file("Projects/2026"));
        fs::create_directories(program.home().file("Letters"));
        program.addSettings("SOFTWARE\\Tarnwick\\Application\\Pressling\\Config",
            "\"InitialFolder\"=\"" + program.home().file("Projects/2026/") + "\"\n");
        program.addSettings(
            "Software\\Tarnwick\\Application\\pressling\\Windows", "\"Geometry\"=\"50 60 700 400\"\n");
    }

    // Starts the program, waits for its window and checks that it shows letters in the place
    // of the previous run, then closes it.
    void expectWindowAtLetters(const QStringList& arguments)
    {
        const std::string letters = program.home().file("Letters/");
        ASSERT_TRUE(program.start(arguments));
        unsigned long window = waitForWindowTitled(mainWindowTitle, 30000);
        ASSERT_NE(window, 0u) << program.standardError().constData();
        EXPECT_EQ(windowTitle(window).toStdString(), letters + " - Pressling");
        EXPECT_EQ(windowGeometry(window), QRect(50, 60, 700, 400));
        ASSERT_TRUE(askWindowToClose(window));
        EXPECT_EQ(program.waitForExit(20000), 0);
        EXPECT_TRUE(logHas(program.logLines(), "Sheetcast_Run,2,InitialFolder " + letters));
        EXPECT_NE(program.settings().find(storedFolderLine(letters)), std::string::npos)
            << program.settings();
    }

    DesktopProgram program;
};

}

// Catches a folder named on the command line (here relative to the program's current folder,
// its home) that is ignored for the one of the previous run, or that changes where the window
// opens; and a close that does not keep the folder it showed.
TEST_F(ProgramWithHistory, OpensAtTheFolderGivenOnTheCommandLine)
{
    expectWindowAtLetters({ "Letters" });
}

// Catches Qt's own options counted as the program's words: the folder after them would then be
// a second word and the start a usage error.
TEST_F(ProgramWithHistory, QtOptionsBeforeTheFolderAreQtsOwn)
{
    expectWindowAtLetters({ "-platform", "xcb", QString::fromStdString(program.home().file("Letters")) });
}

// Catches a mistaken command line that opens the window anyway, at some other folder, ends with
// another code than 2, says nothing on standard error, or starts the program's run (its log,
// its settings).
TEST_F(ProgramWithHistory, MistakesEndWithTwoBeforeAnyWindow)
{
    const std::vector<QStringList> mistakes = {
        { QString::fromStdString(program.home().file("Missing")) },
        { "Letters", "Projects" },
        { "--verbose" },
        { "-platform", "xcb", "--verbose" },
    };
    for (const QStringList& arguments : mistakes) {
        ASSERT_TRUE(program.start(arguments));
        EXPECT_EQ(program.waitForExit(20000), 2) << arguments.join(' ').toStdString();
        // Qt may have said something of its own before.
        const QList<QByteArray> lines = program.standardError().split('\n');
        ASSERT_GE(lines.size(), 3) << program.standardError().constData();
        EXPECT_TRUE(lines[lines.size() - 3].startsWith("pressling: ")) << program.standardError().constData();
        EXPECT_EQ(lines[lines.size() - 2], "Usage: pressling [FOLDER]");
        EXPECT_EQ(lines.back(), "");
        EXPECT_EQ(program.standardOutput(), "");
    }
    EXPECT_TRUE(windowsTitled(mainWindowTitle).empty());
    EXPECT_TRUE(program.logLines().empty());
    EXPECT_NE(
        program.settings().find(storedFolderLine(program.home().file("Projects/2026/"))), std::string::npos);
}

// Catches a mistaken command line looked at only after the start-up check: with Writer open the
// check window would come first and wait for it.
TEST(ProgramFolder, MistakeIsAnsweredBeforeTheOfficeCheck)
{
    RealWriter writer;
    ASSERT_TRUE(writer.started());
    ASSERT_TRUE(writer.waitForWindow()) << "Writer's window did not appear";
    DesktopProgram program;
    ASSERT_TRUE(program.start({ QString::fromStdString(program.home().file("Missing")) }));
    EXPECT_EQ(program.waitForExit(20000), 2);
    EXPECT_TRUE(windowsTitled(checkWindowTitle).empty());
    EXPECT_TRUE(program.standardError().endsWith("\nUsage: pressling [FOLDER]\n"));
}
