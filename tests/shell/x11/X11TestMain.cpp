#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

// The shell meets other programs' windows on a real X display here, so the application runs on
// xcb whatever platform the caller's environment names; the programs it starts inherit the
// choice.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("test_shell_x11 needs an X display (run it under xvfb-run)\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
