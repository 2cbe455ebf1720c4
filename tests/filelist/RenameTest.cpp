#include "ListFixture.h"

#include "filelist/XListView.h"
#include "platform/ChildProcess.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const QString couldNotChange = QStringLiteral("Error: Couldn't change the file name '%1' to\n'%2'.");

// The rename of one row as the user ends an edit of its name with text.
class Rename : public ::testing::Test {
protected:
    int32_t endEdit(const std::string& oldName, const QString& text)
    {
        fixture.select({ oldName });
        EXPECT_EQ(
            fixture.list().controller().fileRename().XListView_BeginLabelEdit(), fixture.rowOf(oldName));
        return fixture.list().controller().fileRename().XListView_EndLabelEdit(text);
    }

    // The editor that a refused name opens again, once the box is gone.
    QLineEdit* reopenedEditor()
    {
        QLineEdit* editor = nullptr;
        if (!QTest::qWaitFor(
                [&] { return (editor = fixture.list().findChild<QLineEdit*>()) != nullptr; }, 2000))
            return nullptr;
        return editor;
    }

    void closeEditor(QLineEdit* editor)
    {
        emit fixture.list().itemDelegateForColumn(0)->closeEditor(
            editor, QAbstractItemDelegate::RevertModelCache);
        EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.list().findChild<QLineEdit*>() == nullptr; }, 2000));
    }

    bool exists(const std::string& name) const { return fs::exists(fixture.folder().file(name)); }

    ListFixture fixture;
    AnsweringMessageBox box { MessageBox::Answer::Ok };
};

}

// Catches a case-only rename that replaces another file: "report.DOC" beside "Report.doc" is a
// file of its own here.
TEST_F(Rename, LetterCaseOnlyRenamesWithoutReplacingAnotherFile)
{
    fixture.write("Report.doc", "the report");
    fixture.show();
    EXPECT_EQ(endEdit("Report.doc", "report.DOC"), 1);
    EXPECT_EQ(box.asked, 0);
    EXPECT_TRUE(exists("report.DOC"));
    EXPECT_FALSE(exists("Report.doc"));

    fixture.write("Notes.doc", "first");
    fixture.write("notes.DOC", "second");
    fixture.show();
    EXPECT_EQ(endEdit("Notes.doc", "notes.DOC"), 0);
    EXPECT_EQ(box.lastText, couldNotChange.arg("Notes.doc", "notes.DOC") + " \n");
    EXPECT_EQ(box.lastTitle, "Change FileName");
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Error);
    EXPECT_EQ(fixture.readFile("Notes.doc"), "first");
    EXPECT_EQ(fixture.readFile("notes.DOC"), "second");
    // That failure opens no new edit.
    QTest::qWait(50);
    EXPECT_EQ(fixture.list().findChild<QLineEdit*>(), nullptr);
}

TEST_F(Rename, RefusedNamesShowTheirMessageAndEditTheRowAgain)
{
    fixture.write("Report.doc");
    fixture.write("a.doc");
    fixture.write("B.DOC");
    fixture.show();
    struct Case {
        std::string oldName;
        QString newName;
        QString message;
    };
    const Case cases[] = {
        { "Report.doc", "Report.docx", "Error: You cannot change the file extension!" },
        { "a.doc", "b?.doc", "Error: You cannot use the characters \\/:*?\"<>| in the filename!" },
        { "a.doc", "B.DOC", "Error: The same file name already exists." },
        { "a.doc", "", "Error: Please enter the file name." },
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.newName.toStdString());
        int asked = box.asked;
        EXPECT_EQ(endEdit(refused.oldName, refused.newName), 0);
        EXPECT_EQ(box.asked, asked + 1);
        EXPECT_EQ(box.lastText, refused.message);
        QLineEdit* editor = reopenedEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text().toStdString(), refused.oldName);
        closeEditor(editor);
    }
    EXPECT_EQ(fixture.names(), (QStringList { "a.doc", "B.DOC", "Report.doc" }));
    EXPECT_TRUE(exists("a.doc") && exists("B.DOC") && exists("Report.doc"));

    // Names differ in every byte here: "b.doc" beside "B.DOC" is a name of its own.
    EXPECT_EQ(endEdit("a.doc", "b.doc"), 1);
    EXPECT_TRUE(exists("b.doc") && exists("B.DOC"));
}

// Catches a case-only rename refused on a file system that ignores letter case (a FAT stick),
// where the file itself answers to its new name.
TEST_F(Rename, LetterCaseOnlyRenameOnAFatStick)
{
    TemporaryFolder images;
    const std::string image = images.file("stick.img");
    auto formatted = platform::ChildProcess::run({ "mkfs.vfat", "-C", image, "2048" }, 60s);
    if (!formatted.succeeded())
        GTEST_SKIP() << "cannot make a FAT file system: " << formatted.error << formatted.standardError;
    // The kernel's own FAT where it has one, else the same on-disk format through FUSE, told not
    // to keep answers about names, as the kernel's FAT keeps none of another letter case.
    auto stick = std::make_unique<ScratchMount>(
        fixture.folder().path(), std::vector<std::string> { "mount", "-o", "loop", image });
    if (!stick->mounted())
        stick = std::make_unique<ScratchMount>(fixture.folder().path(),
            std::vector<std::string> {
                "fusefat", "-o", "rw+,entry_timeout=0,negative_timeout=0,attr_timeout=0", image });
    if (!stick->mounted())
        GTEST_SKIP() << "cannot mount a FAT file system here: " << stick->reason();
    fixture.write("Report.doc", "the report");
    fixture.show();
    EXPECT_EQ(endEdit("Report.doc", "report.DOC"), 1);
    EXPECT_EQ(box.asked, 0);
    QStringList onDisk;
    for (const auto& entry : fs::directory_iterator(fixture.folder().path()))
        onDisk << QString::fromStdString(entry.path().filename().string());
    EXPECT_EQ(onDisk, QStringList { "report.DOC" });
    EXPECT_EQ(fixture.readFile("report.DOC"), "the report");
}

TEST_F(Rename, ExtensionsCompareWithoutCaseAndUnknownOnesMustBecomeDoc)
{
    fixture.write("Report.docx");
    fixture.show();
    EXPECT_EQ(endEdit("Report.docx", "Summary.DOCX"), 1);
    EXPECT_TRUE(exists("Summary.DOCX"));

    // A pasted file of a kind the list does not show keeps a row until the next filling.
    std::string notes = fixture.write("notes.rtf");
    fixture.list().controller().XListView_InsertDroppedFile(notes.c_str());
    EXPECT_EQ(endEdit("notes.rtf", "notes2.rtf"), 0);
    EXPECT_EQ(box.lastText, "Error: You cannot change the file extension!");
    EXPECT_EQ(endEdit("notes.rtf", "notes.doc"), 1);
    EXPECT_TRUE(exists("notes.doc"));
    EXPECT_EQ(box.asked, 1);
}

// The existence check looks at files only, so a folder in the way is found by the rename itself.
TEST_F(Rename, FolderOfTheNewNameFailsTheRenameWithoutAnotherEdit)
{
    fixture.write("a.doc", "kept");
    fs::create_directory(fixture.folder().file("b.doc"));
    fixture.show();
    LogCapture log;
    EXPECT_EQ(endEdit("a.doc", "b.doc"), 0);
    EXPECT_EQ(box.lastText, couldNotChange.arg("a.doc", "b.doc"));
    EXPECT_TRUE(log.contains("XListView_EndLabelEdit,6,End"));
    EXPECT_EQ(fixture.readFile("a.doc"), "kept");
    EXPECT_TRUE(fs::is_directory(fixture.folder().file("b.doc")));
    QTest::qWait(50);
    EXPECT_EQ(fixture.list().findChild<QLineEdit*>(), nullptr);
}

TEST_F(Rename, SameNameDoesNothing)
{
    fixture.write("a.doc");
    fixture.show();
    EXPECT_EQ(endEdit("a.doc", "a.doc"), 0);
    EXPECT_EQ(box.asked, 0);
    EXPECT_TRUE(exists("a.doc"));
}

// The user's own way: F2, a new name and Enter, or Escape, which must leave everything as it was.
// The Enter that ends the edit belongs to the edit: it must not go on to the list and open the
// selected files, as Enter on the list does.
TEST_F(Rename, EditorOpenedByF2RenamesOnEnterAndEscapeCancelsSilently)
{
    TemporaryRegistry registry;
    TemporaryFolder opened;
    registry.writeClassesFile(
        "[HKEY_CLASSES_ROOT\\.doc]\n@=\"Pressling.Test\"\n\n"
        "[HKEY_CLASSES_ROOT\\Pressling.Test\\shell\\open\\command]\n@=\"/bin/cp \\\"%1\\\" "
        + opened.path() + "\"\n");
    fixture.write("a.doc");
    fixture.write("z.doc");
    fixture.show();
    fixture.list().show();
    fixture.select({ "a.doc", "z.doc" });
    QTest::keyClick(&fixture.list(), Qt::Key_F2);
    QLineEdit* editor = reopenedEditor();
    ASSERT_NE(editor, nullptr);
    // The highest selected row is the one renamed.
    EXPECT_EQ(editor->text(), "z.doc");
    LogCapture log;
    editor->setText("renamed.doc");
    QTest::keyClick(editor, Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_TRUE(log.contains("XListView_EndLabelEdit,1,VK_ESC check"));
    EXPECT_TRUE(exists("z.doc"));
    EXPECT_EQ(box.asked, 0);

    QTest::keyClick(&fixture.list(), Qt::Key_F2);
    editor = reopenedEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText("0 renamed.doc");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return exists("0 renamed.doc"); }, 2000));
    EXPECT_FALSE(exists("z.doc"));
    // The renamed row moves to its place in the order, still the current one.
    EXPECT_EQ(fixture.names(), (QStringList { "0 renamed.doc", "a.doc" }));
    EXPECT_EQ(fixture.list().currentIndex().row(), 0);
    EXPECT_EQ(box.asked, 0);
    QTest::qWait(300);
    EXPECT_TRUE(fs::is_empty(opened.path())) << "the Enter of the edit opened the selected files";
}

// F2 edits a protected row as any other; the menu's Change Name refuses it.
TEST_F(Rename, MenuRefusesProtectedRowsThatF2Edits)
{
    ASSERT_NO_FATAL_FAILURE(fixture.copyPasswordDocument("locked.docx"));
    fixture.show();
    ASSERT_EQ(fixture.model().rowAt(0).kind, PROTECTION_PASSWORD);
    fixture.list().show();
    fixture.select({ "locked.docx" });
    fixture.list().controller().XListView_RunCommand(32793);
    EXPECT_EQ(box.lastText, "Cannot change file name for encrypted file:'locked.docx'");
    EXPECT_EQ(box.lastTitle, "Change FileName");
    QTest::qWait(20);
    EXPECT_EQ(fixture.list().findChild<QLineEdit*>(), nullptr);

    QTest::keyClick(&fixture.list(), Qt::Key_F2);
    EXPECT_NE(reopenedEditor(), nullptr);
    EXPECT_EQ(box.asked, 1);
}

// A name that is not valid UTF-8 is renamed from its exact bytes; handing its shown text back
// unchanged renames nothing.
TEST_F(Rename, NameThatIsNotUtf8IsRenamedFromItsBytes)
{
    const std::string odd = "caf\xe9.doc";
    fixture.write(odd, "bytes");
    fixture.show();
    ASSERT_EQ(fixture.model().rowCount(), 1);
    fixture.list().selectionModel()->select(
        fixture.model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    fixture.list().controller().fileRename().XListView_BeginLabelEdit();
    EXPECT_EQ(fixture.list().controller().fileRename().XListView_EndLabelEdit(
                  fixture.model().data(fixture.model().index(0, 0)).toString()),
        0);
    EXPECT_TRUE(exists(odd));
    EXPECT_EQ(fixture.list().controller().fileRename().XListView_EndLabelEdit("clean.doc"), 1);
    EXPECT_FALSE(exists(odd));
    EXPECT_EQ(fixture.readFile("clean.doc"), "bytes");
}

// Renaming a symlink renames the link; the document it names keeps its name.
TEST_F(Rename, SymlinkIsRenamedItselfNotItsTarget)
{
    TemporaryFolder elsewhere;
    std::string target = elsewhere.write("target.doc", "target");
    fs::create_symlink(target, fixture.folder().file("link.doc"));
    fixture.show();
    EXPECT_EQ(endEdit("link.doc", "other.doc"), 1);
    EXPECT_TRUE(fs::is_symlink(fixture.folder().file("other.doc")));
    EXPECT_TRUE(fs::exists(target));
}
