#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class FileListController;
class LinkedList;
class QMimeData;
class QString;

// XListView_PrepareFileCopy's answers.
enum class PreparedCopy {
    Refused,
    // Nothing is in the way: the copy makes a new file, which needs a row.
    NewFile,
    // The user agreed to replace the file there; its row exists already.
    Replace,
};

// Brings files into the list's folder and hands them out to other programs. A paste copies what
// the clipboard names, a drop copies or moves the documents dragged onto the list. Both go one way for each
// file: the same check of the destination (and question before a file is replaced), the same copy that leaves
// a replaced file whole until the complete copy takes its place, and a moved source removed only after that.
// Names are file lists as ShellDataObject::files reads them; null stands for data that gave none. The new
// rows end up the only selected.
class FileImport {
public:
    enum class Transfer { Copy, Move };
    // How many names of a drop came into the folder, and how many were left out.
    struct DroppedFiles {
        int32_t taken = 0;
        int32_t left = 0;
    };

    // How a paste and a drop each word the same steps in the log and in the message box.
    struct Wording;

    // Runs one drag of data (which the drag takes over) offering a copy or a move, and gives the
    // effect the target reported; finished runs once the target is done with the files.
    using DragRunner = std::function<int32_t(QMimeData* data, std::function<void()> finished)>;

    explicit FileImport(FileListController& list);

    // Out: the data that describes the entries' files of folder, for the clipboard or a drag,
    // owned by the caller; false, with data null, when there is none to make.
    static bool XListView_GetFilesDataObject(const char* folder, const LinkedList& entries, QMimeData*& data);
    void XListView_CopyToClipboard();
    void XListView_OnBeginDrag(const DragRunner& drag);

    // In.

    // Files on the clipboard (not folders), for the Paste entry.
    int32_t XListView_QueryCliboard();
    void XListView_PastFromClipboard();
    // Copies every file of names into the current folder.
    void XListView_DoPaste(const std::vector<std::string>* names);
    // Brings the documents of names into the current folder.
    DroppedFiles XListView_DragDropFiles(const std::vector<std::string>* names, Transfer transfer);
    // The check of a destination before a file is copied there.
    PreparedCopy XListView_PrepareFileCopy(const char* destination);

private:
    // One file into the folder as the wording's caller: PreparedCopy's answer for the file that
    // came in, Refused when it did not.
    PreparedCopy bringIn(
        const std::string& source, const std::string& destination, Transfer transfer, const Wording& wording);
    bool dropOneFile(const std::string& source, Transfer transfer);
    void showDragDropError(const QString& text);

    FileListController& m_list;
};
