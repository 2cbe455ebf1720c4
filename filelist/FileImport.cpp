#include "filelist/FileImport.h"

#include "classify/ClientLicensorCertificate.h"
#include "classify/FileType.h"
#include "classify/ProtectedDocument.h"
#include "filelist/CDropTarget.h"
#include "filelist/FileListController.h"
#include "filelist/FileListModel.h"
#include "filelist/ShellDataObject.h"
#include "foundation/Exception.h"
#include "foundation/Iterator.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/Log.h"
#include "foundation/String.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPointer>

#include <cstring>
#include <memory>

namespace files = platform::fileOperations;

// What a paste and a drop each call themselves in the log, and how each tells the user that a
// file is already where it would go.
struct FileImport::Wording {
    const char* caller;
    int copyingStep;
    QString sameFileText;
};

namespace {

const FileImport::Wording pasteWording { "XListView_DoPaste", 6,
    QStringLiteral("Error: Cannot copy the file '%1' to the destination folder, because the same file name "
                   "already exists.") };
const FileImport::Wording dropWording { "XListView_DragDropFiles", 3,
    QStringLiteral("Cannot copy the file '%1' to the destination folder, because the same file name already "
                   "exists") };

// Written in the narrow code page of this system: "the file is left out, because you have no
// right to change its access rights".
constexpr const char* noRightsText = "アクセス権を変更する権限がないため、このファイルは対象外です。";

QString shown(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The current folder followed by the source's own name: the source's folder is dropped.
std::string destinationOf(const QByteArray& currentFolder, const std::string& source)
{
    size_t slash = source.rfind('/');
    std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    return currentFolder.toStdString() + name;
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

bool isFile(const std::string& path)
{
    files::FileAttributes found = files::attributes(path);
    return found.exists && !found.isDirectory;
}

// Copies the open source to destination as prepared: a new file never replaces anything, and a
// replaced file stays whole until the complete copy takes its place. False, with an error line
// written and destination as it was, when the copy fails.
bool copyToDestination(const platform::ReadOnlyFile& source, const std::string& destination,
    PreparedCopy prepared, const char* caller)
{
    int error = 0;
    files::ExistingTarget existing
        = prepared == PreparedCopy::Replace ? files::ExistingTarget::Replace : files::ExistingTarget::Keep;
    if (files::copyFile(source, destination, existing, error))
        return true;
    logError("%s,Failed to copy to %s: %s", caller, destination.c_str(), std::strerror(error));
    return false;
}

// Who owns the rights of the new copy, and whether the user holds a certificate for that owner:
// written down for whoever reads the log, nothing in the drop depends on it.
void logRightsOwner(const std::string& copy)
{
    try {
        ProtectedDocument document(copy.c_str());
        String owner;
        if (!document.getOwner(owner))
            return;
        if (findCLC(owner.getText()))
            logDebug("XListView_DragDropFiles,9,Found a CLC for owner= %s\n", owner.getText());
        else
            logDebug("XListView_DragDropFiles,10,%s %s", noRightsText, copy.c_str());
    } catch (const Exception& failure) {
        logError("XListView_DragDropFiles,11,%s", failure.getMessage());
    }
}

}

FileImport::FileImport(FileListController& list)
    : m_list(list)
{
}

void FileImport::showDragDropError(const QString& text)
{
    m_list.showError(QStringLiteral("Drag & Drop"), text);
}

bool FileImport::XListView_GetFilesDataObject(const char* folder, const LinkedList& entries, QMimeData*& data)
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

void FileImport::XListView_CopyToClipboard()
{
    LinkedList entries;
    if (m_list.XListView_GetOfficeFileNamesList(entries) == 0)
        return;
    QMimeData* data = nullptr;
    if (!XListView_GetFilesDataObject(m_list.model().currentFolder().constData(), entries, data))
        return;
    logDebug("XListView_CopyToClipboard,2,GetDataObject OK");
    // The clipboard owns the data from here. Nothing needs flushing: Qt answers for the
    // clipboard while Pressling runs and hands the data to the desktop's clipboard manager when
    // it quits, so that it stays pasteable after the list lets go of it.
    m_list.clipboard().setMimeData(data);
    logDebug("XListView_CopyToClipboard,3,OleSetClipboard OK\n");
}

void FileImport::XListView_OnBeginDrag(const DragRunner& drag)
{
    logDebug("XListView_OnBegindrag,1,Start");
    // Shared with the end of the drop, which may come after this returns.
    auto entries = std::make_shared<LinkedList>();
    if (m_list.XListView_GetOfficeFileNamesList(*entries) == 0)
        return;
    QMimeData* data = nullptr;
    if (!XListView_GetFilesDataObject(m_list.model().currentFolder().constData(), *entries, data))
        return;
    logDebug("XListView_OnBegindrag,2,XListView_GetFilesData");
    // A target that moves the files itself (as file managers do) does so once it has the drop,
    // so the rows of what it took away go when it has finished; the list never removes a
    // dragged file of its own accord, and the refresh removes only rows of files that are gone.
    QPointer<FileListController> list(&m_list);
    int32_t effect = drag(data, [list, entries] {
        if (list)
            list->XListView_Refresh(*entries);
    });
    if (effect == DropEffect::None) {
        logDebug("XListView_OnBeginDrag,3,effect NONE= %d", effect);
        m_list.XListView_Refresh(*entries);
        return;
    }
    logDebug("XListView_OnBeginDrag,4,effect OTHER= %d", effect);
}

int32_t FileImport::XListView_QueryCliboard()
{
    logDebug("XListView_QueryCliboard,1,Start");
    int32_t count = 0;
    const QMimeData* data = m_list.clipboard().mimeData();
    if (ShellDataObject::hasFiles(data)) {
        std::vector<std::string> names = ShellDataObject::files(data);
        logDebug("XListView_QueryCliboard,3,DragQueryFile count=%d", static_cast<int>(names.size()));
        for (const std::string& name : names)
            count += isFile(name);
    }
    logDebug("XListView_QueryCliboard,4,End num=%d", count);
    return count;
}

void FileImport::XListView_PastFromClipboard()
{
    logDebug("XListView_PastFromClipboard,1,Start");
    const QMimeData* data = m_list.clipboard().mimeData();
    if (data) {
        logDebug("XListView_PastFromClipboard,2,OleGetClipboard OK");
        if (ShellDataObject::hasFiles(data)) {
            logDebug("XListView_PastFromClipboard,3,GetData OK");
            // Read at once: the clipboard may change while a question of the paste is shown.
            std::vector<std::string> names = ShellDataObject::files(data);
            XListView_DoPaste(&names);
        }
    }
    logDebug("XListView_PastFromClipboard,4,End");
}

void FileImport::XListView_DoPaste(const std::vector<std::string>* names)
{
    const QByteArray& folder = m_list.model().currentFolder();
    logDebug("XListView_DoPaste,1,Start");
    logDebug("XListView_DoPaste,2,Destination=%s", folder.constData());
    m_list.clearSelection();
    if (!names) {
        logError("XListView_DoPaste,4,HDROP is NULL");
        return;
    }
    // Without a folder there is nowhere to paste to; the names would become relative paths.
    if (folder.isEmpty())
        return;
    for (const std::string& source : *names) {
        if (!isFile(source))
            continue;
        std::string destination = destinationOf(folder, source);
        logDebug("XListView_DoPaste,5,filePath=%s destPath=%s", source.c_str(), destination.c_str());
        PreparedCopy copied = bringIn(source, destination, Transfer::Copy, pasteWording);
        if (copied == PreparedCopy::Refused)
            continue;
        logDebug("XListView_DoPaste,7,OK,CopyFile");
        if (copied == PreparedCopy::NewFile) {
            logDebug("XListView_DoPaste,8,Call XListView_InsertDroppedFile");
            m_list.XListView_InsertDroppedFile(destination.c_str());
        }
    }
    logDebug("XListView_DoPaste,9,end");
}

FileImport::DroppedFiles FileImport::XListView_DragDropFiles(
    const std::vector<std::string>* names, Transfer transfer)
{
    logDebug("XListView_DragDropFiles,1,Start");
    m_list.clearSelection();
    DroppedFiles dropped;
    // Without a folder there is nowhere to drop to; the names would become relative paths.
    if (!names || m_list.model().currentFolder().isEmpty())
        return dropped;
    for (const std::string& source : *names) {
        if (dropOneFile(source, transfer))
            ++dropped.taken;
        else
            ++dropped.left;
    }
    logDebug("XListView_DragDropFiles,13,End");
    return dropped;
}

bool FileImport::dropOneFile(const std::string& source, Transfer transfer)
{
    if (!isFile(source))
        return false;
    logDebug("XListView_DragDropFiles,2,filePath=%s", source.c_str());
    // A drop takes Office documents and XPS documents only, judged by the end of the name.
    if (!FileType().isDocumentFile(source.c_str()))
        return false;
    std::string destination = destinationOf(m_list.model().currentFolder(), source);
    PreparedCopy copied = bringIn(source, destination, transfer, dropWording);
    if (copied == PreparedCopy::Refused)
        return false;
    logRightsOwner(destination);
    if (copied == PreparedCopy::NewFile)
        m_list.XListView_InsertDroppedFile(destination.c_str());
    return true;
}

PreparedCopy FileImport::bringIn(
    const std::string& source, const std::string& destination, Transfer transfer, const Wording& wording)
{
    if (files::sameFile(source, destination)) {
        showDragDropError(wording.sameFileText.arg(shown(source)));
        return PreparedCopy::Refused;
    }
    logDebug("%s,%d,Copying source=%s dest=%s", wording.caller, wording.copyingStep, source.c_str(),
        destination.c_str());
    // Only a regular file is copied: a FIFO or a device would never end, and opening it here,
    // before any question, keeps the user from being asked about a file that cannot come.
    platform::ReadOnlyFile opened(source);
    if (!opened.isOpen())
        return PreparedCopy::Refused;
    PreparedCopy prepared = XListView_PrepareFileCopy(destination.c_str());
    if (prepared == PreparedCopy::Refused
        || !copyToDestination(opened, destination, prepared, wording.caller))
        return PreparedCopy::Refused;
    // The source goes only now that its copy is complete and on the disk under its name.
    int error = 0;
    if (transfer == Transfer::Move && !files::removeFile(source, error))
        logError("%s,4,Failed to delete a sourcefile %s", wording.caller, source.c_str());
    return prepared;
}

PreparedCopy FileImport::XListView_PrepareFileCopy(const char* destination)
{
    logDebug("XListView_PrepareFileCopy,1,%s", destination);
    files::FileAttributes existing = files::attributes(destination);
    if (!existing.exists) {
        logDebug("XListView_PrepareFileCopy,1,not found %s", destination);
        return PreparedCopy::NewFile;
    }
    if (existing.isDirectory) {
        showDragDropError(
            QStringLiteral("Error: Couldn't drop the directory '%1' to the destination folder,\r\n "
                           "because the same name directory already exists")
                .arg(shown(destination)));
        return PreparedCopy::Refused;
    }
    logDebug("XListView_PrepareFileCopy,2,fileAttr not dir");
    // A read-only file is replaced by a rename, which needs no right to write the file itself:
    // nothing about it changes unless the user says it may go.
    if (existing.readOnly)
        logDebug("XListView_PrepareFileCopy,2,ReadOnly");
    QString question = QStringLiteral("The same file name '%1' already exists in the destination drop "
                                      "target.\r\nAre you sure you want to overwrite it?")
                           .arg(shown(destination));
    if (m_list.ask(QStringLiteral("Drag & Drop"), question, MessageBox::Buttons::OkCancel,
            MessageBox::Icon::Question)
        != MessageBox::Answer::Ok)
        return PreparedCopy::Refused;
    // The old file is not deleted here: the copy takes its place in one rename once it is
    // complete, so that a copy that fails leaves the user's file as it was.
    return PreparedCopy::Replace;
}
