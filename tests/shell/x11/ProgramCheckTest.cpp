#include "DesktopProgram.h"
#include "RealWriter.h"
#include "WindowClose.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString checkWindowTitle = QStringLiteral("^Office Applications - Vaultrix$");
const QString mainWindowTitle = QStringLiteral("Pressling$");

bool logHas(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Presses a key in a window as the user would, with the keyboard focus given to it first (a
// display without a window manager gives it to nobody).
bool pressKeyIn(unsigned long window, const QString& key)
{
    QProcess focus;
    focus.start("xdotool", { "windowfocus", "--sync", QString::number(window) });
    if (!focus.waitForFinished(10000) || focus.exitCode() != 0)
        return false;
    QProcess press;
    press.start("xdotool", { "key", "--clearmodifiers", key });
    return press.waitForFinished(10000) && press.exitCode() == 0;
}

// The program started while the user has a real Writer window open: it shows the check window.
class ProgramCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(writer.started());
        ASSERT_TRUE(writer.waitForWindow()) << "Writer's window did not appear";
        ASSERT_TRUE(program.start());
        check = waitForWindowTitled(checkWindowTitle, 30000);
        ASSERT_NE(check, 0u);
    }

    RealWriter writer;
    DesktopProgram program;
    unsigned long check = 0;
};

}

// Catches a start that opens the main window while the user has Writer open, and one that keeps
// waiting after Writer was closed.
TEST_F(ProgramCheck, StartWaitsForAnOpenWriterAndGoesOnOnceItIsClosed)
{
    QTest::qWait(2500);
    EXPECT_TRUE(windowsTitled(mainWindowTitle).empty());
    EXPECT_TRUE(program.isRunning());

    writer.close();
    // The check looks again every two seconds; the wait is long only for a busy machine.
    unsigned long window = waitForWindowTitled(mainWindowTitle, 60000);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(windowsTitled(checkWindowTitle).empty());
    ASSERT_TRUE(askWindowToClose(window));
    EXPECT_EQ(program.waitForExit(20000), 0);
}

// Catches a cancelled start that still opens the main window or ends with 0, and a close of the
// check window that cancels without asking.
TEST_F(ProgramCheck, ClosingTheCheckWindowAndConfirmingEndsTheProgramWithOne)
{
    ASSERT_TRUE(askWindowToClose(check));
    unsigned long question = waitForWindowTitled(QStringLiteral("^Startup Vaultrix$"), 10000);
    ASSERT_NE(question, 0u);
    EXPECT_TRUE(program.isRunning());
    ASSERT_TRUE(pressKeyIn(question, "Return"));
    EXPECT_EQ(program.waitForExit(20000), 1);
    EXPECT_TRUE(windowsTitled(mainWindowTitle).empty());
    std::vector<std::string> lines = program.logLines();
    EXPECT_FALSE(logHas(lines, "Sheetcast_Run,1,Start"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("Vaultrix#WinMain,1,Start", 0), 0u);
}
