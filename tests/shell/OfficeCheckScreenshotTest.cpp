#include "ScriptedListing.h"

#include "platform/ChildProcess.h"
#include "shell/OfficeApplicationList.h"
#include "shell/OfficeCheckWindow.h"
#include "tests/filelist/Screenshot.h"
#include "tests/support/TemporaryRegistry.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

QString screenshotName(qreal scale)
{
    return scale > 1.5 ? QStringLiteral("office-check@2x.png") : QStringLiteral("office-check.png");
}

}

// The window as a user sees it with one Writer window open, saved for a person to look at and
// checked for a drawn row and request.
TEST(OfficeCheckScreenshot, OneRow)
{
    TemporaryRegistry registry;
    ScriptedListing script({ std::vector {
        officeWindow("Quarterly report.doc - LibreOffice Writer", "alice", "desk7.example.org") } });
    OfficeCheckWindow window(Qt::WindowNoState, script.listing());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.monitor().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.list()->topLevelItemCount() == 1; }, 5000));
    QTest::qWait(50);

    QPixmap shot = window.grab();
    qreal scale = shot.devicePixelRatio();
    QImage image = shot.toImage();
    EXPECT_EQ(image.size(), QSize(520, 240) * scale);
    EXPECT_TRUE(image.save(screenshotPath(screenshotName(scale))));
    OfficeApplicationList* list = window.list();
    QRect row
        = list->visualItemRect(list->topLevelItem(0)).translated(list->viewport()->mapTo(&window, QPoint()));
    QRect rowPixels(row.topLeft() * scale, row.size() * scale);
    EXPECT_TRUE(drawnIn(image, rowPixels));
    QRect status = window.statusBar()->geometry();
    EXPECT_TRUE(drawnIn(image, QRect(status.topLeft() * scale, status.size() * scale)));
}

// The same window at twice the scale, in a process of its own since the scale is read once as
// the application starts: nothing may be cut off or blurred into the default size.
TEST(OfficeCheckScreenshot, OneRowAtTwiceTheScale)
{
    QString path = screenshotPath(screenshotName(2));
    QFile::remove(path);
    platform::ChildProcess::Options options;
    options.environment = { { "QT_SCALE_FACTOR", "2" } };
    auto result = platform::ChildProcess::run({ QCoreApplication::applicationFilePath().toStdString(),
                                                  "--gtest_filter=OfficeCheckScreenshot.OneRow" },
        60s, options);
    ASSERT_TRUE(result.succeeded()) << result.standardOutput << result.standardError;
    QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1040, 480));
}
