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
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

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

namespace {

std::string passwordDocument()
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    return std::string(source ? source : ".")
        + "/../shared/corpus/office-crypto/ecma376standard_password.docx";
}

// The folder of a child run under the held-opens library: its files cannot be opened while the
// gate file exists (both named by the parent, which alone can set the library's variables).
struct HeldFolder {
    std::string folder = std::getenv("PRESSLING_HELD_FOLDER");
    std::string gate = std::getenv("PRESSLING_HELD_GATE");

    std::string file(const std::string& name) const { return folder + name; }
    void hold() const { std::ofstream(gate).put('x'); }
    void release() const { fs::remove(gate); }
};

// Runs Controller.DISABLED_<test> in a child of this program whose opens of files in a folder
// of its own wait while a gate file exists.
void runHeld(const std::string& test)
{
    TemporaryFolder held;
    fs::create_directory(held.file("documents"));
    ScopedEnvironment folder("PRESSLING_HELD_FOLDER", held.file("documents") + "/");
    ScopedEnvironment gate("PRESSLING_HELD_GATE", held.file("gate"));
    ScopedEnvironment preload("LD_PRELOAD", HELD_OPENS_LIBRARY);
    auto result = platform::ChildProcess::run(
        { "/proc/self/exe", "--gtest_also_run_disabled_tests", "--gtest_filter=Controller.DISABLED_" + test },
        300s);
    EXPECT_TRUE(result.succeeded()) << result.standardOutput << result.standardError;
    EXPECT_NE(result.standardOutput.find("[  PASSED  ] 1 test."), std::string::npos) << result.standardOutput;
}

}

// The rows come while their protection is still being tested; a publish command then waits for
// the answers, and the password-protected document never reaches the job.
TEST(LiveList, PublishWaitsForTheProtectionOfTheSelectedRows)
{
    runHeld("HeldPublishWaitsForTheProtectionOfTheSelectedRows");
}

TEST_F(Controller, DISABLED_HeldPublishWaitsForTheProtectionOfTheSelectedRows)
{
    HeldFolder held;
    fs::copy_file(passwordDocument(), held.file("locked.docx"));
    std::ofstream(held.file("plain.doc")) << "plain";
    held.hold();
    list->XListView_ShowFiles(held.folder.c_str());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return rows() == QStringList({ "locked.docx", "plain.doc" });
        },
        60000));
    EXPECT_TRUE(model.isFilling());
    EXPECT_FALSE(model.protectionKnown({ "locked.docx" }));
    select({ "locked.docx", "plain.doc" });
    list->XListView_RunCommand(ID_PUBLISH_AS_PDF);
    EXPECT_TRUE(list->isWaiting());
    EXPECT_TRUE(starter.commands.empty());

    held.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !starter.commands.empty(); }, 60000));
    EXPECT_EQ(starter.started, std::vector<std::string> { held.file("plain.doc") });
    EXPECT_EQ(model.rowAt(0).protectionText, "PWD");
    EXPECT_FALSE(list->isWaiting());
}

// Showing the folder again opens none of its files while they are unchanged; a file rewritten in
// place, with its size and time kept, is tested again.
TEST(LiveList, AnswersAreKeptWhileTheFilesAreUnchanged)
{
    runHeld("HeldAnswersAreKeptWhileTheFilesAreUnchanged");
}

TEST_F(Controller, DISABLED_HeldAnswersAreKeptWhileTheFilesAreUnchanged)
{
    HeldFolder held;
    fs::copy_file(passwordDocument(), held.file("locked.docx"));
    std::ofstream(held.file("plain.doc")) << "plain";
    list->XListView_ShowFiles(held.folder.c_str());
    waitUntilFilled(model);
    held.hold();
    list->XListView_ShowFiles(held.folder.c_str());
    waitUntilFilled(model);
    EXPECT_EQ(model.rowAt(0).protectionText, "PWD");

    struct stat before;
    ASSERT_EQ(::stat(held.file("plain.doc").c_str(), &before), 0);
    // Written as another program would, past the library that holds this process's opens.
    int file = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, held.file("plain.doc").c_str(), O_WRONLY));
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "PLAIN", 5), 5);
    ::close(file);
    timespec times[2] = { before.st_atim, before.st_mtim };
    ASSERT_EQ(::utimensat(AT_FDCWD, held.file("plain.doc").c_str(), times, 0), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.protectionKnown({ "plain.doc" }); }, 60000));
    held.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.protectionKnown({ "plain.doc" }); }, 60000));
    EXPECT_EQ(model.rowAt(1).kind, PROTECTION_NONE);
}

// Other programs write, rewrite and remove files while the list shows the folder: the rows
// follow without F5, a pasted row stays, and a folder removed takes its rows and its watch.
TEST_F(Controller, RowsFollowWhatOtherProgramsDoInTheFolder)
{
    folder.write("a.doc", "a");
    show();
    ASSERT_TRUE(model.isWatched());
    auto run = [](const std::vector<std::string>& command) {
        ASSERT_TRUE(platform::ChildProcess::run(command, 60s).succeeded());
    };
    auto kindOf = [&](const char* name) {
        int row = static_cast<int>(rows().indexOf(name));
        return row >= 0 && model.rowAt(row).protectionKnown ? model.rowAt(row).protectionText : QString("?");
    };
    run({ "cp", passwordDocument(), folder.file("new.docx") });
    ASSERT_TRUE(QTest::qWaitFor([&] { return kindOf("new.docx") == "PWD"; }, 60000))
        << rows().join(' ').toStdString();
    folder.write("sheet.xls", "pasted");
    list->XListView_InsertDroppedFile(folder.file("sheet.xls").c_str());

    run({ "sh", "-c", "printf plain > " + folder.file("new.docx") });
    ASSERT_TRUE(QTest::qWaitFor([&] { return kindOf("new.docx") == ""; }, 60000));
    run({ "rm", folder.file("new.docx"), folder.file("a.doc") });
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == QStringList { "sheet.xls" }; }, 60000))
        << rows().join(' ').toStdString();

    run({ "rm", "-r", folder.path() });
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows().isEmpty() && !model.isWatched(); }, 60000));
}

// A folder chosen while the one before is still being listed: only its own rows ever show.
TEST_F(Controller, AFolderChosenDuringAListingShowsOnlyItsOwnRows)
{
    for (int file = 0; file < 3000; ++file)
        folder.write("old" + std::to_string(file) + ".doc", "old");
    TemporaryFolder chosen;
    chosen.write("new.doc", "new");
    list->XListView_ShowFiles((folder.path() + "/").c_str());
    list->XListView_ShowFiles((chosen.path() + "/").c_str());
    waitUntilFilled(model);
    EXPECT_EQ(rows(), QStringList { "new.doc" });
    // Whatever the old listing still had in hand has had time to arrive, and none did.
    QTest::qWait(200);
    EXPECT_EQ(rows(), QStringList { "new.doc" });
}
