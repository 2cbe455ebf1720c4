#include "filelist/FileRename.h"

#include "filelist/FileListController.h"
#include "filelist/FileListModel.h"
#include "filelist/RenameRules.h"
#include "foundation/Log.h"
#include "platform/FileOperations.h"

#include <QFile>
#include <QTimer>

namespace {

const QString changeFileNameTitle = QStringLiteral("Change FileName");

// Never replaces a file: on this file system "Report.doc" and "report.DOC" are two files, so
// even a rename that only changes letter case must not take the place of another one. On a file
// system that ignores case (a FAT stick) such a rename finds the file itself, and goes through.
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

}

FileRename::FileRename(FileListController& list)
    : m_list(list)
{
}

void FileRename::showRenameError(const QString& text)
{
    m_list.showError(changeFileNameTitle, text);
}

// Opens a new edit of the same row once the refused one has closed, holding the row's name as
// it still is.
void FileRename::restartEdit()
{
    int32_t row = m_rowUnderEdit;
    if (row < 0)
        return;
    QTimer::singleShot(0, &m_list, [list = &m_list, row] { list->XListView_EditLabel(row); });
}

int32_t FileRename::renameOnlyLetterCase(const QByteArray& oldName, const QByteArray& newName)
{
    if (renameInFolder(m_list.model().currentFolder(), oldName, newName))
        return 1;
    showRenameError(
        couldNotRename(QFile::decodeName(oldName), QFile::decodeName(newName)) + QStringLiteral(" \n"));
    return 0;
}

int32_t FileRename::renameChecked(const QByteArray& oldName, const QByteArray& newName)
{
    const QByteArray& folder = m_list.model().currentFolder();
    if (XListView_FileNameExists(folder.constData(), newName.constData())) {
        showRenameError(QStringLiteral("Error: The same file name already exists."));
        restartEdit();
        return 0;
    }
    if (!XListView_IsValidNewName(oldName.constData(), newName.constData())) {
        restartEdit();
        logDebug("XListView_EndLabelEdit,6,End");
        return 0;
    }
    int32_t result = 1;
    if (!renameInFolder(folder, oldName, newName)) {
        showRenameError(couldNotRename(QFile::decodeName(oldName), QFile::decodeName(newName)));
        result = 0;
    }
    logDebug("XListView_EndLabelEdit,6,End");
    return result;
}

int32_t FileRename::XListView_BeginLabelEdit()
{
    m_rowUnderEdit = m_list.XListView_GetLastSelelctedItem();
    logDebug("XListView_BeginLabelEdit,indexLabelEdit=%d", m_rowUnderEdit);
    return m_rowUnderEdit;
}

int32_t FileRename::XListView_EndLabelEdit(const QString& editText)
{
    int32_t row = m_rowUnderEdit;
    logDebug("XListView_EndLabelEdit,2,indexLabelEdit=%d", row);
    if (row < 0 || row >= m_list.model().rowCount()) {
        logError("XListView_EndLabelEdit,3,Failed to get a text");
        return 0;
    }
    QByteArray oldName = m_list.model().rowAt(row).name;
    QByteArray newName = QFile::encodeName(editText);
    logDebug("XListView_EndLabelEdit,4,text=%s", newName.constData());
    if (editText.isEmpty()) {
        showRenameError(QStringLiteral("Error: Please enter the file name."));
        restartEdit();
        return 0;
    }
    // A name that is not valid text is shown with stand-in characters; handing it back
    // untouched is no change, not a wish for the stand-ins.
    QString shownName = QFile::decodeName(oldName);
    if (newName == oldName || editText == shownName)
        return 0;
    if (editText.compare(shownName, Qt::CaseInsensitive) == 0)
        return renameOnlyLetterCase(oldName, newName);
    return renameChecked(oldName, newName);
}

void FileRename::XListView_ChangeNameFromMenu()
{
    int32_t row = m_list.XListView_GetLastSelelctedItem();
    if (row < 0)
        return;
    const FileListRow& shown = m_list.model().rowAt(row);
    if (shown.kind != PROTECTION_NONE) {
        showRenameError(QStringLiteral("Cannot change file name for encrypted file:'%1'")
                            .arg(QFile::decodeName(shown.name)));
        return;
    }
    m_list.XListView_EditLabel(row);
}

bool FileRename::XListView_FileNameExists(const char* folder, const char* name)
{
    // The file system itself says whether the name is taken: here names differ in every byte
    // ("Report.doc" and "report.doc" are two files), on a FAT stick they ignore letter case.
    std::string path = std::string(folder) + name;
    return platform::fileOperations::entryExists(path)
        && !platform::fileOperations::attributes(path).isDirectory;
}

bool FileRename::XListView_IsValidNewName(const char* oldName, const char* newName)
{
    QString newText = QFile::decodeName(newName);
    if (!RenameRules::keepsExtension(QFile::decodeName(oldName), newText)) {
        showRenameError(QStringLiteral("Error: You cannot change the file extension!"));
        return false;
    }
    if (RenameRules::hasForbiddenCharacter(newText)) {
        showRenameError(QStringLiteral("Error: You cannot use the characters \\/:*?\"<>| in the filename!"));
        return false;
    }
    return true;
}
