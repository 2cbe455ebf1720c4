#include "FileUri.h"
#include "ScreenListTest.h"
#include "ToolRun.h"
#include "XclipOwner.h"

#include "filelist/ListCommand.h"
#include "filelist/XListView.h"

#include <algorithm>

namespace {

ToolRun clipboardAs(const char* type)
{
    return ToolRun::of(QStringLiteral("xclip"), { "-o", "-selection", "clipboard", "-t", type });
}

class CopyForAnotherProgram : public ScreenListTest {
protected:
    // The full paths of the rows that are copied, from the list's last row up: the order in
    // which the list collects its selection, and so the order on the clipboard.
    std::vector<std::string> copiedPaths(const std::vector<std::string>& names)
    {
        std::vector<std::string> paths;
        for (const QString& row : fixture().names()) {
            if (std::find(names.begin(), names.end(), row.toStdString()) != names.end())
                paths.insert(paths.begin(), fixture().folder().file(row.toStdString()));
        }
        return paths;
    }
};

}

// What xclip reads back is what a GNOME or KDE file manager would paste: the URIs of the
// selected rows' full paths, percent-encoded, as a URI list with CRLF line ends and as GNOME's
// list after its "copy" line, and the paths as plain text. Names with a space and outside ASCII
// are where an encoding goes wrong.
TEST_F(CopyForAnotherProgram, OtherProgramsReadTheSelectedFilesInEachFormat)
{
    fixture().write("two words.docx", "first");
    fixture().write("été.doc", "second");
    fixture().write("left out.doc", "third");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({ "two words.docx", "été.doc" });
    std::vector<std::string> paths = copiedPaths({ "two words.docx", "été.doc" });
    ASSERT_EQ(paths.size(), 2u);

    list().controller().XListView_RunCommand(ListCommand::Copy);

    ToolRun targets = clipboardAs("TARGETS");
    ASSERT_TRUE(targets.succeeded()) << targets.errors.toStdString();
    QByteArrayList offered = targets.output.split('\n');
    EXPECT_TRUE(offered.contains("text/uri-list")) << targets.output.toStdString();
    EXPECT_TRUE(offered.contains("x-special/gnome-copied-files")) << targets.output.toStdString();

    ToolRun uriList = clipboardAs("text/uri-list");
    ASSERT_TRUE(uriList.succeeded()) << uriList.errors.toStdString();
    EXPECT_EQ(uriList.output.toStdString(),
        (fileUri(paths[0]) + "\r\n" + fileUri(paths[1]) + "\r\n").toStdString());

    ToolRun gnome = clipboardAs("x-special/gnome-copied-files");
    ASSERT_TRUE(gnome.succeeded()) << gnome.errors.toStdString();
    EXPECT_EQ(
        gnome.output.toStdString(), ("copy\n" + fileUri(paths[0]) + "\n" + fileUri(paths[1])).toStdString());

    ToolRun text = clipboardAs("UTF8_STRING");
    ASSERT_TRUE(text.succeeded()) << text.errors.toStdString();
    for (const std::string& path : paths)
        EXPECT_TRUE(text.output.contains(QByteArray::fromStdString(path))) << text.output.toStdString();
    EXPECT_FALSE(text.output.contains("left out.doc")) << text.output.toStdString();
}

// A copy with nothing selected leaves what another program put on the clipboard alone.
TEST_F(CopyForAnotherProgram, NothingSelectedLeavesTheClipboardAsItWas)
{
    fixture().write("memo.doc", "a memo");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({});
    XclipOwner owner("text/uri-list", "file:///elsewhere/kept.doc\r\n");
    ASSERT_TRUE(owner.waitUntilOffered()) << owner.errors().toStdString();

    list().controller().XListView_RunCommand(ListCommand::Copy);

    EXPECT_EQ(clipboardAs("text/uri-list").output.toStdString(), "file:///elsewhere/kept.doc\r\n");
}

// The clipboard keeps the files after the list that copied them is gone, as long as this
// program runs: another program still reads them.
TEST(CopyOutlivesTheList, TheClipboardStillHoldsTheFilesWhenTheListIsGone)
{
    QByteArray expected;
    {
        ListFixture fixture;
        fixture.write("report.docx", "a report");
        fixture.show();
        fixture.select({ "report.docx" });
        expected = fileUri(fixture.folder().file("report.docx")) + "\r\n";
        fixture.list().controller().XListView_RunCommand(ListCommand::Copy);
    }
    ToolRun uriList = clipboardAs("text/uri-list");
    ASSERT_TRUE(uriList.succeeded()) << uriList.errors.toStdString();
    EXPECT_EQ(uriList.output.toStdString(), expected.toStdString());
}
