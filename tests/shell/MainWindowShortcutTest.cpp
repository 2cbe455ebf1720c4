#include "ShellFixture.h"

#include "shell/FolderTree.h"
#include "tests/support/AnsweringMessageBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

// Catches keys that the menu shows but that act only while the menu is open, and two entries that
// show the same key: Ctrl+A, Ctrl+C and Ctrl+V work on the list from the tree, Delete and F2 on
// whichever of the two has the focus.
TEST(MainWindowShortcuts, MenuKeysWorkWhereverTheFocusIsAndEachIsShownOnce)
{
    ShellFixture shell;
    AnsweringMessageBox box(MessageBox::Answer::Cancel);
    shell.home().write("Documents/agenda.doc", "agenda");
    MainWindow& window = shell.window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    FolderTree* tree = window.folderTree();
    FileListView* list = window.fileList();
    shell.go("Documents");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectedRows().size(), 3);
    QTest::keyClick(tree, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->urls().size(), 3);
    shell.go("Projects");
    QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(shell.home().file("Projects/agenda.doc")));

    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(box.asked, 1);
    EXPECT_NE(box.lastTitle, "Delete Files");
    list->setFocus();
    list->controller().selectRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(box.lastTitle, "Delete Files");
    QTest::keyClick(list, Qt::Key_F2);
    EXPECT_NE(list->viewport()->findChild<QLineEdit*>(), nullptr);

    QList<QKeySequence> keys;
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        EXPECT_FALSE(keys.contains(action->shortcut())) << action->shortcut().toString().toStdString();
        keys << action->shortcut();
    }
    EXPECT_EQ(keys.size(), 5);
}
