#include "ListDesktop.h"
#include "ListFixture.h"

#include "filelist/ListCommand.h"
#include "filelist/XListView.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryRegistry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The menu's entries in order, separators as "-", each entry as its text with '+' or '-' for
// its state.
QStringList menuEntries(FileListView& list)
{
    QStringList entries;
    for (QAction* action : list.contextMenu().popup()->actions())
        entries << (action->isSeparator() ? QStringLiteral("-")
                                          : action->text() + (action->isEnabled() ? " +" : " -"));
    return entries;
}

bool enabled(FileListView& list, int32_t command)
{
    return list.contextMenu().action(command)->isEnabled();
}

class FileListView_ : public ::testing::Test {
protected:
    void SetUp() override { QApplication::clipboard()->clear(); }

    ListFixture fixture;
    AnsweringMessageBox box { MessageBox::Answer::Ok };
};

}

TEST_F(FileListView_, MenuHoldsItsFourteenEntriesAndIsBuiltOnce)
{
    fixture.write("a.doc");
    fixture.show();
    ASSERT_TRUE(fixture.list().XListView_PrepareContextMenu());
    QMenu* first = fixture.list().contextMenu().popup();
    EXPECT_EQ(first->title(), "ListView_ContextMenu");
    EXPECT_EQ(menuEntries(fixture.list()),
        (QStringList { "Publish As Html(&H) -", "Publish As WebArchive(&W) -", "Publish As Text(&T) -",
            "Publish As UnicodeText(&U) -", "Publish As XPS(&X) -", "Publish As PDF(&F) -", "-",
            "Open (&O) -", "Delete (&D) -", "Change Name (&M) -", "-", "Paste (&P) -", "-", "Refresh (&R) +",
            "Copy (&C) -" }));
    ASSERT_TRUE(fixture.list().XListView_PrepareContextMenu());
    EXPECT_EQ(fixture.list().contextMenu().popup(), first);
}

// The rows of the resulting-states table on real rows: a plain document, one with a password,
// and a workbook beside a text file (nothing publishable), with the clipboard's files counted.
TEST_F(FileListView_, MenuStatesFollowTheSelection)
{
    fixture.write("plain.doc");
    ASSERT_NO_FATAL_FAILURE(fixture.copyPasswordDocument("locked.docx"));
    fixture.write("notes.txt");
    fixture.show();
    ASSERT_EQ(fixture.names(), (QStringList { "locked.docx", "notes.txt", "plain.doc" }));
    FileListView& list = fixture.list();

    fixture.select({ "locked.docx" });
    ASSERT_TRUE(list.XListView_PrepareContextMenu());
    EXPECT_FALSE(enabled(list, ID_PUBLISH_AS_PDF));
    EXPECT_TRUE(enabled(list, ListCommand::Open) && enabled(list, ListCommand::Delete)
        && enabled(list, ListCommand::ChangeName) && enabled(list, ListCommand::Copy));
    EXPECT_FALSE(enabled(list, ListCommand::Paste) || enabled(list, ListCommand::Refresh));

    fixture.select({ "locked.docx", "plain.doc" });
    ASSERT_TRUE(list.XListView_PrepareContextMenu());
    for (int32_t command : ListCommand::PublishCommands)
        EXPECT_TRUE(enabled(list, command)) << command;

    // Nothing selected grays Open; a text file alone then leaves it gray, with Paste by the
    // clipboard's files.
    auto* data = new QMimeData;
    data->setUrls({ QUrl::fromLocalFile(QString::fromStdString(fixture.folder().file("plain.doc"))) });
    QApplication::clipboard()->setMimeData(data);
    fixture.select({});
    ASSERT_TRUE(list.XListView_PrepareContextMenu());
    EXPECT_TRUE(enabled(list, ListCommand::Refresh) && enabled(list, ListCommand::Paste));
    EXPECT_FALSE(enabled(list, ListCommand::Open) || enabled(list, ListCommand::Copy));
    fixture.select({ "notes.txt" });
    ASSERT_TRUE(list.XListView_PrepareContextMenu());
    EXPECT_FALSE(enabled(list, ListCommand::Open));
    EXPECT_FALSE(enabled(list, ListCommand::ChangeName));
    EXPECT_TRUE(enabled(list, ListCommand::Delete) && enabled(list, ListCommand::Paste));
}

// The menu key opens the menu just inside the list's top-left corner, and a chosen entry runs.
TEST_F(FileListView_, KeyboardMenuOpensAtTheCornerAndRunsTheChosenCommand)
{
    fixture.write("a.doc");
    fixture.show();
    FileListView& list = fixture.list();
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QPoint shownAt;
    QTimer::singleShot(100, [&] {
        QMenu* menu = list.contextMenu().popup();
        shownAt = menu->pos();
        menu->setActiveAction(list.contextMenu().action(ListCommand::Refresh));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    fixture.write("b.doc");
    QTest::keyClick(&list, Qt::Key_Menu);
    EXPECT_EQ(shownAt, list.mapToGlobal(QPoint(5, 5)));
    // Refresh found the new document.
    waitUntilFilled(fixture.model());
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc", "b.doc" }));
}

TEST_F(FileListView_, DeleteAsksOnceAndMovesEveryRowToTheTrash)
{
    // The trash is the test desktop's, which the desktop's library keeps for the whole process.
    const std::string trash = listDesktop().dataHome() + "/Trash";
    for (const char* name : { "a.doc", "b.doc", "c.doc", "d.doc" })
        fixture.write(name, name);
    fixture.show();
    fixture.select({ "a.doc", "c.doc", "d.doc" });
    LogCapture log;
    box.whileShown = [&] { EXPECT_EQ(fixture.model().rowCount(), 4); };
    EXPECT_EQ(XListView_DeleteSelectedFiles(&fixture.list()), 1);
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastText, "Are you sure you want to move the selected 3 files to the TrashBox?");
    EXPECT_EQ(box.lastTitle, "Delete Files");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::OkCancel);
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Question);
    EXPECT_EQ(fixture.names(), (QStringList { "b.doc" }));
    // From the highest row down.
    std::string text = log.text();
    size_t d = text.find("filePath=" + fixture.folder().file("d.doc"));
    size_t c = text.find("filePath=" + fixture.folder().file("c.doc"));
    size_t a = text.find("filePath=" + fixture.folder().file("a.doc"));
    EXPECT_TRUE(d != std::string::npos && d < c && c < a && a != std::string::npos) << text;
    for (const char* name : { "a.doc", "c.doc", "d.doc" }) {
        EXPECT_FALSE(fs::exists(fixture.folder().file(name))) << name;
        EXPECT_TRUE(fs::exists(trash + "/files/" + name)) << name;
        EXPECT_TRUE(fs::exists(trash + "/info/" + name + ".trashinfo")) << name;
    }
    EXPECT_TRUE(fs::exists(fixture.folder().file("b.doc")));
}

TEST_F(FileListView_, DeclinedDeleteKeepsEverything)
{
    AnsweringMessageBox cancel(MessageBox::Answer::Cancel);
    fixture.write("a.doc");
    fixture.show();
    fixture.select({ "a.doc" });
    QTest::keyClick(&fixture.list(), Qt::Key_Delete);
    EXPECT_EQ(cancel.asked, 1);
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc" }));
    EXPECT_TRUE(fs::exists(fixture.folder().file("a.doc")));

    // Nothing selected asks nothing.
    fixture.select({});
    QTest::keyClick(&fixture.list(), Qt::Key_Delete);
    EXPECT_EQ(cancel.asked, 1);
}

TEST_F(FileListView_, RefillsOnF5)
{
    FileListView& list = fixture.list();
    // No folder shown: the list is empty and disabled, and F5 does nothing.
    XListView_ShowFiles(&list, "");
    EXPECT_FALSE(list.isEnabled());
    fixture.write("a.doc");
    EXPECT_EQ(XListView_OnKeyDown(&list, FileListView::KeyF5), 1);
    EXPECT_EQ(fixture.model().rowCount(), 0);

    fixture.show();
    EXPECT_TRUE(list.isEnabled());
    fixture.write("a.doc.pdf");
    QTest::keyClick(&list, Qt::Key_F5);
    waitUntilFilled(fixture.model());
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc", "a.doc.pdf" }));
}

TEST_F(FileListView_, SelectionListsAndSelectAll)
{
    fixture.write("a.doc");
    ASSERT_NO_FATAL_FAILURE(fixture.copyPasswordDocument("b.docx"));
    fixture.write("c.pdf");
    fixture.write("d.txt");
    fixture.show();
    FileListView& list = fixture.list();
    EXPECT_EQ(list.controller().XListView_GetLastSelelctedItem(), -1);
    EXPECT_EQ(XListView_SelectAll(&list), 4);
    EXPECT_EQ(list.controller().XListView_GetLastSelelctedItem(), 3);

    LinkedList entries;
    EXPECT_EQ(list.controller().XListView_GetOfficeFileNamesList(entries), 4);
    // Added at the front: the highest row comes first.
    const auto* first = static_cast<const ListItem*>(entries.getHead()->getElement());
    EXPECT_STREQ(first->getName().getText(), "d.txt");
    EXPECT_EQ(first->getIndex(), 3);
    const auto* protectedOne
        = static_cast<const ListItem*>(entries.getHead()->getNext()->getNext()->getElement());
    EXPECT_STREQ(protectedOne->getName().getText(), "b.docx");
    EXPECT_TRUE(protectedOne->getFlag());

    LinkedList publishable;
    LinkedList passwords;
    LinkedList unprotected;
    int32_t protectedCount = 0;
    EXPECT_EQ(list.controller().XListView_GetOfficePDFFilesList(publishable), 3);
    EXPECT_EQ(list.controller().XListView_GetProtectedOfficePDFFilesList(passwords), 1);
    EXPECT_EQ(list.controller().XListView_GetNonEncSelectedFilesList(unprotected, protectedCount), 3);
    EXPECT_EQ(protectedCount, 1);
    EXPECT_STREQ(static_cast<const String*>(passwords.getHead()->getElement())->getText(),
        fixture.folder().file("b.docx").c_str());
}

TEST_F(FileListView_, RefreshRemovesTheRowsOfFilesThatAreGone)
{
    fixture.write("a.doc");
    fixture.write("b.doc");
    fixture.write("c.doc");
    fixture.show();
    fixture.select({ "a.doc", "c.doc" });
    LinkedList entries;
    fixture.list().controller().XListView_GetOfficeFileNamesList(entries);
    fs::remove(fixture.folder().file("a.doc"));
    fs::remove(fixture.folder().file("c.doc"));
    LogCapture log;
    fixture.list().controller().XListView_Refresh(entries);
    EXPECT_EQ(fixture.names(), (QStringList { "b.doc" }));
    EXPECT_TRUE(log.contains("XListView_Refresh,2,removed fullpath=" + fixture.folder().file("c.doc")));
}

// The list was filled again while the entries were out (a drag runs the event loop, and a
// finished job refills the list): only the rows of the files that are gone go, wherever they are
// now, and no row that took another's place.
TEST_F(FileListView_, RefreshAfterTheListChangedRemovesOnlyTheRowsOfGoneFiles)
{
    fixture.write("b.doc");
    fixture.write("d.doc");
    fixture.show();
    fixture.select({ "b.doc", "d.doc" });
    LinkedList entries;
    fixture.list().controller().XListView_GetOfficeFileNamesList(entries);
    fixture.write("a.doc");
    fixture.write("c.doc");
    fixture.show();
    fs::remove(fixture.folder().file("d.doc"));
    fixture.list().controller().XListView_Refresh(entries);
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc", "b.doc", "c.doc" }));
}

TEST_F(FileListView_, ListCarriesAccessibleNamesAndTheHeadersSortNothing)
{
    fixture.write("b.doc");
    fixture.write("a.doc");
    fixture.show();
    FileListView& list = fixture.list();
    EXPECT_EQ(list.accessibleName(), "File list");
    EXPECT_FALSE(list.header()->sectionsClickable());
    EXPECT_FALSE(list.isSortingEnabled());
    EXPECT_EQ(list.columnWidth(0), 300);
    EXPECT_EQ(list.columnWidth(4), 70);
    QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
        QPoint(list.header()->sectionViewportPosition(0) + 10, 5));
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc", "b.doc" }));
}

// A click on the name of a selected row edits it once the double-click time has passed; a double
// click opens the file instead and edits nothing.
TEST_F(FileListView_, ClickOnSelectedNameEditsAndDoubleClickOpens)
{
    fixture.write("a.doc");
    fixture.write("b.doc");
    fixture.show();
    FileListView& list = fixture.list();
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QPoint name = list.visualRect(fixture.model().index(1, 0)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, name);
    ASSERT_EQ(list.selectedRows(), (QList<int> { 1 }));
    QTest::qWait(QApplication::doubleClickInterval() + 50);

    LogCapture log;
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, name);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_TRUE(log.contains("ListView::WM_LBUTTONDBCLK"));
    EXPECT_TRUE(log.contains("RunSelectedFiles = " + fixture.folder().file("b.doc")));
    EXPECT_EQ(list.findChild<QLineEdit*>(), nullptr);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, name);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    auto* editor = list.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "b.doc");
    EXPECT_TRUE(log.contains("XListView_BeginLabelEdit,indexLabelEdit=1"));
}

// Enter opens every selected file, each with its own program: the registered command copies the
// file it is given into a folder, so that what was opened can be counted.
TEST_F(FileListView_, EnterOpensEverySelectedDocument)
{
    TemporaryRegistry registry;
    TemporaryFolder opened;
    registry.writeClassesFile(
        "[HKEY_CLASSES_ROOT\\.doc]\n@=\"Pressling.Test\"\n\n"
        "[HKEY_CLASSES_ROOT\\Pressling.Test\\shell\\open\\command]\n@=\"/bin/cp \\\"%1\\\" "
        + opened.path() + "\"\n");
    fixture.write("first one.doc", "1");
    fixture.write("second.doc", "2");
    fixture.write("third.doc", "3");
    fixture.show();
    fixture.select({ "first one.doc", "third.doc" });
    QTest::keyClick(&fixture.list(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return fs::exists(opened.file("first one.doc")) && fs::exists(opened.file("third.doc")); },
        10000));
    QTest::qWait(100);
    EXPECT_FALSE(fs::exists(opened.file("second.doc")));
}

// A file that vanished after the filling still loses its row; the trash refusing it touches
// nothing else, and the other selected file is trashed.
TEST_F(FileListView_, DeleteOfAVanishedFileRemovesItsRowAndGoesOn)
{
    const std::string trash = listDesktop().dataHome() + "/Trash";
    fixture.write("gone.doc");
    fixture.write("kept.doc");
    fixture.write("there.doc");
    fixture.show();
    fixture.select({ "gone.doc", "there.doc" });
    fs::remove(fixture.folder().file("gone.doc"));
    XListView_DeleteSelectedFiles(&fixture.list());
    EXPECT_EQ(fixture.names(), (QStringList { "kept.doc" }));
    EXPECT_TRUE(fs::exists(trash + "/files/there.doc"));
    EXPECT_FALSE(fs::exists(trash + "/info/gone.doc.trashinfo"));
    EXPECT_TRUE(fs::exists(fixture.folder().file("kept.doc")));
}

// Setting the columns empties the list but keeps its folder, and gives the columns their widths
// back whatever the display format.
TEST_F(FileListView_, SettingTheColumnsEmptiesTheListAndKeepsTheFolder)
{
    fixture.write("a.doc");
    fixture.show();
    fixture.list().setColumnWidth(0, 40);
    XListView_SetColumns(&fixture.list(), 7);
    EXPECT_EQ(fixture.model().rowCount(), 0);
    EXPECT_EQ(fixture.list().columnWidth(0), 300);
    EXPECT_EQ(fixture.model().currentFolder().toStdString(), fixture.folderText());
    QTest::keyClick(&fixture.list(), Qt::Key_F5);
    waitUntilFilled(fixture.model());
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc" }));
}
