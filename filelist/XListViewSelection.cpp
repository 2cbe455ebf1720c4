#include "filelist/XListView.h"

#include "classify/EncryptedFileFinder.h"
#include "classify/FileType.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/String.h"

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

// Adds the full path of every selected row that counts, judged by its row's kind.
template <typename Counts> int32_t addSelectedPaths(FileListView* list, LinkedList& paths, Counts counts)
{
    int32_t added = 0;
    for (int row : list->selectedRows()) {
        QByteArray fullPath = list->fileModel()->fullPath(row);
        if (counts(fullPath, list->fileModel()->rowAt(row).kind)) {
            addPath(paths, fullPath);
            ++added;
        }
    }
    return added;
}

}

int32_t XListView_GetLastSelelctedItem(FileListView* list)
{
    QList<int> rows = list->selectedRows();
    return rows.isEmpty() ? -1 : rows.last();
}

int32_t XListView_GetOfficeFileNamesList(FileListView* list, LinkedList& entries)
{
    int32_t added = 0;
    for (int row : list->selectedRows()) {
        const FileListRow& shown = list->fileModel()->rowAt(row);
        entries.addFirst(
            std::make_unique<ListItem>(shown.name.constData(), row, shown.kind != PROTECTION_NONE, ""));
        ++added;
    }
    return added;
}

int32_t XListView_GetOfficePDFFilesList(FileListView* list, LinkedList& paths)
{
    return addSelectedPaths(list, paths, isPublishable);
}

int32_t XListView_GetProtectedOfficePDFFilesList(FileListView* list, LinkedList& paths)
{
    return addSelectedPaths(list, paths, [](const QByteArray& fullPath, ProtectionKind kind) {
        return kind == PROTECTION_PASSWORD && isOfficeOrPdf(fullPath);
    });
}

int32_t XListView_GetNonEncSelectedFilesList(FileListView* list, LinkedList& paths, int32_t& protectedCount)
{
    int32_t added = 0;
    EncryptedFileFinder finder(list->trace());
    for (int row : list->selectedRows()) {
        QByteArray fullPath = list->fileModel()->fullPath(row);
        // The file is judged as it is now, not as it was when its row was made.
        ProtectionKind kind = PROTECTION_NONE;
        if (finder.isEncryptedFile(fullPath.constData(), kind)) {
            ++protectedCount;
            continue;
        }
        addPath(paths, fullPath);
        ++added;
    }
    return added;
}

int32_t XListView_SelectAll(FileListView* list)
{
    list->selectAll();
    int rows = list->fileModel()->rowCount();
    if (rows > 0 && !list->currentIndex().isValid())
        list->selectionModel()->setCurrentIndex(
            list->fileModel()->index(0, 0), QItemSelectionModel::NoUpdate);
    return rows;
}
