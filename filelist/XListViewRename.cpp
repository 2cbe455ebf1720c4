#include "filelist/XListView.h"

#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "filelist/RenameRules.h"
#include "foundation/Log.h"
#include "platform/FileOperations.h"
#include "platform/FolderEntries.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QTimer>

namespace {

void showRenameError(FileListView* list, const QString& text)
{
    MessageBox::current().show(
        list, QStringLiteral("Change FileName"), text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}

// Opens a new edit of the same row once the refused one has closed, holding the row's name as
// it still is.
void restartEdit(FileListView* list)
{
    int32_t row = list->rowUnderEdit();
    if (row < 0)
        return;
    QTimer::singleShot(0, list, [list, row] { XListView_EditLabel(list, row); });
}

// Never replaces a file: on this file system "Report.doc" and "report.DOC" are two files, so
// even a rename that only changes letter case must not take the place of another one.
bool renameInFolder(const QByteArray& folder, const QByteArray& oldName, const QByteArray& newName)
{
    int error = 0;
    return platform::fileOperations::renameNoReplace(
        (folder + oldName).toStdString(), (folder + newName).toStdString(), error);
}

QString couldNotRename(const QString& oldName, const QString& newName)
{
    return QStringLiteral("Error: Couldn't change the file name '%1' to\n'%2'.").arg(oldName, newName);
}

int32_t renameOnlyLetterCase(FileListView* list, const QByteArray& oldName, const QByteArray& newName)
{
    if (renameInFolder(list->fileModel()->currentFolder(), oldName, newName))
        return 1;
    showRenameError(
        list, couldNotRename(QFile::decodeName(oldName), QFile::decodeName(newName)) + QStringLiteral(" \n"));
    return 0;
}

int32_t renameChecked(FileListView* list, const QByteArray& oldName, const QByteArray& newName)
{
    const QByteArray& folder = list->fileModel()->currentFolder();
    if (XListView_FileNameExists(list, folder.constData(), newName.constData())) {
        showRenameError(list, QStringLiteral("Error: The same file name already exists."));
        restartEdit(list);
        return 0;
    }
    if (!XListView_IsValidNewName(list, oldName.constData(), newName.constData())) {
        restartEdit(list);
        logDebug("XListView_EndLabelEdit,6,End");
        return 0;
    }
    int32_t result = 1;
    if (!renameInFolder(folder, oldName, newName)) {
        showRenameError(list, couldNotRename(QFile::decodeName(oldName), QFile::decodeName(newName)));
        result = 0;
    }
    logDebug("XListView_EndLabelEdit,6,End");
    return result;
}

}

void XListView_EditLabel(FileListView* list, int32_t row)
{
    logDebug("ListView::LVM_EDITLABEL");
    if (row < 0 || row >= list->fileModel()->rowCount())
        return;
    list->edit(list->fileModel()->index(row, FileListModel::NameColumn));
}

int32_t XListView_BeginLabelEdit(FileListView* list)
{
    int32_t row = XListView_GetLastSelelctedItem(list);
    list->setRowUnderEdit(row);
    logDebug("XListView_BeginLabelEdit,indexLabelEdit=%d", row);
    return row;
}

int32_t XListView_EndLabelEdit(FileListView* list, const QString& editText)
{
    int32_t row = list->rowUnderEdit();
    logDebug("XListView_EndLabelEdit,2,indexLabelEdit=%d", row);
    if (row < 0 || row >= list->fileModel()->rowCount()) {
        logError("XListView_EndLabelEdit,3,Failed to get a text");
        return 0;
    }
    QByteArray oldName = list->fileModel()->rowAt(row).name;
    QByteArray newName = QFile::encodeName(editText);
    logDebug("XListView_EndLabelEdit,4,text=%s", newName.constData());
    if (editText.isEmpty()) {
        showRenameError(list, QStringLiteral("Error: Please enter the file name."));
        restartEdit(list);
        return 0;
    }
    // A name that is not valid text is shown with stand-in characters; handing it back
    // untouched is no change, not a wish for the stand-ins.
    QString shownName = QFile::decodeName(oldName);
    if (newName == oldName || editText == shownName)
        return 0;
    if (editText.compare(shownName, Qt::CaseInsensitive) == 0)
        return renameOnlyLetterCase(list, oldName, newName);
    return renameChecked(list, oldName, newName);
}

bool XListView_FileNameExists(FileListView*, const char* folder, const char* name)
{
    QString wanted = QFile::decodeName(name);
    for (const std::string& entry : platform::FolderEntries::names(folder)) {
        if (QFile::decodeName(QByteArray::fromStdString(entry)).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (!platform::fileOperations::attributes(std::string(folder) + entry).isDirectory)
            return true;
    }
    return false;
}

bool XListView_IsValidNewName(FileListView* list, const char* oldName, const char* newName)
{
    QString newText = QFile::decodeName(newName);
    if (!RenameRules::keepsExtension(QFile::decodeName(oldName), newText)) {
        showRenameError(list, QStringLiteral("Error: You cannot change the file extension!"));
        return false;
    }
    if (RenameRules::hasForbiddenCharacter(newText)) {
        showRenameError(
            list, QStringLiteral("Error: You cannot use the characters \\/:*?\"<>| in the filename!"));
        return false;
    }
    return true;
}
