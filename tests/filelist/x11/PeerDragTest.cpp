#include "FileUri.h"
#include "PeerProcess.h"
#include "PointerScript.h"

#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

QString geometryText(const QRect& rect)
{
    return QStringLiteral("%1,%2,%3,%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

}

// Two programs of the display exchange a drag without the list: when this fails, the display,
// xdotool or the peer are at fault, not the list, whose drag tests rest on the same path. The
// target moves the file itself and answers the drop with no action; the source's drag has
// returned before that answer, with the action of the target's last reply while the drag was
// over it (move), and before the file was moved: what a source learns from the drag alone.
TEST(PeerDrag, ATargetThatMovesTheFileItselfLeavesTheSourceWithTheOfferedMove)
{
    TemporaryFolder from;
    TemporaryFolder to;
    std::string file = from.write("two words.docx", "a document");
    QRect sourceWindow(40, 40, 320, 240);
    QRect targetWindow(800, 120, 320, 240);
    PeerProcess target({ "target", "--geometry", geometryText(targetWindow), "--move-to",
        QString::fromStdString(to.path()) });
    PeerProcess source({ "source", "--geometry", geometryText(sourceWindow), QString::fromStdString(file) });
    ASSERT_TRUE(target.waitForLine("ready ")) << target.transcript().toStdString();
    ASSERT_TRUE(source.waitForLine("ready ")) << source.transcript().toStdString();

    PointerScript script;
    script.pressAndPull(sourceWindow.center())
        .waitUntil("the drag to start", [&] { return source.said("started"); })
        .moveAlong(sourceWindow.center(), targetWindow.center())
        .waitUntil("the drag to come over the target", [&] { return target.said("enter"); })
        .moveTo(targetWindow.center() + QPoint(5, 5))
        .pause(200)
        .release()
        .waitUntil("the source's result", [&] { return source.said("result"); });
    ASSERT_TRUE(script.run()) << script.failure().toStdString() << "\n"
                              << source.transcript().toStdString() << target.transcript().toStdString();

    ASSERT_TRUE(target.waitForLine("drop ")) << target.transcript().toStdString();
    EXPECT_EQ(target.lineAfter("drop "), "action=2 urls=" + fileUri(file));
    EXPECT_EQ(source.lineAfter("result "), "2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !std::filesystem::exists(file); }, 10000));
    EXPECT_EQ(readFile(to.file("two words.docx")), "a document");
}
