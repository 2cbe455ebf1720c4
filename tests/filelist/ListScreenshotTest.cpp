#include "ListFixture.h"
#include "Screenshot.h"

#include "filelist/XListView.h"
#include "tests/support/CompoundFileWriter.h"

#include <QImage>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

// The list as a user sees it, with a plain, a password and a rights-protected row selected and
// its menu open: saved beside the build for a person to look at, and checked for drawn rows.
TEST(ListScreenshot, ProtectedAndPlainRowsWithTheMenuOpen)
{
    ListFixture fixture;
    fixture.write("Annual report.docx", std::string(40000, 'x'));
    fixture.write("Annual report.docx.pdf", std::string(3000, 'x'));
    fixture.write("minutes.doc", std::string(1025, 'x'));
    ASSERT_NO_FATAL_FAILURE(fixture.copyPasswordDocument("salaries.docx"));
    CompoundFileWriter()
        .stream(std::string("\x06") + "DataSpaces/TransformInfo/\x09" + "DRMTransform/\x06" + "Primary", "p")
        .write(fixture.folder().file("board.doc"));
    fixture.show();
    FileListView& list = fixture.list();
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    fixture.select({ "Annual report.docx", "board.doc", "salaries.docx" });
    ASSERT_TRUE(list.XListView_PrepareContextMenu());
    QTest::qWait(50);

    QImage rows = list.grab().toImage();
    EXPECT_TRUE(rows.save(screenshotPath("filelist.png")));
    QRect firstRow = list.visualRect(fixture.model().index(0, 0)).translated(list.viewport()->pos());
    EXPECT_TRUE(drawnIn(rows, firstRow));

    QMenu* menu = list.contextMenu().popup();
    menu->popup(list.mapToGlobal(QPoint(120, 60)));
    QTest::qWait(50);
    QImage shownMenu = menu->grab().toImage();
    EXPECT_TRUE(shownMenu.save(screenshotPath("filelist-menu.png")));
    EXPECT_TRUE(drawnIn(shownMenu, shownMenu.rect().adjusted(4, 4, -4, -4)));
    menu->hide();
}
