#include "ListDesktop.h"

#include "filelist/DocumentLauncher.h"
#include "filelist/FileListController.h"
#include "filelist/FileListModel.h"
#include "filelist/ListCommand.h"
#include "filelist/PublishJobStarter.h"
#include "filelist/ShellDataObject.h"
#include "foundation/Exception.h"
#include "foundation/Iterator.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "platform/ChildProcess.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/ListFilling.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Publishing jobs belong to the job machinery; here it is enough to see what the list asked for
// and to end the job when the test says so.
class RecordingStarter final : public PublishJobStarter {
public:
    void startJob(const LinkedList& paths, int32_t command, std::function<void()> ended) override
    {
        if (failure)
            throw Exception(failure, 1);
        for (Iterator* node = paths.getHead(); node; node = node->getNext())
            started.push_back(static_cast<const String*>(node->getElement())->getText());
        commands.push_back(command);
        end = std::move(ended);
    }

    std::vector<std::string> started;
    std::vector<int32_t> commands;
    std::function<void()> end;
    const char* failure = nullptr;
};

// The controller over a model of a real temporary folder, with no widget anywhere: each test
// ends by checking that none was made.
class Controller : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_widgets = QApplication::allWidgets().size();
        list->setMessageBox(&box);
    }
    void TearDown() override { EXPECT_EQ(QApplication::allWidgets().size(), m_widgets); }

    void show()
    {
        list->XListView_ShowFiles((folder.path() + "/").c_str());
        waitUntilFilled(model);
    }
    void select(const std::vector<std::string>& names)
    {
        selection.clearSelection();
        for (const std::string& name : names)
            list->selectRow(static_cast<int>(rows().indexOf(QString::fromStdString(name))));
    }
    QStringList rows() const
    {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names << QString::fromUtf8(model.rowAt(row).name);
        return names;
    }
    bool exists(const std::string& name) const { return fs::exists(folder.file(name)); }

    TemporaryFolder folder;
    FileListModel model;
    QItemSelectionModel selection { &model };
    DocumentLauncher launcher;
    RecordingStarter starter;
    AnsweringMessageBox box { MessageBox::Answer::Ok };
    std::unique_ptr<FileListController> list = std::make_unique<FileListController>(
        model, selection, launcher, *QApplication::clipboard(), starter);

private:
    qsizetype m_widgets = 0;
};

}

TEST_F(Controller, DeleteMovesTheSelectedFilesToTheTrashOnlyWhenAnsweredOk)
{
    const std::string trash = listDesktop().dataHome() + "/Trash";
    folder.write("controller-kept.doc", "kept");
    folder.write("controller-trashed.doc", "trashed");
    show();
    select({ "controller-trashed.doc" });
    box.setAnswer(MessageBox::Answer::Cancel);
    list->XListView_OnKeyDown(FileListController::KeyDelete);
    EXPECT_EQ(box.asked, 1);
    EXPECT_TRUE(exists("controller-trashed.doc"));
    EXPECT_EQ(rows().size(), 2);

    box.setAnswer(MessageBox::Answer::Ok);
    list->XListView_RunCommand(ListCommand::Delete);
    EXPECT_EQ(box.lastText, "Are you sure you want to move the selected 1 files to the TrashBox?");
    EXPECT_EQ(rows(), QStringList { "controller-kept.doc" });
    EXPECT_FALSE(exists("controller-trashed.doc"));
    EXPECT_EQ(::readFile(trash + "/files/controller-trashed.doc"), "trashed");
}

// Catches files taken by the row numbers of before the question when the rows moved while it
// was open (a new file came before them), a row dropped for a file the trash refused, and such
// a refusal not told.
TEST_F(Controller, DeleteTakesTheFilesSelectedAfterTheQuestionAndKeepsWhatTheTrashRefused)
{
    folder.write("b.doc", "b");
    folder.write("c.doc", "c");
    show();
    select({ "c.doc" });
    box.whileShown = [this] { list->XListView_InsertFileItem(folder.write("a.doc", "a").c_str()); };
    list->XListView_OnKeyDown(FileListController::KeyDelete);
    EXPECT_EQ(rows(), (QStringList { "a.doc", "b.doc" }));
    EXPECT_FALSE(exists("c.doc"));
    EXPECT_TRUE(exists("b.doc"));

    ScratchMount stick(folder.file("stick"), { "mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs" });
    if (!stick.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << stick.reason();
    folder.write("stick/kept.doc", "kept");
    ASSERT_TRUE(
        platform::ChildProcess::run({ "mount", "-o", "remount,ro", folder.file("stick") }, 60s).succeeded());
    list->XListView_ShowFiles((folder.file("stick") + "/").c_str());
    waitUntilFilled(model);
    box.whileShown = nullptr;
    select({ "kept.doc" });
    list->XListView_RunCommand(ListCommand::Delete);
    EXPECT_EQ(box.asked, 3);
    EXPECT_EQ(box.lastTitle, "Delete Files");
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Error);
    EXPECT_TRUE(box.lastText.startsWith("Error: Couldn't move the files below to the TrashBox"));
    EXPECT_TRUE(box.lastText.contains("folder.\n\nkept.doc (")) << box.lastText.toStdString();
    EXPECT_EQ(rows(), QStringList { "kept.doc" });
    EXPECT_EQ(::readFile(folder.file("stick/kept.doc")), "kept");
}

// A refused name says why and asks the view for a new edit of the row; an accepted one renames
// the file on disk.
TEST_F(Controller, RenameRefusesWithItsMessageThenRenames)
{
    folder.write("a.doc", "kept");
    show();
    select({ "a.doc" });
    QSignalSpy edits(list.get(), &FileListController::labelEditRequested);
    ASSERT_EQ(list->fileRename().XListView_BeginLabelEdit(), 0);
    EXPECT_EQ(list->fileRename().XListView_EndLabelEdit("b?.doc"), 0);
    EXPECT_EQ(box.lastText, "Error: You cannot use the characters \\/:*?\"<>| in the filename!");
    ASSERT_TRUE(edits.wait(2000));
    EXPECT_EQ(edits.takeFirst().at(0).toInt(), 0);

    EXPECT_EQ(list->fileRename().XListView_EndLabelEdit("b.doc"), 1);
    EXPECT_FALSE(exists("a.doc"));
    EXPECT_EQ(::readFile(folder.file("b.doc")), "kept");
}

// Paste and drop bring a file in the same way: a file of the same name is replaced only when
// the user says so, and otherwise stays as it was, byte for byte; a move removes its source only
// once the copy is in place.
TEST_F(Controller, PasteAndDropReplaceAnExistingFileOnlyWhenAnsweredOk)
{
    TemporaryFolder elsewhere;
    const std::vector<std::string> incoming { elsewhere.write("report.docx", "new bytes") };
    folder.write("report.docx", "old bytes");
    show();
    QApplication::clipboard()->setMimeData(ShellDataObject::create(incoming));
    box.setAnswer(MessageBox::Answer::Cancel);
    list->XListView_RunCommand(ListCommand::Paste);
    EXPECT_EQ(list->fileImport().XListView_DragDropFiles(&incoming, FileImport::Transfer::Move).taken, 0);
    EXPECT_EQ(box.texts.size(), 2);
    EXPECT_EQ(box.texts.first(), box.texts.last());
    EXPECT_TRUE(box.lastText.endsWith("already exists in the destination drop target.\r\nAre you sure you "
                                      "want to overwrite it?"));
    EXPECT_EQ(::readFile(folder.file("report.docx")), "old bytes");
    EXPECT_EQ(::readFile(incoming.front()), "new bytes");

    box.setAnswer(MessageBox::Answer::Ok);
    list->XListView_RunCommand(ListCommand::Paste);
    EXPECT_EQ(::readFile(folder.file("report.docx")), "new bytes");
    EXPECT_TRUE(fs::exists(incoming.front())) << "a paste copies";
    folder.write("report.docx", "old bytes");
    EXPECT_EQ(list->fileImport().XListView_DragDropFiles(&incoming, FileImport::Transfer::Move).taken, 1);
    EXPECT_EQ(::readFile(folder.file("report.docx")), "new bytes");
    EXPECT_FALSE(fs::exists(incoming.front()));
    EXPECT_EQ(rows(), QStringList { "report.docx" });
}

TEST_F(Controller, RefreshRemovesVanishedFilesAndF5ListsTheFolderAgain)
{
    folder.write("a.doc", "a");
    folder.write("b.doc", "b");
    show();
    select({ "a.doc", "b.doc" });
    LinkedList entries;
    list->XListView_GetOfficeFileNamesList(entries);
    fs::remove(folder.file("a.doc"));
    list->XListView_Refresh(entries);
    EXPECT_EQ(rows(), QStringList { "b.doc" });

    fs::remove(folder.file("b.doc"));
    folder.write("c.doc", "c");
    EXPECT_EQ(list->XListView_OnKeyDown(FileListController::KeyF5), 1);
    waitUntilFilled(model);
    EXPECT_EQ(rows(), QStringList { "c.doc" });
}

// Only unprotected files are handed to the starter; the list shows the job's output once the
// job has ended, and a job that ends after its list is gone touches nothing.
TEST_F(Controller, PublishHandsOnlyUnprotectedFilesToTheStarterAndRefillsAtTheEnd)
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    const std::string locked = std::string(source ? source : ".")
        + "/../shared/corpus/office-crypto/ecma376standard_password.docx";
    ASSERT_TRUE(fs::exists(locked)) << locked;
    fs::copy_file(locked, folder.file("locked.docx"));
    folder.write("plain.doc", "plain");
    show();
    select({ "locked.docx" });
    list->XListView_RunCommand(ID_PUBLISH_AS_PDF);
    EXPECT_EQ(box.lastText, "Encrypt: Please select unencrypted files by PWD.");
    EXPECT_EQ(box.lastTitle, "Vaultrix");
    EXPECT_TRUE(starter.commands.empty());

    select({ "locked.docx", "plain.doc" });
    list->XListView_RunCommand(ID_PUBLISH_AS_PDF);
    EXPECT_EQ(starter.commands, std::vector<int32_t> { ID_PUBLISH_AS_PDF });
    EXPECT_EQ(starter.started, std::vector<std::string> { folder.file("plain.doc") });
    folder.write("plain.doc.pdf", "output");
    starter.end();
    waitUntilFilled(model);
    EXPECT_EQ(rows(), (QStringList { "locked.docx", "plain.doc", "plain.doc.pdf" }));

    starter.failure = "no thread for the job";
    select({ "plain.doc" });
    LogCapture log;
    list->XListView_PublishSelectedFiles(ID_PUBLISH_AS_HTML);
    EXPECT_TRUE(log.contains("XListView_PublishSelectedFiles,1,no thread for the job"));

    list.reset();
    folder.write("late.doc", "late");
    starter.end();
    EXPECT_FALSE(model.isFilling());
    EXPECT_EQ(rows().size(), 3);
}
