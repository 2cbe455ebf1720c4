#include "FileUri.h"
#include "PointerScript.h"
#include "ScreenListTest.h"

#include "tests/support/ReadFile.h"

#include <QTest>

#include <filesystem>

namespace {

enum class Ending { Drop, Escape };

// How long nothing must happen for a test to believe that nothing will.
constexpr int QuietMs = 700;

class DragOutOfList : public ScreenListTest {
protected:
    // Presses on the row, drags the selected rows onto the peer and drops them there or, with
    // the button still down, presses Escape. Returns when the list's drag has ended: the
    // script's last step runs inside the drag's loop, which the script waits to leave.
    ::testing::AssertionResult dragToPeer(
        const std::string& row, const QStringList& peerArguments, Ending ending)
    {
        if (!startPeer("target", peerArguments))
            return ::testing::AssertionFailure() << "no peer";
        QPoint from = pointOnRow(row);
        QPoint to = peer().window().center();
        PointerScript script;
        script.pressAndPull(from)
            .moveAlong(from, to)
            .waitUntil("the drag over the peer", [this] { return peer().said("enter"); })
            .moveTo(to + QPoint(5, 5))
            .pause(200);
        if (ending == Ending::Escape)
            script.tap("Escape").waitUntil(
                "the drag to leave the peer", [this] { return peer().said("leave"); });
        script.release();
        return play(script);
    }
};

}

// A target that moves the files itself and answers with no action: the file is where the
// target put it and the row of the moved file leaves the list; the row of the file that was not
// dragged stays.
TEST_F(DragOutOfList, ATargetThatMovesTheFileItselfTakesItsRowAway)
{
    std::string dragged = fixture().write("two words.docx", "the dragged document");
    fixture().write("stays.docx", "not dragged");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({ "two words.docx" });

    ASSERT_TRUE(dragToPeer(
        "two words.docx", { "--move-to", QString::fromStdString(elsewhere().path()) }, Ending::Drop));

    ASSERT_TRUE(peer().waitForLine("drop ")) << peer().transcript().toStdString();
    EXPECT_TRUE(peer().lineAfter("drop ").endsWith(" urls=" + fileUri(dragged)))
        << peer().transcript().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !std::filesystem::exists(dragged); }, 10000));
    EXPECT_EQ(readFile(elsewhere().file("two words.docx")), "the dragged document");
    EXPECT_TRUE(waitForNoRow("two words.docx")) << "the moved file's row is still in the list";
    EXPECT_GE(fixture().rowOf("stays.docx"), 0);
}

// A target that takes the drop as it is offered gets every selected row's file, from the list's
// last row up; the list deletes none of them and keeps their rows, whatever the action was.
TEST_F(DragOutOfList, ATargetThatTakesTheDropLeavesFilesAndRows)
{
    std::string first = fixture().write("a report.docx", "first");
    std::string second = fixture().write("b memo.doc", "second");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({ "a report.docx", "b memo.doc" });

    ASSERT_TRUE(dragToPeer("a report.docx", {}, Ending::Drop));

    ASSERT_TRUE(peer().waitForLine("drop ")) << peer().transcript().toStdString();
    EXPECT_TRUE(peer().lineAfter("drop ").endsWith(" urls=" + fileUri(second) + " " + fileUri(first)))
        << peer().transcript().toStdString();
    QTest::qWait(QuietMs);
    EXPECT_EQ(readFile(first), "first");
    EXPECT_EQ(readFile(second), "second");
    EXPECT_EQ(fixture().names(), QStringList({ "a report.docx", "b memo.doc" }));
}

// Escape while the button is down ends the drag undropped: the target gets nothing, no file is
// changed and no row leaves the list.
TEST_F(DragOutOfList, EscapeCancelsTheDrag)
{
    std::string dragged = fixture().write("two words.docx", "the dragged document");
    ASSERT_NO_FATAL_FAILURE(showList());
    fixture().select({ "two words.docx" });

    ASSERT_TRUE(dragToPeer(
        "two words.docx", { "--move-to", QString::fromStdString(elsewhere().path()) }, Ending::Escape));

    QTest::qWait(QuietMs);
    EXPECT_FALSE(peer().said("drop")) << peer().transcript().toStdString();
    EXPECT_EQ(readFile(dragged), "the dragged document");
    EXPECT_FALSE(std::filesystem::exists(elsewhere().file("two words.docx")));
    EXPECT_EQ(fixture().names(), QStringList({ "two words.docx" }));
    EXPECT_EQ(selectedNames(), QStringList({ "two words.docx" }));
}
