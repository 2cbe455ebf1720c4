#include "RealWriter.h"

#include "office/libreoffice/RunningLibreOffices.h"
#include "shell/OfficeApplicationList.h"
#include "shell/OfficeCheckWindow.h"
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
    std::optional<office::OfficeInstance> window = writer.waitForWindow();
    ASSERT_TRUE(window) << "Writer's window did not appear";
    EXPECT_NE(window->title.find("LibreOffice Writer"), std::string::npos) << window->title;

    OfficeCheckWindow check(Qt::WindowMinimized, office::RunningLibreOffices::list);
    QStringList row;
    bool restored = false;
    QElapsedTimer sinceClosed;
    QTimer::singleShot(0, &check, [&] {
        if (QTest::qWaitFor([&] { return check.list() && check.list()->topLevelItemCount() > 0; }, 15000)) {
            QTreeWidgetItem* item = check.list()->topLevelItem(0);
            row = QStringList { item->text(0), item->text(1), item->text(2) };
            // The window system may apply the restore a moment after the rows arrive, and a busy
            // display may report the first, minimized state late; what counts is that it comes.
            restored = QTest::qWaitFor([&] { return !check.isMinimized(); }, 5000);
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
