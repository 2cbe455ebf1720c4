#include "filelist/XListView.h"

#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "foundation/Iterator.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/Log.h"
#include "platform/FileOperations.h"

#include <QGuiApplication>
#include <QHeaderView>

namespace {

// The wait cursor for as long as the list is being filled, whatever happens on the way.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}

void XListView_SetColumns(FileListView* list, int32_t displayFormat)
{
    logDebug("XListView_SetColumns,1,displayFormat=%d", displayFormat);
    list->fileModel()->removeAllRows();
    list->resetColumnWidths();
}

void XListView_ShowFiles(FileListView* list, const char* folder)
{
    QByteArray shown = folder ? QByteArray(folder) : QByteArray();
    logDebug("XListView_ShowFiles,1,folder=%s", shown.constData());
    list->setEnabled(!shown.isEmpty());
    WaitCursor waiting;
    list->setUpdatesEnabled(false);
    list->fileModel()->showFolder(shown);
    list->setUpdatesEnabled(true);
}

int32_t XListView_InsertFileItem(FileListView* list, const char* fullPath)
{
    return list->fileModel()->insertFile(QByteArray(fullPath));
}

void XListView_InsertDroppedFile(FileListView* list, const char* fullPath)
{
    int32_t row = XListView_InsertFileItem(list, fullPath);
    if (row < 0)
        return;
    QModelIndex index = list->fileModel()->index(row, FileListModel::NameColumn);
    list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void XListView_Refresh(FileListView* list, const LinkedList& entries)
{
    for (Iterator* node = entries.getHead(); node; node = node->getNext()) {
        const auto* entry = static_cast<const ListItem*>(node->getElement());
        QByteArray fullPath = list->fileModel()->currentFolder() + entry->getName().getText();
        logDebug("XListView_Refresh,1,fullpath=%s", fullPath.constData());
        if (platform::fileOperations::entryExists(fullPath.toStdString()))
            continue;
        logDebug("XListView_Refresh,2,removed fullpath=%s", fullPath.constData());
        if (entry->getIndex() >= 0 && entry->getIndex() < list->fileModel()->rowCount())
            list->fileModel()->removeRowAt(entry->getIndex());
    }
}
