#include "FileUri.h"
#include "ScreenListTest.h"
#include "XclipOwner.h"

#include "filelist/ListCommand.h"
#include "filelist/XListView.h"
#include "tests/support/ReadFile.h"

#include <filesystem>

namespace {

// How another program puts a list of files on the clipboard: under which type, in which words.
struct ForeignClipboard {
    const char* name;
    const char* type;
    QByteArray (*encode)(const QByteArrayList& uris);
};

QByteArray gnomeCopy(const QByteArrayList& uris)
{
    return "copy\n" + uris.join('\n');
}

// A cut in a GNOME file manager: the list still copies, the files stay where they are.
QByteArray gnomeCut(const QByteArrayList& uris)
{
    return "cut\n" + uris.join('\n');
}

QByteArray uriList(const QByteArrayList& uris)
{
    QByteArray list;
    for (const QByteArray& uri : uris)
        list += uri + "\r\n";
    return list;
}

void PrintTo(const ForeignClipboard& clipboard, std::ostream* out)
{
    *out << clipboard.name;
}

class PasteFromAnotherProgram : public ScreenListTest,
                                public testing::WithParamInterface<ForeignClipboard> { };
class PasteFromTheClipboard : public ScreenListTest { };

}

// Two files of another folder, one with a space and one with a name outside ASCII, come in by
// their percent-encoded URIs: both are copied byte for byte, are the only rows selected, and
// stay where they were.
TEST_P(PasteFromAnotherProgram, CopiesEveryFileAndSelectsOnlyTheirRows)
{
    fixture().write("already here.docx", "old");
    std::string spaced = elsewhere().write("two words.docx", "the first document");
    std::string accented = elsewhere().write("été.doc", "the second document");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({ "already here.docx" });

    XclipOwner owner(GetParam().type, GetParam().encode({ fileUri(spaced), fileUri(accented) }));
    ASSERT_TRUE(owner.waitUntilOffered()) << owner.errors().toStdString();
    EXPECT_EQ(list().controller().fileImport().XListView_QueryCliboard(), 2);
    list().controller().XListView_RunCommand(ListCommand::Paste);

    EXPECT_EQ(fixture().readFile("two words.docx"), "the first document");
    EXPECT_EQ(fixture().readFile("été.doc"), "the second document");
    EXPECT_EQ(readFile(spaced), "the first document");
    EXPECT_EQ(readFile(accented), "the second document");
    QStringList selected = selectedNames();
    selected.sort();
    EXPECT_EQ(selected, QStringList({ "two words.docx", "été.doc" }));
    EXPECT_GE(fixture().rowOf("already here.docx"), 0);
    EXPECT_EQ(boxes().asked, 0) << boxes().lastText.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Formats, PasteFromAnotherProgram,
    testing::Values(ForeignClipboard { "GnomeCopy", "x-special/gnome-copied-files", gnomeCopy },
        ForeignClipboard { "GnomeCut", "x-special/gnome-copied-files", gnomeCut },
        ForeignClipboard { "UriList", "text/uri-list", uriList },
        ForeignClipboard { "KdeUriList", "application/x-kde4-urilist", uriList }),
    [](const testing::TestParamInfo<ForeignClipboard>& info) { return std::string(info.param.name); });

// Another program copied a file of the folder that the list shows: pasting it there would copy
// the file onto itself, so the user is told and the file is left as it was.
TEST_F(PasteFromTheClipboard, PasteIntoTheFolderTheFileComesFromIsRefused)
{
    std::string own = fixture().write("minutes.docx", "the minutes");
    ASSERT_NO_FATAL_FAILURE(showList());
    XclipOwner owner("x-special/gnome-copied-files", gnomeCopy({ fileUri(own) }));
    ASSERT_TRUE(owner.waitUntilOffered()) << owner.errors().toStdString();

    list().controller().XListView_RunCommand(ListCommand::Paste);

    EXPECT_EQ(boxes().asked, 1);
    EXPECT_EQ(boxes().lastTitle, "Drag & Drop");
    EXPECT_EQ(boxes().lastText,
        QString::fromStdString("Error: Cannot copy the file '" + own
            + "' to the destination folder, because the same file name already exists."));
    EXPECT_EQ(boxes().lastIcon, MessageBox::Icon::Error);
    EXPECT_EQ(readFile(own), "the minutes");
    EXPECT_EQ(fixture().names(), QStringList({ "minutes.docx" }));
}

// A folder on the clipboard is neither counted for the Paste entry nor copied.
TEST_F(PasteFromTheClipboard, PasteSkipsAFolderOnTheClipboard)
{
    std::string folder = elsewhere().path() + "/letters";
    std::filesystem::create_directory(folder);
    std::string memo = elsewhere().write("memo.doc", "a memo");
    ASSERT_NO_FATAL_FAILURE(showList());
    XclipOwner owner("text/uri-list", uriList({ fileUri(folder), fileUri(memo) }));
    ASSERT_TRUE(owner.waitUntilOffered()) << owner.errors().toStdString();

    EXPECT_EQ(list().controller().fileImport().XListView_QueryCliboard(), 1);
    list().controller().XListView_RunCommand(ListCommand::Paste);

    EXPECT_EQ(fixture().readFile("memo.doc"), "a memo");
    EXPECT_FALSE(std::filesystem::exists(fixture().folder().file("letters")));
    EXPECT_EQ(selectedNames(), QStringList({ "memo.doc" }));
    EXPECT_EQ(boxes().asked, 0) << boxes().lastText.toStdString();
}
