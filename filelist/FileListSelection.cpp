#include "filelist/FileListSelection.h"

#include "classify/EncryptedFileFinder.h"
#include "classify/FileType.h"
#include "filelist/FileListModel.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/String.h"

#include <QItemSelectionModel>

#include <algorithm>
#include <memory>

namespace {

bool isOfficeOrPdf(const QByteArray& fullPath)
{
    FileType type;
    return type.isOfficeFile(fullPath.constData()) || type.endsWith(fullPath.constData(), ".pdf");
}

// Counted in P: what a job could publish, unless a password stands in the way.
bool isPublishable(const QByteArray& fullPath, ProtectionKind kind)
{
    FileType type;
    return (type.isOfficeFile(fullPath.constData()) && kind != PROTECTION_IRM)
        || type.endsWith(fullPath.constData(), ".pdf");
}

void addPath(LinkedList& paths, const QByteArray& fullPath)
{
    paths.addLast(std::make_unique<String>(fullPath.constData()));
}

}

FileListSelection::FileListSelection(FileListModel& model, QItemSelectionModel& selection)
    : m_model(model)
    , m_selection(selection)
{
}

QList<int> FileListSelection::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_selection.selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int32_t FileListSelection::XListView_GetLastSelelctedItem() const
{
    QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.last();
}

int32_t FileListSelection::XListView_GetOfficeFileNamesList(LinkedList& entries) const
{
    int32_t added = 0;
    for (int row : selectedRows()) {
        const FileListRow& shown = m_model.rowAt(row);
        entries.addFirst(
            std::make_unique<ListItem>(shown.name.constData(), row, shown.kind != PROTECTION_NONE, ""));
        ++added;
    }
    return added;
}

template <typename Counts> int32_t FileListSelection::addSelectedPaths(LinkedList& paths, Counts counts) const
{
    int32_t added = 0;
    for (int row : selectedRows()) {
        QByteArray fullPath = m_model.fullPath(row);
        if (counts(fullPath, m_model.rowAt(row).kind)) {
            addPath(paths, fullPath);
            ++added;
        }
    }
    return added;
}

int32_t FileListSelection::XListView_GetOfficePDFFilesList(LinkedList& paths) const
{
    return addSelectedPaths(paths, isPublishable);
}

int32_t FileListSelection::XListView_GetProtectedOfficePDFFilesList(LinkedList& paths) const
{
    return addSelectedPaths(paths, [](const QByteArray& fullPath, ProtectionKind kind) {
        return kind == PROTECTION_PASSWORD && isOfficeOrPdf(fullPath);
    });
}

int32_t FileListSelection::XListView_GetNonEncSelectedFilesList(
    LinkedList& paths, int32_t& protectedCount) const
{
    int32_t added = 0;
    for (int row : selectedRows()) {
        QByteArray fullPath = m_model.fullPath(row);
        // The file is judged as it is now, not as it was when its row was made.
        ProtectionKind kind = PROTECTION_NONE;
        if (EncryptedFileFinder().isEncryptedFile(fullPath.constData(), kind)) {
            ++protectedCount;
            continue;
        }
        addPath(paths, fullPath);
        ++added;
    }
    return added;
}

int32_t FileListSelection::XListView_SelectAll()
{
    int rows = m_model.rowCount();
    if (rows == 0)
        return 0;
    QItemSelection all(m_model.index(0, 0), m_model.index(rows - 1, FileListModel::ColumnCount - 1));
    m_selection.select(all, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!m_selection.currentIndex().isValid())
        m_selection.setCurrentIndex(m_model.index(0, 0), QItemSelectionModel::NoUpdate);
    return rows;
}

void FileListSelection::clear()
{
    m_selection.clearSelection();
}

void FileListSelection::select(int row)
{
    m_selection.select(m_model.index(row, FileListModel::NameColumn),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
