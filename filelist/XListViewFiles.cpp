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

// The row that shows the entry's file: the entry's own row where it still does, else wherever
// the name is now; -1 when no row shows it.
int rowOfEntry(FileListView* list, const ListItem& entry)
{
    const FileListModel* model = list->fileModel();
    QByteArray name(entry.getName().getText());
    int row = entry.getIndex();
    if (row >= 0 && row < model->rowCount() && model->rowAt(row).name == name)
        return row;
    for (row = 0; row < model->rowCount(); ++row) {
        if (model->rowAt(row).name == name)
            return row;
    }
    return -1;
}

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
        // The list may have been filled again while the entries were out (a drag runs the event
        // loop), so a row goes only when it still shows the entry's file.
        int row = rowOfEntry(list, *entry);
        if (row >= 0)
            list->fileModel()->removeRowAt(row);
    }
}
