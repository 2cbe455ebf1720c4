#include "FolderTreeFixture.h"

#include "shell/FolderTree.h"
#include "tests/support/AnsweringMessageBox.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The tree shown over a fixture's folders, as in the main window.
class ShownTree {
public:
    explicit ShownTree(FolderTreeFixture& fixture)
        : m_fixture(fixture)
        , m_tree(&fixture.model())
        , m_selected(&m_tree, &FolderTree::folderSelected)
    {
        m_tree.resize(300, 400);
        m_tree.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_tree));
    }

    FolderTree& tree() { return m_tree; }
    QSignalSpy& selected() { return m_selected; }
    // The path that the last folderSelected carried.
    QByteArray lastSelectedPath()
    {
        return m_selected.isEmpty() ? QByteArray()
                                    : m_fixture.model().pathOf(m_selected.last()[0].value<QModelIndex>());
    }
    QLineEdit* editor() { return qobject_cast<QLineEdit*>(m_tree.indexWidget(m_tree.currentIndex())); }
    // True while the selected folder's name is being edited.
    bool editing() { return editor() != nullptr; }
    // Types name into the open editor and commits it with Enter.
    void typeName(const QString& name)
    {
        QLineEdit* editor = this->editor();
        ASSERT_NE(editor, nullptr) << "no editor is open";
        editor->selectAll();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits an edit that Enter ends from the event loop.
        QCoreApplication::processEvents();
    }

private:
    FolderTreeFixture& m_fixture;
    FolderTree m_tree;
    QSignalSpy m_selected;
};

}

// Catches a selection that is set but not told, or a folder left hidden under closed parents.
TEST(FolderTree, SelectFolderOpensTheWayAndTellsTheSelection)
{
    FolderTreeFixture fixture;
    QByteArray deep = fixture.makeFolder("one/two/three");
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    EXPECT_TRUE(tree.isHeaderHidden());
    EXPECT_TRUE(tree.isExpanded(fixture.model().index(0, 0))) << "the places are shown at first";

    QModelIndex three = fixture.model().pathToItemIdList(deep);
    tree.selectFolder(three);
    EXPECT_EQ(tree.currentIndex(), three);
    EXPECT_TRUE(tree.selectionModel()->isSelected(three));
    for (QModelIndex above = three.parent(); above.isValid(); above = above.parent())
        EXPECT_TRUE(tree.isExpanded(above));
    EXPECT_EQ(shown.lastSelectedPath(), deep);
    EXPECT_TRUE(tree.viewport()->rect().intersects(tree.visualRect(three)));

    tree.selectFolder(fixture.model().index(0, 0));
    EXPECT_TRUE(shown.lastSelectedPath().isEmpty()) << "the computer has no path";
    EXPECT_EQ(shown.selected().last()[0].value<QModelIndex>(), fixture.model().index(0, 0));
}

// Catches a folder that is made but not offered for naming, or a name typed in that does not
// reach the disk.
TEST(FolderTree, NewFolderIsSelectedAndNamedInPlace)
{
    FolderTreeFixture fixture;
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    tree.selectFolder(fixture.place(0));
    tree.newFolder();
    EXPECT_EQ(shown.lastSelectedPath(), fixture.home() + "/New Folder");
    EXPECT_TRUE(shown.editing());
    shown.typeName("Invoices 2025");
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/Invoices 2025"));
    EXPECT_FALSE(fs::exists(fixture.home().toStdString() + "/New Folder"));
    EXPECT_EQ(shown.lastSelectedPath(), fixture.home() + "/Invoices 2025");
    EXPECT_EQ(box.asked, 0);

    tree.selectFolder(fixture.model().index(0, 0));
    tree.newFolder();
    EXPECT_EQ(box.asked, 1) << "the computer holds no folders";
    EXPECT_EQ(box.lastTitle, "Create Folder");
}

// Catches F2 that does not start an edit, a rename whose new path the file list never hears
// of, and a refused name that asks twice or renames anyway.
TEST(FolderTree, F2RenamesTheSelectedFolderAndTheSelectionFollows)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("draft");
    fixture.makeFolder("final");
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    QModelIndex draft = fixture.model().pathToItemIdList(fixture.home() + "/draft");
    tree.selectFolder(draft);

    QTest::keyClick(&tree, Qt::Key_F2);
    ASSERT_TRUE(shown.editor());
    // A real box takes the focus from the editor, which commits the edit once more.
    QPointer<QLineEdit> editor = shown.editor();
    box.whileShown = [&] {
        QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        if (editor)
            QCoreApplication::sendEvent(editor, &focusOut);
    };
    shown.typeName("final");
    box.whileShown = nullptr;
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastTitle, "Change FolderName");
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/draft"));

    int selections = shown.selected().size();
    tree.renameSelected();
    ASSERT_TRUE(shown.editing());
    shown.typeName("released");
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/released"));
    EXPECT_EQ(tree.currentIndex().data().toString(), "released");
    ASSERT_EQ(shown.selected().size(), selections + 1);
    EXPECT_EQ(shown.lastSelectedPath(), fixture.home() + "/released");
}

// Catches a delete without asking, one that goes on after Cancel, and a selection left on the
// deleted folder.
TEST(FolderTree, DeleteAsksThenTrashesAndSelectsTheParent)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("old-tree-drafts/2019");
    fixture.makeFolder("other");
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    AnsweringMessageBox box(MessageBox::Answer::Cancel);
    tree.selectFolder(fixture.model().pathToItemIdList(fixture.home() + "/old-tree-drafts"));

    QTest::keyClick(&tree, Qt::Key_Delete);
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastTitle, "Delete Folder");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::OkCancel);
    EXPECT_TRUE(box.lastText.contains("old-tree-drafts")) << box.lastText.toStdString();
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/old-tree-drafts/2019"));

    box.setAnswer(MessageBox::Answer::Ok);
    int selections = shown.selected().size();
    tree.deleteSelected();
    EXPECT_FALSE(fs::exists(fixture.home().toStdString() + "/old-tree-drafts"));
    EXPECT_TRUE(fs::is_directory(shellTestTrash() + "/files/old-tree-drafts/2019"));
    EXPECT_EQ(tree.currentIndex(), fixture.place(0));
    ASSERT_EQ(shown.selected().size(), selections + 1) << "only the parent is told";
    EXPECT_EQ(shown.lastSelectedPath(), fixture.home());
}

// Catches the keys reaching a place: the user's home must never go to the trash or be renamed.
TEST(FolderTree, KeysLeaveThePlacesAlone)
{
    FolderTreeFixture fixture;
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    for (QModelIndex fixed : { fixture.model().index(0, 0), fixture.place(0) }) {
        tree.selectFolder(fixed);
        QTest::keyClick(&tree, Qt::Key_Delete);
        QTest::keyClick(&tree, Qt::Key_F2);
        EXPECT_FALSE(shown.editing());
    }
    EXPECT_EQ(box.asked, 0);
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString()));
}

// Catches a folder made by another program that stays invisible after its parent is opened.
TEST(FolderTree, ExpandingShowsFoldersMadeMeanwhile)
{
    FolderTreeFixture fixture;
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    QModelIndex home = fixture.place(0);
    tree.expand(home);
    EXPECT_EQ(fixture.childLabels(home), QStringList({ "Documents" }));
    tree.collapse(home);
    fixture.makeFolder("from elsewhere");
    tree.expand(home);
    QStringList both { "Documents", "from elsewhere" };
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.childLabels(home) == both; }, 20000))
        << fixture.childLabels(home).join(", ").toStdString();
}

// What a screen reader is told: the tree by its name and every shown row by its text.
TEST(FolderTree, ScreenReaderReadsTheRows)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("letters");
    ShownTree shown(fixture);
    FolderTree& tree = shown.tree();
    tree.expand(fixture.place(0));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&tree);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Folders");
    QAccessibleTableInterface* table = accessible->tableInterface();
    ASSERT_NE(table, nullptr);
    // The home's folders are read off the GUI thread and laid out from the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return table->rowCount() == 6; }, 20000));
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QAccessibleInterface* cell = table->cellAt(row, 0);
        rows << (cell ? cell->text(QAccessible::Name) : QString("<no cell>"));
    }
    EXPECT_EQ(rows, QStringList({ "Computer", "Home", "Documents", "letters", "Documents", "File System" }));
}
