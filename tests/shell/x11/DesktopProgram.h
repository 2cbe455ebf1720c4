#pragma once

#include "tests/support/TemporaryFolder.h"

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

// The desktop program started as a user starts it, on the test's display, with a home, a
// desktop configuration and settings of its own, logging at level 2. Its folder outlives one run,
// so that a second start sees what the first left.
class DesktopProgram {
public:
    DesktopProgram();
    ~DesktopProgram();

    const TemporaryFolder& home() const { return m_home; }
    std::string registryFile() const { return m_home.file(".registry/user.reg"); }
    // What the settings file holds now.
    std::string settings() const;
    // Adds lines of values to the settings file below a key (REGEDIT4 key path without the root).
    void addSettings(const std::string& key, const std::string& values);

    // Starts it with the words of its command line after its name.
    bool start(const QStringList& arguments = {});
    // Waits for the program to end; its exit code, or nothing when it did not end in time.
    std::optional<int> waitForExit(int timeoutMs);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    QByteArray standardOutput();
    QByteArray standardError();
    // The lines of its log file, without their time stamps.
    std::vector<std::string> logLines() const;

private:
    TemporaryFolder m_home;
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
    std::string m_settings;
};

// The top-level windows of the display whose title matches pattern, newest last.
std::vector<unsigned long> windowsTitled(const QString& pattern);
// Waits until exactly one window has that title; 0 when none came in time.
unsigned long waitForWindowTitled(const QString& pattern, int timeoutMs);
QRect windowGeometry(unsigned long window);
QString windowTitle(unsigned long window);
