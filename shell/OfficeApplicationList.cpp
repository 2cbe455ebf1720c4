#include "shell/OfficeApplicationList.h"

#include "shell/OfficeApplicationIcon.h"

#include <QCollator>
#include <QHeaderView>

#include <algorithm>

namespace {

struct ColumnSpec {
    const char* title;
    int width;
};

constexpr ColumnSpec columns[OfficeApplicationList::ColumnCount] = {
    { "Application Name", 240 },
    { "User Name", 120 },
    { "Domain Name", 120 },
};

}

OfficeApplicationList::OfficeApplicationList(QWidget* parent)
    : QTreeWidget(parent)
{
    setupColumns();
    setupSelection();
    setupAccessibility();
}

void OfficeApplicationList::setupColumns()
{
    setColumnCount(ColumnCount);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    QStringList titles;
    for (const ColumnSpec& column : columns)
        titles << QString::fromLatin1(column.title);
    setHeaderLabels(titles);
    for (int column = 0; column < ColumnCount; ++column) {
        setColumnWidth(column, columns[column].width);
        headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    }
    // The rows keep their own order, so a click on a column title has nothing to sort.
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
}

void OfficeApplicationList::setupSelection()
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selected row stays marked when the window loses the focus to the office application
    // that the user is about to close.
    QPalette colours = palette();
    colours.setColor(
        QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
        colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void OfficeApplicationList::setupAccessibility()
{
    setAccessibleName(QStringLiteral("Office applications"));
    setAccessibleDescription(QStringLiteral("The office application windows that are still open"));
    header()->setAccessibleName(QStringLiteral("Office application columns"));
}

void OfficeApplicationList::setRows(const std::vector<OfficeApplicationRow>& rows)
{
    std::vector<OfficeApplicationRow> sorted = rows;
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    order.setNumericMode(true);
    std::stable_sort(sorted.begin(), sorted.end(), [&order](const auto& left, const auto& right) {
        return order.compare(QString::fromStdString(left.title), QString::fromStdString(right.title)) < 0;
    });
    clear();
    for (const OfficeApplicationRow& row : sorted) {
        auto* item = new QTreeWidgetItem(this);
        item->setText(ApplicationName, QString::fromStdString(row.title));
        // A long window title is cut off at the column's edge; the whole of it shows on hovering.
        item->setToolTip(ApplicationName, item->text(ApplicationName));
        item->setText(UserName, QString::fromStdString(row.account));
        item->setText(DomainName, QString::fromStdString(row.domain));
        item->setIcon(ApplicationName, OfficeApplicationIcon::load(row.icon));
    }
}
