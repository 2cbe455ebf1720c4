#include "ShellFixture.h"

#include "publishing/notifier/NotifierWindow.h"
#include "shell/OfficeCheckWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What AT-SPI tells a screen reader of a window: its role (a plain widget's Client is its
// "filler") and its name.
std::pair<QAccessible::Role, QString> announcement(QWidget* widget)
{
    QAccessibleInterface* window = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return window ? std::pair { window->role(), window->text(QAccessible::Name) }
                  : std::pair { QAccessible::NoRole, QString() };
}

// What is said of the modal window that action opens, which is then dismissed.
std::pair<QAccessible::Role, QString> announcementOfModal(const std::function<void()>& action)
{
    std::pair<QAccessible::Role, QString> said;
    QTimer::singleShot(0, [&said] {
        said = announcement(QApplication::activeModalWidget());
        QApplication::activeModalWidget()->close();
    });
    action();
    return said;
}

}

// Catches a window that a screen reader does not report as opened: each must be a frame or a
// dialog (a message box an alert, which is read out whole) named by its title.
TEST(WindowAccessibility, EveryWindowIsAnnouncedByItsRoleAndTitle)
{
    using Said = std::pair<QAccessible::Role, QString>;
    ShellFixture shell;
    MainWindow& window = shell.window();
    shell.go("Documents");
    EXPECT_EQ(announcement(&window), Said(QAccessible::Window, window.windowTitle()));
    NotifierWindow notifier(&window, QRect(), {});
    EXPECT_EQ(announcement(&notifier), Said(QAccessible::Dialog, "Publishing Notifier"));
    OfficeCheckWindow check(Qt::WindowNoState, [] { return std::vector<office::OfficeInstance> {}; });
    EXPECT_EQ(announcement(&check), Said(QAccessible::Window, "Office Applications - Vaultrix"));
    EXPECT_EQ(announcementOfModal([&] { window.runCommand(MainWindow::ShowVersion); }),
        Said(QAccessible::Dialog, "Pressling"));
    window.runCommand(MainWindow::SelectAllFiles);
    EXPECT_EQ(announcementOfModal([&] { window.runCommand(MainWindow::DeleteFiles); }),
        Said(QAccessible::AlertMessage, "Delete Files"));
}
