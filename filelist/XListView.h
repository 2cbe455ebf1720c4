#pragma once

#include <QPoint>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FileListView;
class LinkedList;
class QMimeData;

// The file list's operations under the names the rest of the program knows them by. Each takes
// the list first and runs on the GUI thread. A row's file is always the list's current folder
// followed by the row's name.

// Filling.
// Empties the list (its folder stays) and gives the columns their widths; they are the same
// whatever the display format.
void XListView_SetColumns(FileListView* list, int32_t displayFormat);
// Makes folder (ending with '/', or empty or null for none) the current folder and lists it.
void XListView_ShowFiles(FileListView* list, const char* folder);
// The row of one file at its sorted place: its index, or -1.
int32_t XListView_InsertFileItem(FileListView* list, const char* fullPath);
// Adds and selects the row of a file that a paste or a drop has just put into the folder.
void XListView_InsertDroppedFile(FileListView* list, const char* fullPath);
// Removes the rows of the entries (as XListView_GetOfficeFileNamesList makes them) whose files
// are gone.
void XListView_Refresh(FileListView* list, const LinkedList& entries);

// The selection. Each list-filling call adds to the given list and returns how many it added.
int32_t XListView_GetLastSelelctedItem(FileListView* list);
int32_t XListView_GetOfficeFileNamesList(FileListView* list, LinkedList& entries);
int32_t XListView_GetOfficePDFFilesList(FileListView* list, LinkedList& paths);
int32_t XListView_GetProtectedOfficePDFFilesList(FileListView* list, LinkedList& paths);
int32_t XListView_GetNonEncSelectedFilesList(FileListView* list, LinkedList& paths, int32_t& protectedCount);
int32_t XListView_SelectAll(FileListView* list);

// Keys, the context menu and its commands.
int32_t XListView_OnKeyDown(FileListView* list, int32_t keyCode);
// A request from the mouse at a screen position, or from the keyboard (no position).
void XListView_OnContextMenu(FileListView* list, std::optional<QPoint> screenPosition);
// Loads the menu when needed and applies this showing's rules to it: false when it cannot be
// loaded (the user has been told).
bool XListView_PrepareContextMenu(FileListView* list);
void XListView_RunCommand(FileListView* list, int32_t command);
void RunSelectedFiles(FileListView* list);
int32_t XListView_DeleteSelectedFiles(FileListView* list);
int32_t XListView_DeleteToTrashBox(FileListView* list, const char* path);
void XListView_ChangeNameFromMenu(FileListView* list);
void XListView_PublishSelectedFiles(FileListView* list, int32_t command);

// The clipboard. A file list (names) is what ShellDataObject::files read from the data of
// another program; null stands for data that gave none.
void XListView_CopyToClipboard(FileListView* list);
// The data that describes the entries' files of folder, for the clipboard or a drag, owned by
// the caller; false, with data null, when there is none to make.
bool XListView_GetFilesDataObject(const char* folder, const LinkedList& entries, QMimeData*& data);
// Files on the clipboard (not folders), for the Paste entry.
int32_t XListView_QueryCliboard(FileListView* list);
void XListView_PastFromClipboard(FileListView* list);
// Copies every file of names into the current folder; the new rows end up the only selected.
void XListView_DoPaste(FileListView* list, const std::vector<std::string>* names);
// The check of a destination before a file is copied there: PreparedCopy's answers.
int32_t XListView_PrepareFileCopy(FileListView* list, const char* destination);

// Drag and drop.
void XListView_OnBeginDrag(FileListView* list);
// How many names of a drop came into the folder, and how many were left out.
struct DroppedFiles {
    int32_t taken = 0;
    int32_t left = 0;
};
// Copies, or with move moves, the documents of names into the current folder; the new rows end
// up the only selected.
DroppedFiles XListView_DragDropFiles(FileListView* list, const std::vector<std::string>* names, bool move);

// Renaming in place.
// Starts editing the row's name (negative: nothing happens).
void XListView_EditLabel(FileListView* list, int32_t row);
int32_t XListView_BeginLabelEdit(FileListView* list);
// The end of an edit that was not cancelled, with the edit box's text: 1 when the file now has
// the new name and the row is to show it, 0 when the row keeps its old name.
int32_t XListView_EndLabelEdit(FileListView* list, const QString& editText);
bool XListView_FileNameExists(FileListView* list, const char* folder, const char* name);
bool XListView_IsValidNewName(FileListView* list, const char* oldName, const char* newName);
