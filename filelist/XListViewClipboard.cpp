#include "filelist/XListView.h"

#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "filelist/FileTransfer.h"
#include "filelist/ShellDataObject.h"
#include "foundation/Iterator.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/Log.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>

#include <memory>

namespace files = platform::fileOperations;

namespace {

const QString dragDropTitle = QStringLiteral("Drag & Drop");

QString shown(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void showDragDropError(FileListView* list, const QString& text)
{
    MessageBox::current().show(list, dragDropTitle, text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}

// The paths that the entries name in folder, in the entries' order; those whose files are gone
// are left out.
std::vector<std::string> pathsOfEntries(const std::string& folder, const LinkedList& entries)
{
    std::vector<std::string> paths;
    for (Iterator* node = entries.getHead(); node; node = node->getNext()) {
        const auto* entry = static_cast<const ListItem*>(node->getElement());
        std::string path = folder + entry->getName().getText();
        if (!files::entryExists(path)) {
            logDebug("XListView_GetFilesDataObject,3,Failed in BindToObject %s", entry->getName().getText());
            continue;
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

void pasteOneFile(FileListView* list, const std::string& source, const std::string& destination)
{
    if (files::sameFile(source, destination)) {
        showDragDropError(list,
            QStringLiteral("Error: Cannot copy the file '%1' to the destination folder, because the same "
                           "file name already exists.")
                .arg(shown(source)));
        return;
    }
    logDebug("XListView_DoPaste,6,Copying source=%s dest=%s", source.c_str(), destination.c_str());
    // Only a regular file is copied: a FIFO or a device would never end, and opening it here,
    // before any question, keeps the user from being asked about a file that cannot come.
    platform::ReadOnlyFile opened(source);
    if (!opened.isOpen())
        return;
    int32_t prepared = XListView_PrepareFileCopy(list, destination.c_str());
    if (prepared == PreparedCopy::Refused)
        return;
    if (!copyToDestination(opened, destination, prepared, "XListView_DoPaste"))
        return;
    logDebug("XListView_DoPaste,7,OK,CopyFile");
    if (prepared == PreparedCopy::NewFile) {
        logDebug("XListView_DoPaste,8,Call XListView_InsertDroppedFile");
        XListView_InsertDroppedFile(list, destination.c_str());
    }
}

}

bool XListView_GetFilesDataObject(const char* folder, const LinkedList& entries, QMimeData*& data)
{
    data = nullptr;
    if (entries.getSize() == 0) {
        logDebug("XListView_GetFilesDataObject,1,Start %d", static_cast<int>(entries.getSize()));
        return false;
    }
    files::FileAttributes shownFolder = files::attributes(folder ? folder : "");
    if (!shownFolder.exists) {
        logDebug("XListView_GetFilesDataObject,1,Failed in ParseDisplayName");
        return false;
    }
    if (!shownFolder.isDirectory) {
        logDebug("XListView_GetFilesDataObject,2,BindToObject");
        return false;
    }
    std::vector<std::string> paths = pathsOfEntries(folder, entries);
    if (paths.empty()) {
        logDebug("XListView_GetFilesDataObject,4,Failed in GetUIObjectOf");
        return false;
    }
    data = ShellDataObject::create(paths);
    return true;
}

void XListView_CopyToClipboard(FileListView* list)
{
    LinkedList entries;
    if (XListView_GetOfficeFileNamesList(list, entries) == 0)
        return;
    QMimeData* data = nullptr;
    if (!XListView_GetFilesDataObject(list->fileModel()->currentFolder().constData(), entries, data))
        return;
    logDebug("XListView_CopyToClipboard,2,GetDataObject OK");
    // The clipboard owns the data from here. Nothing needs flushing: Qt answers for the
    // clipboard while Pressling runs and hands the data to the desktop's clipboard manager when
    // it quits, so that it stays pasteable after the list lets go of it.
    QApplication::clipboard()->setMimeData(data);
    logDebug("XListView_CopyToClipboard,3,OleSetClipboard OK\n");
}

int32_t XListView_QueryCliboard(FileListView*)
{
    logDebug("XListView_QueryCliboard,1,Start");
    int32_t count = 0;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (ShellDataObject::hasFiles(data)) {
        std::vector<std::string> names = ShellDataObject::files(data);
        logDebug("XListView_QueryCliboard,3,DragQueryFile count=%d", static_cast<int>(names.size()));
        for (const std::string& name : names) {
            files::FileAttributes found = files::attributes(name);
            if (found.exists && !found.isDirectory)
                ++count;
        }
    }
    logDebug("XListView_QueryCliboard,4,End num=%d", count);
    return count;
}

void XListView_PastFromClipboard(FileListView* list)
{
    logDebug("XListView_PastFromClipboard,1,Start");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data) {
        logDebug("XListView_PastFromClipboard,2,OleGetClipboard OK");
        if (ShellDataObject::hasFiles(data)) {
            logDebug("XListView_PastFromClipboard,3,GetData OK");
            // Read at once: the clipboard may change while a question of the paste is shown.
            std::vector<std::string> names = ShellDataObject::files(data);
            XListView_DoPaste(list, &names);
        }
    }
    logDebug("XListView_PastFromClipboard,4,End");
}

void XListView_DoPaste(FileListView* list, const std::vector<std::string>* names)
{
    const QByteArray& folder = list->fileModel()->currentFolder();
    logDebug("XListView_DoPaste,1,Start");
    logDebug("XListView_DoPaste,2,Destination=%s", folder.constData());
    list->clearSelection();
    if (!names) {
        logError("XListView_DoPaste,4,HDROP is NULL");
        return;
    }
    // Without a folder there is nowhere to paste to; the names would become relative paths.
    if (folder.isEmpty())
        return;
    for (const std::string& source : *names) {
        files::FileAttributes found = files::attributes(source);
        if (!found.exists || found.isDirectory)
            continue;
        std::string destination = destinationOf(folder, source);
        logDebug("XListView_DoPaste,5,filePath=%s destPath=%s", source.c_str(), destination.c_str());
        pasteOneFile(list, source, destination);
    }
    logDebug("XListView_DoPaste,9,end");
}

int32_t XListView_PrepareFileCopy(FileListView* list, const char* destination)
{
    logDebug("XListView_PrepareFileCopy,1,%s", destination);
    files::FileAttributes existing = files::attributes(destination);
    if (!existing.exists) {
        logDebug("XListView_PrepareFileCopy,1,not found %s", destination);
        return PreparedCopy::NewFile;
    }
    if (existing.isDirectory) {
        showDragDropError(list,
            QStringLiteral(
                "Error: Couldn't drop the directory '%1' to the destination folder,\r\n because the "
                "same name directory already exists")
                .arg(shown(destination)));
        return PreparedCopy::Refused;
    }
    logDebug("XListView_PrepareFileCopy,2,fileAttr not dir");
    if (existing.readOnly) {
        logDebug("XListView_PrepareFileCopy,2,ReadOnly");
        int error = 0;
        files::setWritable(destination, true, error);
    }
    QString question = QStringLiteral("The same file name '%1' already exists in the destination drop "
                                      "target.\r\nAre you sure you want to overwrite it?")
                           .arg(shown(destination));
    if (MessageBox::current().show(
            list, dragDropTitle, question, MessageBox::Buttons::OkCancel, MessageBox::Icon::Question)
        != MessageBox::Answer::Ok)
        return PreparedCopy::Refused;
    // The old file is not deleted here: the copy takes its place in one rename once it is
    // complete, so that a copy that fails leaves the user's file as it was.
    return PreparedCopy::Replace;
}
