#include "ShellFixture.h"

#include "filelist/FileListModel.h"
#include "foundation/String.h"
#include "foundation/VaultrixRegistry.h"
#include "shell/FolderTree.h"
#include "shell/FolderTreeModel.h"
#include "tests/support/AnsweringMessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

QString storedInitialFolder()
{
    String text;
    return VaultrixRegistry().getInitialFolder(text) ? QString::fromUtf8(text.getText()) : QString();
}

QStringList entryTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu* popupNamed(MainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

}

// Catches a first run that opens somewhere else than the top left corner at 600 by 300, or a
// splitter that does not start at a third of the width.
TEST(MainWindow, FirstRunOpensAtTheOriginWithTheSplitterAtAThird)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(window.frameGeometry().size(), QSize(600, 300));
    // The third is of the inner width, the frame left out.
    QSplitter* splitter = window.splitter();
    EXPECT_EQ(splitter->width(), window.width());
    EXPECT_EQ(splitter->sizes().at(0), window.width() / 3);
    EXPECT_EQ(window.windowTitle(), "Pressling");
}

// Catches a splitter that can be dragged over the window's edge (the list then lost for good) or
// that jumps back to a third when the window is resized after the user placed it.
TEST(MainWindow, SplitterStopsShortOfTheRightEdgeAndKeepsTheUsersPlace)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    QSplitter* splitter = window.splitter();
    QWidget* handle = splitter->handle(1);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(1, 10));
    QTest::mouseMove(handle, QPoint(2000, 10));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(2000, 10));
    EXPECT_EQ(splitter->sizes().at(0), splitter->width() - 4);

    QTest::mousePress(splitter->handle(1), Qt::LeftButton, {}, QPoint(1, 10));
    QTest::mouseMove(splitter->handle(1), QPoint(-450, 10));
    QTest::mouseRelease(splitter->handle(1), Qt::LeftButton, {}, QPoint(-450, 10));
    const int placed = splitter->sizes().at(0);
    EXPECT_LT(placed, window.width() / 3);
    window.resize(900, 400);
    QTest::qWait(20);
    EXPECT_EQ(splitter->sizes().at(0), placed);
    EXPECT_EQ(window.splitterPosition(), placed);
}

// Catches the title, the list or the history falling out of step with the tree, a folder listed
// twice in the history, two folders whose names differ in letter case taken for one, and the
// history's order.
TEST(MainWindow, SelectingFoldersSetsTitleListAndHistoryNewestFirst)
{
    ShellFixture shell;
    fs::create_directories(shell.home().file("projects"));
    MainWindow& window = shell.window();
    shell.go("Documents");
    EXPECT_EQ(window.windowTitle(), QFile::decodeName(shell.folder("Documents")) + " - Pressling");
    EXPECT_EQ(window.currentFolder(), shell.folder("Documents"));
    EXPECT_TRUE(shell.rows().contains("report.docx"));
    shell.go("Projects");
    shell.go("Archive");
    shell.go("Projects");
    shell.go("projects");
    const QStringList expected { QFile::decodeName(shell.folder("projects")),
        QFile::decodeName(shell.folder("Archive")), QFile::decodeName(shell.folder("Projects")),
        QFile::decodeName(shell.folder("Documents")) };
    EXPECT_EQ(shell.history(), expected);
    EXPECT_EQ(window.historyBox()->currentText(), QFile::decodeName(shell.folder("projects")));
    EXPECT_EQ(window.currentFolder(), shell.folder("projects"));
}

// Catches a choice from the history that reloads the folder already shown, one that takes a
// folder whose name differs only in letter case for the current one, and a choice of another
// folder that does not move the tree.
TEST(MainWindow, ChoosingFromTheHistoryMovesTheTreeUnlessItNamesTheCurrentFolder)
{
    ShellFixture shell;
    fs::create_directories(shell.home().file("DOCUMENTS"));
    MainWindow& window = shell.window();
    shell.go("Projects");
    shell.go("Documents");
    QComboBox* box = window.historyBox();
    box->insertItem(0, QFile::decodeName(shell.folder("DOCUMENTS")));
    QSignalSpy selections(window.folderTree(), &FolderTree::folderSelected);
    emit box->activated(box->findText(QFile::decodeName(shell.folder("Documents")), Qt::MatchExactly));
    EXPECT_EQ(selections.count(), 0);
    emit box->activated(0);
    EXPECT_EQ(window.currentFolder(), shell.folder("DOCUMENTS"));

    int projects = box->findText(QFile::decodeName(shell.folder("Projects")), Qt::MatchExactly);
    ASSERT_GE(projects, 0);
    emit box->activated(projects);
    EXPECT_EQ(window.currentFolder(), shell.folder("Projects"));
    EXPECT_EQ(
        window.folderModel()->pathOf(window.folderTree()->currentIndex()) + '/', shell.folder("Projects"));
}

// Catches the computer node being stored as the folder of the next run, or a title that hides
// that no folder is shown.
TEST(MainWindow, TheComputerNodeShowsNoFolderAndKeepsTheStoredOne)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    shell.go("Projects");
    window.close();
    ASSERT_EQ(storedInitialFolder(), QFile::decodeName(shell.folder("Projects")));
    shell.restart();
    MainWindow& next = shell.window();
    next.folderTree()->selectFolder(next.folderModel()->index(0, 0));
    EXPECT_EQ(next.windowTitle(), " - Pressling");
    EXPECT_TRUE(next.currentFolder().isEmpty());
    EXPECT_EQ(next.fileList()->fileModel()->rowCount(), 0);
    next.close();
    EXPECT_EQ(storedInitialFolder(), QFile::decodeName(shell.folder("Projects")));
}

// Catches a start that ignores the folder of the last run, or one that ends on nothing when
// that folder has gone since.
TEST(MainWindow, OpensAtTheStoredFolderOrAtHomeWhenItIsGone)
{
    ShellFixture shell;
    shell.window().openAt(shell.folder("Archive"));
    EXPECT_EQ(shell.window().currentFolder(), shell.folder("Archive"));
    EXPECT_TRUE(shell.rows().contains("old.doc"));

    shell.restart();
    shell.window().openAt(shell.folder("Gone/Long/Ago"));
    EXPECT_EQ(shell.window().currentFolder(), shell.folder(""));
    shell.restart();
    shell.window().openAt(std::nullopt);
    EXPECT_EQ(shell.window().currentFolder(), shell.folder(""));
}

// Catches the window storing a maximized size as the user's own, losing the place and size the
// user gave it, or its folder.
TEST(MainWindow, ClosingStoresFolderAndGeometryButNotAMaximizedWindow)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    shell.go("Documents");
    window.setGeometry(30, 40, 700, 420);
    const QRect outer = window.frameGeometry();
    window.close();
    const std::string trace = shell.trace();
    const std::string saved = QStringLiteral("Saved x=%1 y=%2 w=%3 h=%4\n")
                                  .arg(outer.x())
                                  .arg(outer.y())
                                  .arg(outer.width())
                                  .arg(outer.height())
                                  .toStdString();
    EXPECT_NE(trace.find(saved), std::string::npos) << trace;
    EXPECT_EQ(storedInitialFolder(), QFile::decodeName(shell.folder("Documents")));

    // The outer rectangle comes back as it was, the frame not added a second time.
    shell.restart();
    EXPECT_EQ(shell.window().frameGeometry(), outer);
    shell.window().showMaximized();
    QTest::qWait(20);
    const size_t tracedBefore = shell.trace().size();
    shell.window().close();
    const std::string maximized = shell.trace().substr(tracedBefore);
    EXPECT_NE(maximized.find("Read x="), std::string::npos) << maximized;
    EXPECT_EQ(maximized.find("Saved"), std::string::npos) << maximized;
    shell.restart();
    EXPECT_EQ(shell.window().frameGeometry(), outer);
}

// Catches Enter or Escape closing the program's window as they would close a dialog.
TEST(MainWindow, EnterAndEscapeDoNotCloseIt)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    QSignalSpy closed(&window, &MainWindow::closed);
    window.menuBar()->setFocus();
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Enter);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(closed.count(), 0);
    window.runCommand(MainWindow::Exit);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(window.isVisible());
}

// Catches a menu that lost an entry, its text, its command or its separator.
TEST(MainWindow, MenuHasEveryEntryWithItsCommand)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList { "File(&F)", "Edit(&E)", "Help(&H)" }));
    QMenu* file = popupNamed(window, "File(&F)");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(
        entryTexts(file), (QStringList { "Create (&N)", "Delete( &D)", "Change Name(&R)", "-", "Exit(&X)" }));
    QMenu* create = file->actions().at(0)->menu();
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(entryTexts(create), QStringList { "Folder" });
    EXPECT_EQ(create->actions().at(0)->data().toInt(), MainWindow::NewFolder);
    QMenu* edit = popupNamed(window, "Edit(&E)");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(
        entryTexts(edit), (QStringList { "Copy (&C)", "Paste (&P)", "Delete (&X)", "Select All (&A)" }));
    QList<int> commands;
    for (QAction* action : edit->actions())
        commands << action->data().toInt();
    EXPECT_EQ(commands, (QList<int> { 32823, 32824, 32830, 32814 }));
    EXPECT_EQ(edit->actions().at(0)->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(edit->actions().at(3)->shortcut(), QKeySequence(QKeySequence::SelectAll));
    // No two entries show the same key.
    QList<QKeySequence> keys;
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        EXPECT_FALSE(keys.contains(action->shortcut())) << action->shortcut().toString().toStdString();
        keys << action->shortcut();
    }
    EXPECT_EQ(keys.size(), 5);
    QMenu* help = popupNamed(window, "Help(&H)");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(entryTexts(help), QStringList { "Show Verision (&A)" });
    EXPECT_EQ(help->actions().at(0)->data().toInt(), MainWindow::ShowVersion);
}

// Catches the File menu's Delete acting on the list while the tree has the focus (or the other
// way round) or while neither has it, and keys that the menu shows but that act only while it is
// open: Ctrl+A, Ctrl+C and Ctrl+V work on the list from the tree too.
TEST(MainWindow, MenuKeysAndDeleteGoToTheWidgetWithTheFocus)
{
    ShellFixture shell;
    AnsweringMessageBox box(MessageBox::Answer::Cancel);
    MainWindow& window = shell.window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    FolderTree* tree = window.folderTree();
    FileListView* list = window.fileList();
    shell.go("Documents");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_A, Qt::ControlModifier);
    const int rows = list->fileModel()->rowCount();
    ASSERT_GT(rows, 0);
    EXPECT_EQ(list->selectedRows().size(), rows);
    QTest::keyClick(tree, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->urls().size(), rows);

    window.historyBox()->setFocus();
    window.runCommand(MainWindow::DeleteFocused);
    window.runCommand(MainWindow::RenameFocused);
    EXPECT_EQ(box.asked, 0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastTitle, "Delete Files");

    // A folder of the home's own, not one of the places, which are never deleted.
    shell.go("Projects");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(fs::exists(shell.home().file("Projects/report.docx")));
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(box.asked, 2);
    EXPECT_NE(box.lastTitle, "Delete Files");
    EXPECT_TRUE(fs::exists(shell.home().file("Documents/report.docx")));
    window.runCommand(4242);
    EXPECT_EQ(box.asked, 2);
    list->setFocus();
    list->controller().selectRow(0);
    QTest::keyClick(list, Qt::Key_F2);
    EXPECT_NE(list->viewport()->findChild<QLineEdit*>(), nullptr);
}

// Catches the focus rule looking at the focused widget only, so that the list's own editor or a
// child of the tree counts as neither.
TEST(MainWindow, KeyTargetIsFoundFromTheFocusedWidgetsParents)
{
    QWidget tree;
    QWidget list;
    QWidget insideList(&list);
    QWidget elsewhere;
    EXPECT_EQ(MainWindow::keyTargetOf(&tree, &tree, &list), MainWindow::KeyTarget::Tree);
    EXPECT_EQ(MainWindow::keyTargetOf(&insideList, &tree, &list), MainWindow::KeyTarget::List);
    EXPECT_EQ(MainWindow::keyTargetOf(&elsewhere, &tree, &list), MainWindow::KeyTarget::None);
    EXPECT_EQ(MainWindow::keyTargetOf(nullptr, &tree, &list), MainWindow::KeyTarget::None);
}

// Catches a session's end that raises the window from the job's thread (Qt allows that on the
// GUI thread only) or not at all.
TEST(MainWindow, ASessionsEndBringsItToTheFrontFromAnotherThread)
{
    ShellFixture shell;
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    std::thread session([&shell] { shell.jobs().sessionEnded(); });
    session.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &shell.window(); }, 2000));
}

// Catches Create > Folder making the folder somewhere else than under the tree's selection, or
// leaving the user without the name in an edit box; and the new folder not becoming the list's.
TEST(MainWindow, CreateFolderMakesItUnderTheSelectionAndLetsTheUserNameIt)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    shell.go("Projects");
    window.runCommand(MainWindow::NewFolder);
    EXPECT_TRUE(fs::is_directory(shell.home().file("Projects/New Folder")));
    EXPECT_EQ(window.currentFolder(), shell.folder("Projects/New Folder"));
    auto* editor = window.folderTree()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "New Folder");
}

// Catches a list that keeps showing, or crashes on, the files of a folder removed while it is
// shown.
TEST(MainWindow, AFolderThatVanishesWhileShownLeavesAnEmptyList)
{
    ShellFixture shell;
    MainWindow& window = shell.window();
    shell.go("Documents");
    ASSERT_FALSE(shell.rows().isEmpty());
    fs::remove_all(shell.home().file("Documents"));
    window.fileList()->setFocus();
    QTest::keyClick(window.fileList(), Qt::Key_F5);
    EXPECT_TRUE(shell.rows().isEmpty());
    window.runCommand(MainWindow::SelectAllFiles);
    window.runCommand(MainWindow::CopyFiles);
    shell.go("Projects");
    EXPECT_TRUE(shell.rows().contains("plan.docx"));
}
