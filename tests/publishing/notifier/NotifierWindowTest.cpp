#include "tests/support/AnsweringMessageBox.h"

#include "publishing/notifier/EncodingNotifier.h"
#include "publishing/notifier/NotifierWindow.h"
#include "resources/ResourceIcons.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <thread>

// Lets a failed comparison show the texts instead of their bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}

namespace {

NotifierWindow* findWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<NotifierWindow*>(widget))
            return window;
    }
    return nullptr;
}

QStringList columnTexts(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

bool sameImage(const QIcon& icon, int identifier)
{
    return icon.pixmap(16, 16).toImage() == ResourceIcons::pixmap(identifier, 16).toImage();
}

class NotifierWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_notifier.create([this] { ++m_cancels; });
        m_window = findWindow();
        ASSERT_NE(m_window, nullptr);
    }

    void TearDown() override { m_notifier.destroyWindow(); }

    // How often the window asked the job to stop.
    std::atomic<int> m_cancels { 0 };
    EncodingNotifier m_notifier;
    NotifierWindow* m_window = nullptr;
};

}

TEST_F(NotifierWindowTest, OpensWithItsTitleFirstLineColumnsAndButtonStates)
{
    EXPECT_EQ(m_window->windowTitle(), "Publishing Notifier");
    EXPECT_EQ(m_window->progressText(), "Publishing Office 2003/2007 Excel files as HTML files. ");
    EXPECT_EQ(m_window->width(), NotifierWindow::Width);
    QTreeWidget* list = m_window->resultList();
    ASSERT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), "FileName");
    EXPECT_EQ(list->headerItem()->text(1), "Type");
    EXPECT_EQ(list->headerItem()->text(2), "Result");
    EXPECT_EQ(list->columnWidth(0), 250);
    EXPECT_EQ(list->columnWidth(1), 190);
    EXPECT_EQ(list->columnWidth(2), 60);
    EXPECT_FALSE(list->header()->isSortIndicatorShown());
    EXPECT_TRUE(m_window->cancelButton()->isEnabled());
    EXPECT_FALSE(m_window->closeButton()->isEnabled());
    EXPECT_EQ(m_window->state(), NotifierWindow::State::Running);
    EXPECT_FALSE(m_window->windowFlags() & Qt::WindowCloseButtonHint);
}

// Rows must follow the file names, not the order the job handled the documents in.
TEST_F(NotifierWindowTest, RowsAreSortedByFileName)
{
    m_notifier.addResult("/docs/c.doc", "OK", 1);
    m_notifier.addResult("/docs/a.doc", "NG", 0);
    m_notifier.addResult("/docs/b.doc", "SKIPPED", 0);
    EXPECT_EQ(columnTexts(m_window->resultList(), 0), (QStringList { "a.doc", "b.doc", "c.doc" }));
    EXPECT_EQ(columnTexts(m_window->resultList(), 2), (QStringList { "NG", "SKIPPED", "OK" }));
}

// Catches rows sorted by character code, which puts every upper-case name before the lower-case
// ones; a file manager lists them as one alphabet.
TEST_F(NotifierWindowTest, RowsSortByNameWithoutRegardToCase)
{
    m_notifier.addResult("/docs/B.doc", "OK", 1);
    m_notifier.addResult("/docs/a.doc", "NG", 0);
    m_notifier.addResult("/docs/c.doc", "OK", 1);
    EXPECT_EQ(columnTexts(m_window->resultList(), 0), (QStringList { "a.doc", "B.doc", "c.doc" }));
    EXPECT_EQ(columnTexts(m_window->resultList(), 2), (QStringList { "NG", "OK", "OK" }));

    QApplication::processEvents();
    QString shot
        = QDir(qEnvironmentVariable("PRESSLING_BINARY_DIR", QDir::tempPath())).filePath("notifier-rows.png");
    EXPECT_TRUE(m_window->grab().save(shot));
}

// Catches rows whose names differ only in case swapping places as further rows arrive: they stay
// in the order the job handled them.
TEST_F(NotifierWindowTest, NamesEqualButForCaseKeepTheirOrder)
{
    m_notifier.addResult("/one/Report.doc", "OK", 1);
    m_notifier.addResult("/two/report.doc", "NG", 0);
    m_notifier.addResult("/docs/b.doc", "OK", 1);
    EXPECT_EQ(columnTexts(m_window->resultList(), 0), (QStringList { "b.doc", "Report.doc", "report.doc" }));
    m_notifier.addResult("/three/REPORT.doc", "SKIPPED", 0);
    m_notifier.addResult("/docs/a.doc", "OK", 1);
    m_notifier.addResult("/four/report.DOC", "OK", 1);
    EXPECT_EQ(columnTexts(m_window->resultList(), 0),
        (QStringList { "a.doc", "b.doc", "Report.doc", "report.doc", "REPORT.doc", "report.DOC" }));
    EXPECT_EQ(
        columnTexts(m_window->resultList(), 2), (QStringList { "OK", "OK", "OK", "NG", "SKIPPED", "OK" }));
}

TEST_F(NotifierWindowTest, FailedRowsAreRedWithTheFailureImage)
{
    m_notifier.addResult("/docs/good.docx", "OK", 1);
    m_notifier.addResult("/docs/bad.doc", "NG", 0);
    m_notifier.addResult("/docs/later.docx", "SKIPPED", 0);
    QTreeWidget* list = m_window->resultList();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        bool ok = item->text(2) == "OK";
        for (int column = 0; column < 3; ++column) {
            QColor colour = item->foreground(column).color();
            EXPECT_EQ(colour == QColor(255, 0, 0), !ok) << item->text(0).toStdString();
        }
        EXPECT_TRUE(sameImage(item->icon(0), ok ? ResourceIcons::Success : ResourceIcons::Failure));
    }
    EXPECT_FALSE(sameImage(list->topLevelItem(0)->icon(0), ResourceIcons::Success));
}

// The type comes from the name alone: a document that is gone still gets its type.
TEST_F(NotifierWindowTest, TypeColumnComesFromTheExtension)
{
    m_notifier.addResult("/nowhere/missing.pdf", "NG", 0);
    m_notifier.addResult("/nowhere/report.docx", "OK", 1);
    QStringList types = columnTexts(m_window->resultList(), 1);
    EXPECT_EQ(types[0], "PDF document");
    EXPECT_FALSE(types[1].isEmpty());
    EXPECT_NE(types[0], types[1]);
}

TEST_F(NotifierWindowTest, CancelAnsweredCancelChangesNothing)
{
    AnsweringMessageBox box(MessageBox::Answer::Cancel);
    QTest::mouseClick(m_window->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastTitle, "Publishing Notifier");
    EXPECT_EQ(box.lastText, "Are you sure you want to cancel this publishing operation?");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::OkCancel);
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Question);
    EXPECT_TRUE(m_window->cancelButton()->isEnabled());
    EXPECT_EQ(m_window->state(), NotifierWindow::State::Running);
    EXPECT_EQ(m_cancels, 0);
}

TEST_F(NotifierWindowTest, ConfirmedCancelAsksTheJobToStopOnce)
{
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    QTest::mouseClick(m_window->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(m_window->cancelButton()->isEnabled());
    EXPECT_EQ(m_window->state(), NotifierWindow::State::CancelRequested);
    EXPECT_EQ(m_cancels, 1);
    // A second request cannot be made: the button is off and the cancel is spent.
    QTest::mouseClick(m_window->cancelButton(), Qt::LeftButton);
    m_window->close();
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(m_cancels, 1);
}

// The caption's close request is Cancel, not an unasked close of a running job's window.
TEST_F(NotifierWindowTest, CloseRequestAsksLikeCancel)
{
    AnsweringMessageBox box(MessageBox::Answer::Cancel);
    QPointer<NotifierWindow> window = m_window;
    m_window->close();
    QApplication::processEvents();
    EXPECT_EQ(box.asked, 1);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(NotifierWindowTest, SummarySwitchesButtonsAndCloseDestroysWithoutAQuestion)
{
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    m_notifier.showSummary("Publishing Result: Total=1   Scucceeded=1   Failed=0");
    EXPECT_EQ(m_window->progressText(), "Publishing Result: Total=1   Scucceeded=1   Failed=0");
    EXPECT_FALSE(m_window->cancelButton()->isEnabled());
    EXPECT_TRUE(m_window->closeButton()->isEnabled());
    EXPECT_EQ(m_window->state(), NotifierWindow::State::Finished);

    QPointer<NotifierWindow> window = m_window;
    QTest::mouseClick(m_window->closeButton(), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(box.asked, 0);
    EXPECT_EQ(m_cancels, 0);
}

// Catches a message box made on the job's thread (Qt allows windows on the GUI thread only), and a
// job that goes on before the user has dismissed the box.
TEST(EncodingNotifier, MessageIsShownOnTheGuiThreadWhileTheJobWaits)
{
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    std::atomic<bool> returned { false };
    bool returnedWhileShown = true;
    box.whileShown = [&] {
        QTest::qWait(100);
        returnedWhileShown = returned;
    };
    std::thread worker([&] {
        EncodingNotifier notifier;
        notifier.create([] {});
        notifier.showMessage("Error", "Error");
        returned = true;
        notifier.destroyWindow();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 10000));
    worker.join();
    QApplication::processEvents();
    EXPECT_EQ(box.asked, 1);
    EXPECT_TRUE(box.onGuiThread);
    EXPECT_FALSE(returnedWhileShown) << "the job went on while the box was still open";
    EXPECT_EQ(box.lastTitle, "Error");
    EXPECT_EQ(box.lastText, "Error");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::Ok);
    EXPECT_EQ(box.lastOwner, nullptr);
    EXPECT_EQ(findWindow(), nullptr);
}

// The job drives the window from its own thread; waitForClose must return once the user has
// closed the window, and must not block the GUI thread meanwhile.
TEST(EncodingNotifier, JobThreadDrivesTheWindowAndWaitsForClose)
{
    std::atomic<bool> summaryShown { false };
    std::atomic<bool> returned { false };
    std::thread worker([&] {
        EncodingNotifier notifier;
        notifier.create([] {});
        notifier.showProgress("Publishing (1/2): '/docs/a.doc'");
        notifier.addResult("/docs/a.doc", "OK", 1);
        notifier.showProgress("Publishing (2/2): '/docs/b.xls'");
        notifier.addResult("/docs/b.xls", "NG", 0);
        notifier.showSummary("Publishing Result: Total=2   Scucceeded=1   Failed=1");
        summaryShown = true;
        notifier.waitForClose();
        notifier.hide();
        notifier.destroyWindow();
        returned = true;
    });
    // The worker blocks in create until the GUI thread has made the window.
    NotifierWindow* window = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (window = findWindow()) != nullptr && summaryShown; }, 10000));
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(window->progressText(), "Publishing Result: Total=2   Scucceeded=1   Failed=1");
    EXPECT_EQ(window->resultList()->topLevelItemCount(), 2);
    QTest::qWait(50);
    EXPECT_FALSE(returned) << "waitForClose returned while the window was still open";

    QString shot
        = QDir(qEnvironmentVariable("PRESSLING_BINARY_DIR", QDir::tempPath())).filePath("notifier.png");
    EXPECT_TRUE(window->grab().save(shot));

    QTest::mouseClick(window->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 10000));
    worker.join();
    EXPECT_EQ(findWindow(), nullptr);
}

// Catches a window centred as if the primary screen started at the origin, and one centred on
// another screen than that of the window which started the job.
TEST(EncodingNotifier, WindowIsCentredOnTheScreenOfTheWindowThatStartedTheJob)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    ASSERT_NE(QGuiApplication::primaryScreen()->geometry().topLeft(), QPoint(0, 0));
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        QWidget owner;
        owner.setGeometry(area.x() + 40, area.y() + 40, 400, 300);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        EncodingNotifier notifier(&owner);
        notifier.create([] {});
        ASSERT_NE(findWindow(), nullptr);
        EXPECT_EQ(findWindow()->pos(),
            area.topLeft()
                + QPoint(
                    (area.width() - NotifierWindow::Width) / 2, (area.height() - NotifierWindow::Height) / 2))
            << screen->name().toStdString();
        notifier.destroyWindow();
    }
}
