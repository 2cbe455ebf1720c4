#pragma once

#include <cstdint>

class FileListView;

// The list's operations that the main window's menu and keys reach, under the names the rest of
// the program knows them by: each hands the request to the list's controller (or, for the
// columns, to the view itself).
void XListView_SetColumns(FileListView* list, int32_t displayFormat);
void XListView_ShowFiles(FileListView* list, const char* folder);
int32_t XListView_OnKeyDown(FileListView* list, int32_t keyCode);
void XListView_CopyToClipboard(FileListView* list);
void XListView_PastFromClipboard(FileListView* list);
int32_t XListView_DeleteSelectedFiles(FileListView* list);
int32_t XListView_SelectAll(FileListView* list);
