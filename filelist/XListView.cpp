#include "filelist/XListView.h"

#include "filelist/FileListView.h"

void XListView_SetColumns(FileListView* list, int32_t displayFormat)
{
    list->XListView_SetColumns(displayFormat);
}

void XListView_ShowFiles(FileListView* list, const char* folder)
{
    list->controller().XListView_ShowFiles(folder);
}

int32_t XListView_OnKeyDown(FileListView* list, int32_t keyCode)
{
    return list->controller().XListView_OnKeyDown(keyCode);
}

void XListView_CopyToClipboard(FileListView* list)
{
    list->controller().fileImport().XListView_CopyToClipboard();
}

void XListView_PastFromClipboard(FileListView* list)
{
    list->controller().fileImport().XListView_PastFromClipboard();
}

int32_t XListView_DeleteSelectedFiles(FileListView* list)
{
    return list->controller().XListView_DeleteSelectedFiles();
}

int32_t XListView_SelectAll(FileListView* list)
{
    return list->controller().XListView_SelectAll();
}
