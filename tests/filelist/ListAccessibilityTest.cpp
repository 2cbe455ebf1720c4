#include "ListFixture.h"

#include "filelist/XListView.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

QString cellText(QAccessibleTableInterface* table, int row, int column)
{
    QAccessibleInterface* cell = table->cellAt(row, column);
    return cell ? cell->text(QAccessible::Name) : QString("<no cell>");
}

}

// What a screen reader is told: the list as a table with its column headers, a cell per column
// of every row, and the menu's entries by their texts.
TEST(ListAccessibility, ScreenReaderReadsTheRowsColumnsAndMenu)
{
    ListFixture fixture;
    fixture.write("a.doc", std::string(1025, 'x'));
    fixture.write("b.doc.pdf");
    fixture.show();
    fixture.list().show();

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&fixture.list());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), "File list");
    QAccessibleTableInterface* table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->columnCount(), 5);
    EXPECT_EQ(table->columnDescription(0), "FileName");
    EXPECT_EQ(table->columnDescription(4), "Size(KB)");
    EXPECT_TRUE(cellText(table, 0, 0).contains("a.doc")) << cellText(table, 0, 0).toStdString();
    EXPECT_TRUE(cellText(table, 0, 4).contains("2")) << cellText(table, 0, 4).toStdString();
    EXPECT_TRUE(cellText(table, 1, 0).contains("b.doc.pdf"));

    ASSERT_TRUE(fixture.list().XListView_PrepareContextMenu());
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(fixture.list().contextMenu().popup());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
    QStringList entries;
    for (int child = 0; child < menu->childCount(); ++child) {
        QAccessibleInterface* entry = menu->child(child);
        if (entry->role() == QAccessible::MenuItem)
            entries << entry->text(QAccessible::Name);
    }
    EXPECT_EQ(entries.size(), 12) << entries.join(", ").toStdString();
    EXPECT_TRUE(entries.contains("Publish As PDF(&F)") || entries.contains("Publish As PDF(F)"))
        << entries.join(", ").toStdString();
}
