#pragma once

#include <cstdint>
#include <functional>

class FileListController;
class LinkedList;
class QMimeData;

// Hands the selected files to other programs: on the clipboard, and in a drag out of the list.
class FileExport {
public:
    // Runs one drag of data (which the drag takes over) offering a copy or a move, and gives the
    // effect the target reported; finished runs once the target is done with the files.
    using DragRunner = std::function<int32_t(QMimeData* data, std::function<void()> finished)>;

    explicit FileExport(FileListController& list);

    // The data that describes the entries' files of folder, for the clipboard or a drag, owned by
    // the caller; false, with data null, when there is none to make.
    static bool XListView_GetFilesDataObject(const char* folder, const LinkedList& entries, QMimeData*& data);
    void XListView_CopyToClipboard();
    void XListView_OnBeginDrag(const DragRunner& drag);

private:
    FileListController& m_list;
};
