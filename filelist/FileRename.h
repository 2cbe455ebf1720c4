#pragma once

#include <QString>

#include <cstdint>

class FileListController;
class QByteArray;

// Renaming a row's file in place, as the edit of its name begins and ends. A refused name opens
// a new edit of the same row once the message has been answered.
class FileRename {
public:
    explicit FileRename(FileListController& list);

    // The row whose name the edit that begins now is of (the highest selected), or -1.
    int32_t XListView_BeginLabelEdit();
    // The end of an edit that was not cancelled, with the edit box's text: 1 when the file now has
    // the new name and the row is to show it, 0 when the row keeps its old name.
    int32_t XListView_EndLabelEdit(const QString& editText);
    // The menu's Change Name, which refuses a protected row.
    void XListView_ChangeNameFromMenu();
    // True when folder holds a file (not a folder) of that name, as the file system compares
    // names.
    static bool XListView_FileNameExists(const char* folder, const char* name);
    bool XListView_IsValidNewName(const char* oldName, const char* newName);

    int32_t rowUnderEdit() const { return m_rowUnderEdit; }

private:
    void restartEdit();
    int32_t renameOnlyLetterCase(const QByteArray& oldName, const QByteArray& newName);
    int32_t renameChecked(const QByteArray& oldName, const QByteArray& newName);
    void showRenameError(const QString& text);

    FileListController& m_list;
    int32_t m_rowUnderEdit = -1;
};
