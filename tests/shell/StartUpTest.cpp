#include "shell/StartUp.h"
#include "foundation/String.h"
#include "foundation/VaultrixRegistry.h"
#include "office/libreoffice/RunningLibreOffices.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

// No display to look at and no desktop session: the start-up check finds nothing to wait for.
struct NoDesktopSession {
    ScopedEnvironment display { "DISPLAY", ":65000" };
    ScopedEnvironment wayland { "WAYLAND_DISPLAY", "" };
    ScopedEnvironment session { "XDG_SESSION_TYPE", "tty" };
};

}

// Catches an exception from the main window's life ending the program with a failure (or
// taking the log's last line with it), and a run whose start and end lines are missing.
TEST(StartUp, ExceptionFromTheMainWindowIsLoggedAndTheProgramEndsWithZero)
{
    NoDesktopSession desktop;
    LogCapture log;
    int ran = 0;
    int code = WinMain("pressling --from-test", office::RunningLibreOffices::list, [&ran]() -> int {
        ++ran;
        throw std::runtime_error("the window broke");
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ran, 1);
    const std::string text = log.text();
    const size_t start = text.find("Vaultrix#WinMain,1,Start pressling --from-test");
    const size_t exception = text.find("Vaultrix#WinMain,2,Exception");
    const size_t end = text.find("Vaultrix#WinMain,3,End");
    ASSERT_NE(start, std::string::npos) << text;
    ASSERT_NE(exception, std::string::npos) << text;
    ASSERT_NE(end, std::string::npos) << text;
    EXPECT_LT(start, exception);
    EXPECT_LT(exception, end);
}

// Catches a folder asked for on the command line losing to the one of the previous run, or
// missing from the log's line of the first folder, or overwriting the stored folder before the
// window has shown it; and a start without one that no longer opens at the stored folder.
TEST(StartUp, FolderAskedForComesBeforeTheStoredOne)
{
    TemporaryRegistry registry;
    TemporaryFolder place;
    const std::string stored = place.file("stored/");
    const std::string asked = place.file("asked/");
    std::filesystem::create_directories(stored);
    std::filesystem::create_directories(asked);
    VaultrixRegistry().setInitialFolder(stored.c_str());
    LogCapture log;

    EXPECT_EQ(firstFolder(asked), QByteArray::fromStdString(asked));
    EXPECT_TRUE(log.contains("Sheetcast_Run,2,InitialFolder " + asked + "\n")) << log.text();
    EXPECT_FALSE(log.contains("Sheetcast_Run,2,InitialFolder " + stored + "\n")) << log.text();
    String kept;
    ASSERT_TRUE(VaultrixRegistry().getInitialFolder(kept));
    EXPECT_STREQ(kept.getText(), stored.c_str());

    EXPECT_EQ(firstFolder(std::nullopt), QByteArray::fromStdString(stored));
    EXPECT_TRUE(log.contains("Sheetcast_Run,2,InitialFolder " + stored + "\n")) << log.text();
}
