#include "filelist/XListView.h"

#include "filelist/DocumentLauncher.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "filelist/ListCommand.h"
#include "foundation/Exception.h"
#include "foundation/LinkedList.h"
#include "foundation/Log.h"
#include "platform/Trash.h"
#include "filelist/PublishJobStarter.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QPointer>

#include <memory>

namespace {

const QString changeFileNameTitle = QStringLiteral("Change FileName");
const QString programTitle = QStringLiteral("Vaultrix");

void showError(FileListView* list, const QString& title, const QString& text)
{
    MessageBox::current().show(list, title, text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}

}

int32_t XListView_OnKeyDown(FileListView* list, int32_t keyCode)
{
    switch (keyCode) {
    case FileListView::KeyEnter:
        RunSelectedFiles(list);
        return 1;
    case FileListView::KeyDelete:
        XListView_DeleteSelectedFiles(list);
        return 1;
    case FileListView::KeyF2:
        // F2 edits whatever row is selected; only the menu's Change Name refuses protected ones.
        XListView_EditLabel(list, XListView_GetLastSelelctedItem(list));
        return 1;
    case FileListView::KeyF5:
        if (!list->fileModel()->currentFolder().isEmpty())
            XListView_ShowFiles(list, list->fileModel()->currentFolder().constData());
        return 1;
    default:
        return 0;
    }
}

void XListView_RunCommand(FileListView* list, int32_t command)
{
    if (ListCommand::isPublishCommand(command)) {
        XListView_PublishSelectedFiles(list, command);
        return;
    }
    switch (command) {
    case ListCommand::Refresh:
        XListView_ShowFiles(list, list->fileModel()->currentFolder().constData());
        break;
    case ListCommand::Delete:
        XListView_DeleteSelectedFiles(list);
        break;
    case ListCommand::Open:
        RunSelectedFiles(list);
        break;
    case ListCommand::ChangeName:
        XListView_ChangeNameFromMenu(list);
        break;
    case ListCommand::Copy:
        XListView_CopyToClipboard(list);
        break;
    case ListCommand::Paste:
        XListView_PastFromClipboard(list);
        break;
    default:
        break;
    }
}

void RunSelectedFiles(FileListView* list)
{
    QList<int> rows = list->selectedRows();
    logDebug("RunSelectedFiles  selectedCount= %d", static_cast<int>(rows.size()));
    for (int row : rows) {
        QByteArray fullPath = list->fileModel()->fullPath(row);
        logDebug("RunSelectedFiles = %s", fullPath.constData());
        DocumentLauncher().open(fullPath.constData());
    }
}

int32_t XListView_DeleteSelectedFiles(FileListView* list)
{
    QList<int> rows = list->selectedRows();
    if (rows.isEmpty())
        return 1;
    QString question = QStringLiteral("Are you sure you want to move the selected %1 files to the TrashBox?")
                           .arg(rows.size());
    if (MessageBox::current().show(list, QStringLiteral("Delete Files"), question,
            MessageBox::Buttons::OkCancel, MessageBox::Icon::Question)
        != MessageBox::Answer::Ok)
        return 1;
    // From the highest row down, so that removing a row never moves one still to be visited.
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        QByteArray fullPath = list->fileModel()->fullPath(*row);
        int32_t result = XListView_DeleteToTrashBox(list, fullPath.constData());
        logDebug("OnKeyDown,2,Deleted a filePath=%s d=%d", fullPath.constData(), result);
        list->fileModel()->removeRowAt(*row);
    }
    return 1;
}

int32_t XListView_DeleteToTrashBox(FileListView*, const char* path)
{
    return platform::moveToTrash(path);
}

void XListView_ChangeNameFromMenu(FileListView* list)
{
    int32_t row = XListView_GetLastSelelctedItem(list);
    if (row < 0)
        return;
    const FileListRow& shown = list->fileModel()->rowAt(row);
    if (shown.kind != PROTECTION_NONE) {
        showError(list, changeFileNameTitle,
            QStringLiteral("Cannot change file name for encrypted file:'%1'")
                .arg(QFile::decodeName(shown.name)));
        return;
    }
    XListView_EditLabel(list, row);
}

void XListView_PublishSelectedFiles(FileListView* list, int32_t command)
{
    LinkedList paths;
    int32_t protectedCount = 0;
    XListView_GetNonEncSelectedFilesList(list, paths, protectedCount);
    if (paths.getSize() == 0) {
        showError(list, programTitle, QStringLiteral("Encrypt: Please select unencrypted files by PWD."));
        return;
    }
    try {
        // Once the job is over, the list shows what it published, if the list is still there.
        list->jobStarter().startJob(paths, command, [list = QPointer<FileListView>(list)] {
            if (list)
                XListView_ShowFiles(list, list->fileModel()->currentFolder().constData());
        });
    } catch (const Exception& failure) {
        logError("XListView_PublishSelectedFiles,1,%s", failure.getMessage());
    }
}
