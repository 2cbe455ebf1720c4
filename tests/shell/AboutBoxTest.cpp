#include "ShellFixture.h"

#include "shell/AboutBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs check on the About box once it is up, then closes it as close says.
void whileTheBoxIsUp(const std::function<void(AboutBox&)>& check)
{
    QTimer::singleShot(0, [check] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
        check(*box);
    });
}

QStringList labelTexts(const QWidget& box)
{
    QStringList texts;
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
    }
    return texts;
}

}

// Catches an About box without its texts, one placed away from the list that owns it, and one
// that OK does not close.
TEST(AboutBox, ShowsTheVersionCentredOnTheListAndOkClosesIt)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    window.setGeometry(20, 30, 700, 450);
    QTest::qWait(20);
    bool checked = false;
    whileTheBoxIsUp([&](AboutBox& box) {
        EXPECT_EQ(box.windowTitle(), "Pressling");
        EXPECT_TRUE(labelTexts(box).contains(" Pressling  Version: 1.0.0.1"));
        EXPECT_EQ(labelTexts(box).size(), 2);
        EXPECT_EQ(box.parentWidget(), window.fileList());
        const QRect list(window.fileList()->mapToGlobal(QPoint(0, 0)), window.fileList()->size());
        EXPECT_LE(std::abs(box.frameGeometry().center().x() - list.center().x()), 1)
            << "the box at " << box.frameGeometry().x() << ", the list at " << list.x();
        EXPECT_LE(std::abs(box.frameGeometry().center().y() - list.center().y()), 1);
        checked = true;
        box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window.runCommand(MainWindow::ShowVersion);
    EXPECT_TRUE(checked);
}

// Catches a box that leaves the screen when its owner is near the screen's corner, and the close
// box answering as OK does.
TEST(AboutBox, StaysOnTheScreenAndTheCloseBoxAnswersTwo)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    const QRect screen = window.screen()->geometry();
    window.setGeometry(screen.right() - 150, screen.bottom() - 120, 300, 200);
    QTest::qWait(20);
    whileTheBoxIsUp([&](AboutBox& box) {
        EXPECT_LE(box.frameGeometry().right(), screen.right());
        EXPECT_LE(box.frameGeometry().bottom(), screen.bottom());
        EXPECT_GE(box.frameGeometry().left(), screen.left());
        box.close();
    });
    EXPECT_EQ(AboutBox::showFor(window.fileList()), AboutBox::ClosedByCloseBox);

    whileTheBoxIsUp([](AboutBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(AboutBox::showFor(window.fileList()), AboutBox::ClosedByCommand);
}
