#include "ScriptedListing.h"

#include "shell/OfficeApplicationList.h"
#include "shell/OfficeCheckWindow.h"
#include "shell/StartupCancel.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/TemporaryRegistry.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include <gtest/gtest.h>

namespace {

// Counts how often the window was brought back from its minimized state, and the messages that
// told it no office application was left.
class WindowWatch : public QObject {
public:
    explicit WindowWatch(QWidget& window) { window.installEventFilter(this); }

    int restores = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange) {
            auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if ((change->oldState() & Qt::WindowMinimized)
                && !(static_cast<QWidget*>(watched)->windowState() & Qt::WindowMinimized))
                ++restores;
        }
        return false;
    }
};

QString statusText(const OfficeCheckWindow& window)
{
    auto* label = window.statusBar()->findChild<QLabel*>();
    return label ? label->text() : QString();
}

class OfficeCheckWindowTest : public ::testing::Test {
protected:
    void SetUp() override { StartupCancel::clear(); }
    void TearDown() override { StartupCancel::clear(); }

    TemporaryRegistry registry;
};

const ScriptedListing::Answer oneWriter = std::vector { officeWindow("Letter - LibreOffice Writer") };

}

// What the user sees: the title, the place, the size, the request and the three columns.
TEST_F(OfficeCheckWindowTest, LooksAsTheStartUpCheckWindow)
{
    ScriptedListing script({ oneWriter });
    OfficeCheckWindow window(Qt::WindowMinimized, script.listing());
    EXPECT_EQ(window.windowTitle(), "Office Applications - Vaultrix");
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window.isWindow());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_EQ(window.pos(), QPoint(10, 10));
    EXPECT_EQ(window.size(), QSize(520, 240));
    EXPECT_EQ(statusText(window), "Please terminate Office Applications to start 'Vaultrix'.");

    OfficeApplicationList* list = window.list();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->rootIsDecorated());
    ASSERT_EQ(list->columnCount(), 3);
    const QStringList titles { "Application Name", "User Name", "Domain Name" };
    const int widths[] = { 240, 120, 120 };
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(list->headerItem()->text(column), titles[column]);
        EXPECT_EQ(list->columnWidth(column), widths[column]);
        EXPECT_EQ(list->headerItem()->textAlignment(column) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }
    EXPECT_EQ(script.calls(), 0) << "the watcher must wait for the check to run";
}

// The list takes the window above the status bar, one pixel apart, and both span the width.
TEST_F(OfficeCheckWindowTest, ListFillsTheWindowAboveTheStatusBar)
{
    ScriptedListing script({ oneWriter });
    OfficeCheckWindow window(Qt::WindowNoState, script.listing());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QRect list = window.list()->geometry();
    QRect status = window.statusBar()->geometry();
    EXPECT_EQ(list.topLeft(), QPoint(0, 0));
    EXPECT_EQ(list.width(), window.width());
    EXPECT_EQ(status.width(), window.width());
    EXPECT_EQ(status.bottom(), window.height() - 1);
    EXPECT_EQ(list.bottom() + 2, status.top());
    EXPECT_GT(list.height(), status.height());
}

// A screen reader finds the list by its name and reads each row's texts.
TEST_F(OfficeCheckWindowTest, RowsCanBeReadByAssistiveTechnology)
{
    ScriptedListing script({ std::vector { officeWindow("Letter - LibreOffice Writer", "alice", "desk7") } });
    OfficeCheckWindow window(Qt::WindowNoState, script.listing());
    window.monitor().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.list()->topLevelItemCount() == 1; }, 5000));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window.list());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), "Office applications");
    QAccessibleTableInterface* table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 1);
    QStringList texts;
    for (int column = 0; column < 3; ++column)
        texts << table->cellAt(0, column)->text(QAccessible::Name);
    EXPECT_EQ(texts, (QStringList { "Letter - LibreOffice Writer", "alice", "desk7" }));
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(window.statusBar());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(QAccessible::Name), "Start-up request");
}

// With no office application open the check ends after one look, through the watcher's word,
// without the window ever coming up from its minimized state and without a question.
TEST_F(OfficeCheckWindowTest, NoOfficeOpenEndsTheCheckAtOnceWithoutRestoringTheWindow)
{
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    ScriptedListing script({ noOffices });
    OfficeCheckWindow window(Qt::WindowMinimized, script.listing());
    WindowWatch watch(window);
    int goneSignals = 0;
    QObject::connect(&window, &OfficeCheckWindow::gone, [&goneSignals] { ++goneSignals; });
    EXPECT_EQ(window.runCheck(), 0);
    EXPECT_EQ(goneSignals, 1);
    EXPECT_EQ(watch.restores, 0);
    EXPECT_TRUE(window.hasGone());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.list(), nullptr);
    EXPECT_EQ(box.asked, 0);
    EXPECT_FALSE(StartupCancel::isSet());
    EXPECT_EQ(script.calls(), 1);
}

// Where the session offers no way to look for office applications the start must not be
// blocked: the check ends as if none were open.
TEST_F(OfficeCheckWindowTest, NoWayToLookEndsTheCheckAsIfNoneWereOpen)
{
    ScriptedListing script({ std::nullopt });
    OfficeCheckWindow window(Qt::WindowMinimized, script.listing());
    WindowWatch watch(window);
    EXPECT_EQ(window.runCheck(), 0);
    EXPECT_TRUE(window.hasGone());
    EXPECT_EQ(watch.restores, 0);
}

// An open office application brings the window up from its minimized state, and the check goes
// on until the last one has been closed.
TEST_F(OfficeCheckWindowTest, OpenOfficeRestoresTheWindowUntilItIsClosed)
{
    ScriptedListing script({ oneWriter, oneWriter, noOffices });
    OfficeCheckWindow window(Qt::WindowMinimized, script.listing());
    // The platform reports the minimized state it was asked for in an event of its own, queued as
    // the window came up; taken now, it cannot come after the restore and undo it for a moment.
    QApplication::processEvents();
    WindowWatch watch(window);
    bool restoredWithRow = false;
    QTimer::singleShot(0, &window, [&] {
        restoredWithRow = QTest::qWaitFor([&] { return watch.restores > 0; }, 5000) && window.isVisible()
            && !window.isMinimized() && window.list()->topLevelItemCount() == 1;
    });
    EXPECT_EQ(window.runCheck(), 0);
    EXPECT_TRUE(restoredWithRow);
    EXPECT_EQ(watch.restores, 1);
    EXPECT_EQ(script.calls(), 3);
    EXPECT_TRUE(window.hasGone());
    EXPECT_FALSE(StartupCancel::isSet());
}

// Closing the window asks first; Cancel keeps the window and the watching, and the check still
// ends by itself once the office application has been closed.
TEST_F(OfficeCheckWindowTest, CloseAnsweredCancelKeepsWatching)
{
    AnsweringMessageBox box(MessageBox::Answer::Cancel);
    ScriptedListing script({ oneWriter });
    OfficeCheckWindow window(Qt::WindowMinimized, script.listing());
    bool listed = false;
    bool keptOpen = false;
    bool watchedOn = false;
    QTimer::singleShot(0, &window, [&] {
        listed
            = QTest::qWaitFor([&] { return window.list() && window.list()->topLevelItemCount() == 1; }, 5000);
        window.close();
        keptOpen = window.isVisible() && !window.hasGone() && window.list();
        watchedOn = script.waitForCalls(script.calls() + 1);
        script.finishWith(noOffices);
    });
    EXPECT_EQ(window.runCheck(), 0);
    EXPECT_TRUE(listed);
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastTitle, "Startup Vaultrix");
    EXPECT_EQ(box.lastText, "Are you sure you want to cancel to start 'Vaultrix'");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::OkCancel);
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Question);
    EXPECT_EQ(box.lastOwner, &window);
    EXPECT_TRUE(keptOpen);
    EXPECT_TRUE(watchedOn);
    EXPECT_FALSE(StartupCancel::isSet());
}

// Closing the window and answering OK cancels the start: the window goes away, the check ends
// and the watcher stops, though the office application is still open.
TEST_F(OfficeCheckWindowTest, CloseAnsweredOkCancelsTheStart)
{
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    ScriptedListing script({ oneWriter });
    auto window = std::make_unique<OfficeCheckWindow>(Qt::WindowMinimized, script.listing());
    bool listed = false;
    QTimer::singleShot(0, window.get(), [&] {
        listed = QTest::qWaitFor([&] { return window->list()->topLevelItemCount() == 1; }, 5000);
        window->close();
    });
    EXPECT_EQ(window->runCheck(), 0);
    EXPECT_TRUE(listed);
    EXPECT_EQ(box.asked, 1);
    EXPECT_TRUE(StartupCancel::isSet());
    EXPECT_TRUE(window->hasGone());
    EXPECT_FALSE(window->isVisible());
    QElapsedTimer timer;
    timer.start();
    window.reset();
    EXPECT_LT(timer.elapsed(), 1200);
    EXPECT_EQ(script.calls(), 1);
}
