#include "platform/ChildProcess.h"
#include "platform/LibreOfficeInstallation.h"
#include "platform/RunningOffices.h"
#include "shell/OfficeApplicationList.h"
#include "shell/OfficeCheckWindow.h"
#include "shell/OfficeWindowClass.h"
#include "shell/StartupCancel.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <pwd.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A real LibreOffice Writer on the display, with a profile of its own, started in a session of its
// own so that killing it takes every process it started along.
class RealWriter {
public:
    RealWriter()
    {
        platform::ChildProcess::Options options;
        options.newSession = true;
        options.standardOutput.mode = platform::ChildProcess::Output::Discard;
        options.standardError.mode = platform::ChildProcess::Output::Discard;
        m_started
            = m_process.start({ platform::LibreOfficeInstallation::launcherPath(), "--norestore", "--nologo",
                                  "--writer", "-env:UserInstallation=file://" + m_profile.path() },
                options);
    }
    ~RealWriter() { m_process.kill(); }

    bool started() const { return m_started; }
    void close() { m_process.kill(); }

    // Waits, as long as a first start with a fresh profile may take, until Writer's main window is
    // on the display, and returns it as the platform lists it.
    std::optional<platform::OfficeInstance> waitForWindow()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 120000) {
            if (auto offices = platform::RunningOffices::list(OfficeWindowClass::all())) {
                for (const platform::OfficeInstance& office : *offices) {
                    if (getpgid(office.pid) == m_process.pid())
                        return office;
                }
            }
            QTest::qWait(250);
        }
        return std::nullopt;
    }

private:
    TemporaryFolder m_profile;
    platform::ChildProcess m_process;
    bool m_started = false;
};

std::string accountName()
{
    const passwd* entry = getpwuid(geteuid());
    return entry ? entry->pw_name : "";
}

std::string hostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

}

// With one Writer window open the check window comes up with one row holding the window's title,
// this account and this host; once Writer is closed the check ends by itself within about two
// seconds.
TEST(OfficeCheckOnDisplay, WriterWindowIsListedUntilWriterIsClosed)
{
    ScopedEnvironment session("XDG_SESSION_TYPE", "x11");
    TemporaryRegistry registry;
    StartupCancel::clear();
    RealWriter writer;
    ASSERT_TRUE(writer.started());
    std::optional<platform::OfficeInstance> window = writer.waitForWindow();
    ASSERT_TRUE(window) << "Writer's window did not appear";
    EXPECT_NE(window->title.find("LibreOffice Writer"), std::string::npos) << window->title;

    OfficeCheckWindow check(Qt::WindowMinimized);
    QStringList row;
    bool restored = false;
    QElapsedTimer sinceClosed;
    QTimer::singleShot(0, &check, [&] {
        if (QTest::qWaitFor([&] { return check.list() && check.list()->topLevelItemCount() > 0; }, 15000)) {
            QTreeWidgetItem* item = check.list()->topLevelItem(0);
            row = QStringList { item->text(0), item->text(1), item->text(2) };
            restored = !check.isMinimized();
        }
        writer.close();
        sinceClosed.start();
    });
    EXPECT_EQ(check.runCheck(), 0);
    qint64 closing = sinceClosed.elapsed();
    EXPECT_EQ(row,
        (QStringList { QString::fromStdString(window->title), QString::fromStdString(accountName()),
            QString::fromStdString(hostName()) }));
    EXPECT_TRUE(restored);
    EXPECT_LT(closing, 6000);
    EXPECT_FALSE(StartupCancel::isSet());
}
