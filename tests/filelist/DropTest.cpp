#include "ListFixture.h"

#include "filelist/CDropTarget.h"
#include "filelist/ShellDataObject.h"
#include "filelist/XListView.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/ListFilling.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr int refused = -1;

// A drag from another program that enters the list, moves over it and drops, with the keys held
// and the actions its source allows: the action the list reported, 0 for an ignored drop, or
// refused when the list did not take the drag at all.
int dropOn(FileListView& list, const QMimeData& data, Qt::KeyboardModifiers keys,
    Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction)
{
    const QPoint at(40, 30);
    QDragEnterEvent enter(at, allowed, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(list.viewport(), &enter);
    if (!enter.isAccepted())
        return refused;
    QDragMoveEvent over(at, allowed, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(list.viewport(), &over);
    QDropEvent drop(QPointF(at), allowed, &data, Qt::NoButton, keys);
    QApplication::sendEvent(list.viewport(), &drop);
    return drop.isAccepted() ? static_cast<int>(drop.dropAction()) : 0;
}

std::unique_ptr<QMimeData> filesOf(const std::vector<std::string>& paths)
{
    return std::unique_ptr<QMimeData>(ShellDataObject::create(paths));
}

QStringList selectedNames(ListFixture& fixture)
{
    QStringList names;
    for (int row : fixture.list().selectedRows())
        names << QString::fromStdString(fixture.model().rowAt(row).name.toStdString());
    return names;
}

class Drop : public ::testing::Test {
protected:
    void SetUp() override
    {
        target.write("notes.doc", "notes");
        target.show();
    }

    std::string file(const std::string& name, const std::string& bytes = "dropped bytes")
    {
        return other.write(name, bytes);
    }

    TemporaryFolder other;
    ListFixture target;
    AnsweringMessageBox box { MessageBox::Answer::Ok };
};

}

// The source's keys decide: Ctrl copies, Shift moves, and otherwise a move where the source
// allows one; an effect the source does not allow is never chosen.
TEST(DropEffects, ChooseEffectFollowsTheKeysAndTheSource)
{
    const int32_t both = DropEffect::Copy | DropEffect::Move;
    EXPECT_EQ(CDropTarget::chooseEffect(0, both), DropEffect::Move);
    EXPECT_EQ(CDropTarget::chooseEffect(KeyState::Ctrl, both), DropEffect::Copy);
    EXPECT_EQ(CDropTarget::chooseEffect(KeyState::Shift, both), DropEffect::Move);
    EXPECT_EQ(CDropTarget::chooseEffect(KeyState::Ctrl | KeyState::Shift, both), DropEffect::Copy);
    EXPECT_EQ(CDropTarget::chooseEffect(KeyState::Ctrl, DropEffect::Move), DropEffect::Move);
    EXPECT_EQ(CDropTarget::chooseEffect(KeyState::Shift, DropEffect::Copy), DropEffect::Copy);
    EXPECT_EQ(CDropTarget::chooseEffect(0, DropEffect::Copy), DropEffect::Copy);
    EXPECT_EQ(CDropTarget::chooseEffect(KeyState::LeftButton, DropEffect::None), DropEffect::None);
}

// A Word document dropped without a key is moved (its source goes once the copy is there),
// with Ctrl it is copied; each new row is the only selected one.
TEST_F(Drop, DocumentIsMovedWithoutAKeyAndCopiedWithCtrl)
{
    std::string moved = file("moved.docx", "moved bytes");
    EXPECT_EQ(dropOn(target.list(), *filesOf({ moved }), Qt::NoModifier), Qt::MoveAction);
    EXPECT_FALSE(fs::exists(moved));
    EXPECT_EQ(target.readFile("moved.docx"), "moved bytes");
    EXPECT_EQ(selectedNames(target), QStringList({ "moved.docx" }));

    std::string copied = file("copied.xlsx", "copied bytes");
    EXPECT_EQ(dropOn(target.list(), *filesOf({ copied }), Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(::readFile(copied), "copied bytes");
    EXPECT_EQ(target.readFile("copied.xlsx"), "copied bytes");
    EXPECT_EQ(selectedNames(target), QStringList({ "copied.xlsx" }));
    EXPECT_EQ(box.asked, 0);
}

// Only documents are taken: a PDF, a text file and a folder are left where they are, without a
// message and without a row, and the source is told that nothing happened.
TEST_F(Drop, OtherTypesAndFoldersAreNotTaken)
{
    std::string pdf = file("paper.pdf");
    std::string text = file("readme.txt");
    fs::create_directory(other.file("folder.doc"));
    EXPECT_EQ(dropOn(target.list(), *filesOf({ pdf, text, other.file("folder.doc") }), Qt::NoModifier), 0);
    EXPECT_TRUE(fs::exists(pdf));
    EXPECT_TRUE(fs::exists(text));
    EXPECT_TRUE(fs::is_directory(other.file("folder.doc")));
    EXPECT_EQ(target.names(), QStringList({ "notes.doc" }));
    EXPECT_EQ(box.asked, 0);
}

// A move of which only part came in is reported as a copy, so that a source that removes what
// it believes moved keeps the PDF the list left out; the document itself was moved.
TEST_F(Drop, PartlyTakenMoveIsReportedAsACopy)
{
    std::string document = file("slides.pptx");
    std::string pdf = file("slides.pdf");
    EXPECT_EQ(dropOn(target.list(), *filesOf({ document, pdf }), Qt::NoModifier), Qt::CopyAction);
    EXPECT_FALSE(fs::exists(document));
    EXPECT_TRUE(fs::exists(target.folder().file("slides.pptx")));
    EXPECT_TRUE(fs::exists(pdf));
}

// A source that offers its files for copying only keeps them, although no key is held.
TEST_F(Drop, SourceThatAllowsOnlyACopyKeepsItsFile)
{
    std::string document = file("offered.doc");
    EXPECT_EQ(dropOn(target.list(), *filesOf({ document }), Qt::NoModifier, Qt::CopyAction), Qt::CopyAction);
    EXPECT_TRUE(fs::exists(document));
    EXPECT_TRUE(fs::exists(target.folder().file("offered.doc")));
}

// A drop from the folder the list shows gives the drop's own wording of the same-folder message
// and leaves the file alone; the overwrite question of a file of the same name comes from the
// paste's check, and Cancel keeps both files.
TEST_F(Drop, SameFolderAndExistingFile)
{
    EXPECT_EQ(dropOn(target.list(), *filesOf({ target.folder().file("notes.doc") }), Qt::NoModifier), 0);
    ASSERT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastText,
        "Cannot copy the file '" + QString::fromStdString(target.folder().file("notes.doc"))
            + "' to the destination folder, because the same file name already exists");
    EXPECT_EQ(box.lastTitle, "Drag & Drop");
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Error);
    EXPECT_EQ(target.readFile("notes.doc"), "notes");

    std::string other_notes = file("notes.doc", "other notes");
    box.setAnswer(MessageBox::Answer::Cancel);
    EXPECT_EQ(dropOn(target.list(), *filesOf({ other_notes }), Qt::NoModifier), 0);
    EXPECT_EQ(box.asked, 2);
    EXPECT_TRUE(box.lastText.startsWith("The same file name '"));
    EXPECT_EQ(target.readFile("notes.doc"), "notes");
    EXPECT_EQ(::readFile(other_notes), "other notes");
}

// Data that carries no files is not taken at all: the drag shows that it cannot drop here.
TEST_F(Drop, DataWithoutFilesIsRefused)
{
    QMimeData text;
    text.setText(QString::fromStdString(file("named.doc")));
    EXPECT_EQ(dropOn(target.list(), text, Qt::NoModifier), refused);
    EXPECT_EQ(target.names(), QStringList({ "notes.doc" }));
}

// A move whose copy cannot be completed (the disk is full) keeps the source: the user's only copy
// of the document is never deleted for a copy that is not there.
TEST_F(Drop, MoveWhoseCopyFailsKeepsTheSource)
{
    TemporaryFolder scratch;
    ScratchMount mount(scratch.file("small"), { "mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs" });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    std::string large = file("large.docx", std::string(512 * 1024, 'L'));
    std::string fits = file("fits.docx", "fits");
    XListView_ShowFiles(&target.list(), (scratch.file("small") + "/").c_str());
    waitUntilFilled(target.model());
    EXPECT_EQ(dropOn(target.list(), *filesOf({ large, fits }), Qt::NoModifier), Qt::CopyAction);
    EXPECT_EQ(::readFile(large), std::string(512 * 1024, 'L'));
    EXPECT_FALSE(fs::exists(scratch.file("small/large.docx")));
    EXPECT_FALSE(fs::exists(fits)) << "the next file is still moved";
    EXPECT_EQ(::readFile(scratch.file("small/fits.docx")), "fits");
    EXPECT_EQ(target.names(), QStringList({ "fits.docx" }));
}

// The rights-management owner of each dropped copy is looked up and written to the log: with a
// certificate for the owner, and without one.
TEST_F(Drop, OwnerOfADroppedProtectedDocumentIsLogged)
{
    TemporaryFolder dataHome;
    ScopedEnvironment home("XDG_DATA_HOME", dataHome.path());
    dataHome.write("Microsoft/DRM/CLC-team;klead-1.drm", "certificate");
    const std::string transform = std::string("\x09") + "DRMTransform";
    std::string owned = other.file("owned.doc");
    classifytest::writeRightsProtected(
        owned, transform, classifytest::primaryStream(classifytest::xrmlLicence("team-lead")));
    std::string foreign = other.file("foreign.doc");
    classifytest::writeRightsProtected(
        foreign, transform, classifytest::primaryStream(classifytest::xrmlLicence("somebody-else")));
    LogCapture log;
    dropOn(target.list(), *filesOf({ owned, foreign }), Qt::ControlModifier);
    EXPECT_TRUE(log.contains("XListView_DragDropFiles,9,Found a CLC for owner= team-lead")) << log.text();
    EXPECT_TRUE(log.contains("XListView_DragDropFiles,10,")) << log.text();
    EXPECT_TRUE(log.contains(" " + target.folder().file("foreign.doc"))) << log.text();
    EXPECT_EQ(selectedNames(target), QStringList({ "foreign.doc", "owned.doc" }));
}
