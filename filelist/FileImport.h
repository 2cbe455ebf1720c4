#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FileListController;
class QString;

// XListView_PrepareFileCopy's answers.
namespace PreparedCopy {
inline constexpr int32_t Refused = 0;
// Nothing is in the way: the copy makes a new file, which needs a row.
inline constexpr int32_t NewFile = 1;
// The user agreed to replace the file there; its row exists already.
inline constexpr int32_t Replace = 2;
}

// Brings files from elsewhere into the list's folder: a paste copies what the clipboard names, a
// drop copies or moves the documents dragged onto the list. Both go one way for each file: the
// same check of the destination (and question before a file is replaced), the same copy that
// leaves a replaced file whole until the complete copy takes its place, and a moved source removed
// only after that. Names are file lists as ShellDataObject::files reads them; null stands for data
// that gave none. The new rows end up the only selected.
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

    explicit FileImport(FileListController& list);

    // Files on the clipboard (not folders), for the Paste entry.
    int32_t XListView_QueryCliboard();
    void XListView_PastFromClipboard();
    // Copies every file of names into the current folder.
    void XListView_DoPaste(const std::vector<std::string>* names);
    // Brings the documents of names into the current folder.
    DroppedFiles XListView_DragDropFiles(const std::vector<std::string>* names, Transfer transfer);
    // The check of a destination before a file is copied there.
    int32_t XListView_PrepareFileCopy(const char* destination);

private:
    // One file into the folder as the wording's caller: PreparedCopy's answer for the file that
    // came in, Refused when it did not.
    int32_t bringIn(
        const std::string& source, const std::string& destination, Transfer transfer, const Wording& wording);
    bool dropOneFile(const std::string& source, Transfer transfer);
    void showDragDropError(const QString& text);

    FileListController& m_list;
};
