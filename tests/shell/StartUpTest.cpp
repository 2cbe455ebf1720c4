#include "shell/StartUp.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

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
    int code = WinMain("pressling --from-test", [&ran]() -> int {
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
