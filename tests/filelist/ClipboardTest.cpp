#include "ListFixture.h"

#include "filelist/ListCommand.h"
#include "filelist/XListView.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/ListFilling.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const QString sameFolderMessage = QStringLiteral(
    "Error: Cannot copy the file '%1' to the destination folder, because the same file name already exists.");

QString fileUri(const std::string& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
}

// Puts data on the clipboard as another program would, in one format.
void putOnClipboard(const QString& format, const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(format, bytes);
    QApplication::clipboard()->setMimeData(data);
}

void putUriList(const std::vector<std::string>& paths)
{
    QByteArray list;
    for (const std::string& path : paths)
        list += fileUri(path).toUtf8() + "\r\n";
    putOnClipboard(QStringLiteral("text/uri-list"), list);
}

QStringList selectedNames(ListFixture& fixture)
{
    QStringList names;
    for (int row : fixture.list().selectedRows())
        names << QString::fromStdString(fixture.model().rowAt(row).name.toStdString());
    return names;
}

bool isWritable(const std::string& path)
{
    struct stat status { };
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) != 0;
}

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        QApplication::clipboard()->clear();
        source.write("report.docx", "report bytes");
        source.write("minutes.doc", "minutes bytes");
        source.write("unrelated.doc", "stays behind");
        source.show();
        target.write("notes.doc", "notes");
        target.show();
    }

    void paste() { target.list().controller().XListView_RunCommand(ListCommand::Paste); }

    ListFixture source;
    ListFixture target;
    AnsweringMessageBox box { MessageBox::Answer::Ok };
};

}

// Catches a copy that carries the wrong files, or formats that file managers do not read: the
// two selected rows, as URIs that an independent reader (QUrl) takes for the two full paths, in
// GNOME's list as a copy, and as plain text.
TEST_F(Clipboard, CopyPutsTheSelectedFilesInTheDesktopsFormats)
{
    source.select({ "report.docx", "minutes.doc" });
    source.list().controller().XListView_RunCommand(ListCommand::Copy);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    QStringList paths;
    for (const QUrl& url : data->urls())
        paths << url.toLocalFile();
    paths.sort();
    EXPECT_EQ(paths,
        QStringList({ QString::fromStdString(source.folder().file("minutes.doc")),
            QString::fromStdString(source.folder().file("report.docx")) }));
    QByteArray gnome = data->data(QStringLiteral("x-special/gnome-copied-files"));
    EXPECT_TRUE(gnome.startsWith("copy\nfile://")) << gnome.toStdString();
    EXPECT_EQ(gnome.count('\n'), 2);
    EXPECT_TRUE(data->text().contains(QString::fromStdString(source.folder().file("report.docx"))));
    EXPECT_EQ(box.asked, 0);
}

// The Parts' first case: two rows copied and pasted into another folder shown by the list are
// both copied, get rows, and are the only selected rows; the sources stay.
TEST_F(Clipboard, TwoRowsCopiedAndPastedElsewhereAreTheOnlySelectedRows)
{
    source.select({ "report.docx", "minutes.doc" });
    source.list().controller().XListView_RunCommand(ListCommand::Copy);
    target.select({ "notes.doc" });
    EXPECT_EQ(target.list().controller().fileImport().XListView_QueryCliboard(), 2);
    paste();
    EXPECT_EQ(target.readFile("report.docx"), "report bytes");
    EXPECT_EQ(target.readFile("minutes.doc"), "minutes bytes");
    EXPECT_EQ(selectedNames(target), QStringList({ "minutes.doc", "report.docx" }));
    EXPECT_EQ(target.names(), QStringList({ "minutes.doc", "notes.doc", "report.docx" }));
    EXPECT_EQ(source.readFile("report.docx"), "report bytes");
    EXPECT_FALSE(fs::exists(target.folder().file("unrelated.doc")));
    EXPECT_EQ(box.asked, 0);
}

// Ctrl+C and Ctrl+V on the list copy and paste files, not the text of a row.
TEST_F(Clipboard, DesktopKeysCopyAndPasteFiles)
{
    source.select({ "report.docx" });
    QTest::keyClick(&source.list(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasUrls());
    QTest::keyClick(&target.list(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(target.readFile("report.docx"), "report bytes");
}

// A paste into the folder the files come from gives each the same-folder message and changes
// nothing; so does a file reached through a symlink or a hard link, which a copy would empty.
TEST_F(Clipboard, PasteIntoTheSameFileGivesTheMessageAndChangesNothing)
{
    TemporaryFolder links;
    fs::create_symlink(target.folder().file("notes.doc"), links.file("notes.doc"));
    std::string hard = target.write("hard.doc", "hard bytes");
    fs::create_hard_link(hard, links.file("hard.doc"));
    target.show();
    putUriList({ target.folder().file("notes.doc"), links.file("notes.doc"), links.file("hard.doc") });
    paste();
    ASSERT_EQ(box.asked, 3);
    EXPECT_EQ(box.texts[0], sameFolderMessage.arg(QString::fromStdString(target.folder().file("notes.doc"))));
    EXPECT_EQ(box.texts[1], sameFolderMessage.arg(QString::fromStdString(links.file("notes.doc"))));
    EXPECT_EQ(box.lastTitle, "Drag & Drop");
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Error);
    EXPECT_EQ(target.readFile("notes.doc"), "notes");
    EXPECT_EQ(target.readFile("hard.doc"), "hard bytes");
    EXPECT_EQ(target.names(), QStringList({ "hard.doc", "notes.doc" }));
}

// Cancel on the overwrite question of a read-only file keeps the file as it was, still read-only;
// OK replaces it, and the list keeps one row for it.
TEST_F(Clipboard, OverwriteQuestionOfAReadOnlyFile)
{
    std::string existing = target.write("report.docx", "the old report");
    ::chmod(existing.c_str(), 0444);
    target.show();
    putUriList({ source.folder().file("report.docx") });
    box.setAnswer(MessageBox::Answer::Cancel);
    paste();
    ASSERT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastText,
        "The same file name '" + QString::fromStdString(existing)
            + "' already exists in the destination drop target.\r\nAre you sure you want to overwrite it?");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::OkCancel);
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Question);
    EXPECT_EQ(target.readFile("report.docx"), "the old report");
    EXPECT_FALSE(isWritable(existing)) << "the read-only attribute was cleared before the answer";

    box.setAnswer(MessageBox::Answer::Ok);
    paste();
    EXPECT_EQ(target.readFile("report.docx"), "report bytes");
    EXPECT_EQ(target.names().count("report.docx"), 1);
    EXPECT_EQ(target.names().size(), 2);
}

// A folder of the same name is in the way: its message, and the file is skipped; a folder among
// the pasted names is skipped without one, and so are names that are gone.
TEST_F(Clipboard, FoldersInTheWayAndAmongTheNames)
{
    fs::create_directory(target.folder().file("report.docx"));
    TemporaryFolder other;
    fs::create_directory(other.file("a folder"));
    putUriList({ source.folder().file("report.docx"), other.file("a folder"), other.file("gone.doc"),
        source.folder().file("minutes.doc") });
    EXPECT_EQ(target.list().controller().fileImport().XListView_QueryCliboard(), 2)
        << "folders and missing names are not counted";
    paste();
    ASSERT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastText,
        "Error: Couldn't drop the directory '" + QString::fromStdString(target.folder().file("report.docx"))
            + "' to the destination folder,\r\n because the same name directory already exists");
    EXPECT_TRUE(fs::is_directory(target.folder().file("report.docx")));
    EXPECT_FALSE(fs::exists(target.folder().file("a folder")));
    EXPECT_EQ(target.readFile("minutes.doc"), "minutes bytes");
    EXPECT_EQ(selectedNames(target), QStringList({ "minutes.doc" }));
}

// What other programs put there: GNOME's list (a cut is still a copy here), KDE's own list, and
// names that are not local files or cannot be read as documents: a FIFO and a device must be
// skipped without blocking, a web URI and a relative one ignored.
TEST_F(Clipboard, OtherProgramsFormatsAndUnreadableSources)
{
    putOnClipboard(QStringLiteral("x-special/gnome-copied-files"),
        "cut\n" + fileUri(source.folder().file("report.docx")).toUtf8());
    paste();
    EXPECT_EQ(target.readFile("report.docx"), "report bytes");
    EXPECT_EQ(source.readFile("report.docx"), "report bytes") << "a paste never moves";

    putOnClipboard(QStringLiteral("application/x-kde4-urilist"),
        fileUri(source.folder().file("minutes.doc")).toUtf8() + "\r\n");
    paste();
    EXPECT_EQ(target.readFile("minutes.doc"), "minutes bytes");

    TemporaryFolder odd;
    ASSERT_EQ(::mkfifo(odd.file("pipe.doc").c_str(), 0600), 0);
    putOnClipboard(QStringLiteral("text/uri-list"),
        fileUri(odd.file("pipe.doc")).toUtf8() + "\r\nfile:///dev/zero\r\nhttp://example.com/web.doc\r\n"
            + "web.doc\r\nfile://elsewhere.example" + odd.file("pipe.doc").c_str() + "\r\n");
    EXPECT_EQ(target.list().controller().fileImport().XListView_QueryCliboard(), 2)
        << "the FIFO and the device are no folders";
    paste();
    EXPECT_EQ(box.asked, 0);
    EXPECT_FALSE(fs::exists(target.folder().file("pipe.doc")));
    EXPECT_FALSE(fs::exists(target.folder().file("zero")));
    EXPECT_FALSE(fs::exists(target.folder().file("web.doc")));
}

// Without a folder shown there is nowhere to paste to: nothing is copied, not even into the
// program's working folder.
TEST_F(Clipboard, PasteWhileNoFolderIsShownDoesNothing)
{
    TemporaryFolder working;
    fs::path previous = fs::current_path();
    fs::current_path(working.path());
    XListView_ShowFiles(&target.list(), "");
    putUriList({ source.folder().file("report.docx") });
    paste();
    fs::current_path(previous);
    EXPECT_TRUE(fs::is_empty(working.path()));
    EXPECT_EQ(box.asked, 0);
}

// The user agreed to replace the old file, but the copy cannot be completed (the disk is full):
// the old file must still be there, whole, with no partial copy beside it.
TEST_F(Clipboard, FailedCopyAfterConsentKeepsTheOldFile)
{
    TemporaryFolder scratch;
    ScratchMount mount(scratch.file("small"), { "mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs" });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    std::string large = source.write("large.docx", std::string(512 * 1024, 'L'));
    std::string old = scratch.write("small/large.docx", "the only copy of the old file");
    XListView_ShowFiles(&target.list(), (scratch.file("small") + "/").c_str());
    waitUntilFilled(target.model());
    putUriList({ large });
    paste();
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(::readFile(old), "the only copy of the old file");
    EXPECT_EQ(fs::directory_iterator(scratch.file("small"))->path().filename(), "large.docx");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.file("small")), fs::directory_iterator()), 1);
}
