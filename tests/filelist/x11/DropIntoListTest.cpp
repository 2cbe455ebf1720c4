#include "PointerScript.h"
#include "ScreenListTest.h"

#include "tests/filelist/Screenshot.h"
#include "tests/support/ReadFile.h"

#include <QImage>
#include <QTest>

#include <filesystem>

namespace {

enum class KeyHeld { None, Ctrl };

class DropIntoList : public ScreenListTest {
protected:
    // Drags the files out of the peer and drops them on the list below its rows, with the key
    // held from before the press until the drop is over. The drop is over when the list has
    // handled it: its drop event has come and gone.
    ::testing::AssertionResult dragFromPeer(const std::vector<std::string>& files, KeyHeld key)
    {
        QStringList arguments;
        for (const std::string& file : files)
            arguments << QString::fromStdString(file);
        if (!startPeer("source", arguments))
            return ::testing::AssertionFailure() << "no peer";
        QPoint from = peer().window().center();
        QPoint to = pointBelowRows();
        PointerScript script;
        if (key == KeyHeld::Ctrl)
            script.keyDown("ctrl");
        script.pressAndPull(from)
            .waitUntil("the peer's drag to start", [this] { return peer().said("started"); })
            .moveAlong(from, to)
            .waitUntil("the drag over the list", [this] { return dragEvents().moved() >= 2; })
            .moveTo(to + QPoint(5, 5))
            .pause(200)
            .release()
            .waitUntil("the list to take the drop", [this] { return dragEvents().dropped() >= 1; });
        if (key == KeyHeld::Ctrl)
            script.keyUp("ctrl");
        return play(script);
    }
};

}

// A Word document dropped without a key is moved: it is in the list's folder with its bytes, gone
// from where it came from, and its row is the only one selected. The list after the drop is
// saved beside the build for a person to look at.
TEST_F(DropIntoList, WithoutAKeyADocumentIsMoved)
{
    fixture().write("older.docx", "already here");
    std::string source = elsewhere().write("two words.docx", "the dropped document");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({ "older.docx" });

    ASSERT_TRUE(dragFromPeer({ source }, KeyHeld::None));

    EXPECT_EQ(fixture().readFile("two words.docx"), "the dropped document");
    EXPECT_FALSE(std::filesystem::exists(source));
    EXPECT_EQ(selectedNames(), QStringList({ "two words.docx" }));
    ASSERT_TRUE(peer().waitForLine("result ")) << peer().transcript().toStdString();
    EXPECT_EQ(peer().lineAfter("result "), "2");

    QImage shot = list().grab().toImage();
    EXPECT_TRUE(shot.save(screenshotPath("filelist-drop.png")));
    int row = fixture().rowOf("two words.docx");
    ASSERT_GE(row, 0);
    QRect band = list().visualRect(fixture().model().index(row, 0)).translated(list().viewport()->pos());
    EXPECT_TRUE(drawnIn(shot, band));
}

// With Ctrl held the same drop copies: the source stays.
TEST_F(DropIntoList, WithCtrlHeldADocumentIsCopied)
{
    std::string source = elsewhere().write("été.xlsx", "the dropped workbook");
    ASSERT_NO_FATAL_FAILURE(showList());

    ASSERT_TRUE(dragFromPeer({ source }, KeyHeld::Ctrl));

    EXPECT_EQ(fixture().readFile("été.xlsx"), "the dropped workbook");
    EXPECT_EQ(readFile(source), "the dropped workbook");
    EXPECT_EQ(selectedNames(), QStringList({ "été.xlsx" }));
    ASSERT_TRUE(peer().waitForLine("result ")) << peer().transcript().toStdString();
    EXPECT_EQ(peer().lineAfter("result "), "1");
}

// PDF and text files are not documents the list takes by drop: nothing is copied, no row comes,
// and the sources stay, though the drop was not refused.
TEST_F(DropIntoList, APdfOrTextFileIsNotTaken)
{
    std::string pdf = elsewhere().write("scan.pdf", "%PDF-1.4");
    std::string text = elsewhere().write("notes.txt", "notes");
    ASSERT_NO_FATAL_FAILURE(showList());

    ASSERT_TRUE(dragFromPeer({ pdf, text }, KeyHeld::None));

    EXPECT_FALSE(std::filesystem::exists(fixture().folder().file("scan.pdf")));
    EXPECT_FALSE(std::filesystem::exists(fixture().folder().file("notes.txt")));
    EXPECT_EQ(fixture().names(), QStringList());
    EXPECT_EQ(readFile(pdf), "%PDF-1.4");
    EXPECT_EQ(readFile(text), "notes");
    EXPECT_EQ(boxes().asked, 0) << boxes().lastText.toStdString();
}

// A folder dropped with a document is left where it is, without a word; the document comes in.
TEST_F(DropIntoList, AFolderIsSkippedWithoutAMessage)
{
    std::string folder = elsewhere().path() + "/letters.doc";
    std::filesystem::create_directory(folder);
    elsewhere().write("letters.doc/inside.doc", "inside");
    std::string memo = elsewhere().write("memo.doc", "a memo");
    ASSERT_NO_FATAL_FAILURE(showList());

    ASSERT_TRUE(dragFromPeer({ folder, memo }, KeyHeld::None));

    EXPECT_EQ(fixture().readFile("memo.doc"), "a memo");
    EXPECT_FALSE(std::filesystem::exists(memo));
    EXPECT_FALSE(std::filesystem::exists(fixture().folder().file("letters.doc")));
    EXPECT_EQ(readFile(folder + "/inside.doc"), "inside");
    EXPECT_EQ(selectedNames(), QStringList({ "memo.doc" }));
    EXPECT_EQ(boxes().asked, 0) << boxes().lastText.toStdString();
}
