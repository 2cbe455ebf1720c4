#include "filelist/XListView.h"

#include "classify/ClientLicensorCertificate.h"
#include "classify/ProtectedDocument.h"
#include "filelist/CDropSource.h"
#include "filelist/CDropTarget.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "filelist/FileTransfer.h"
#include "foundation/Exception.h"
#include "foundation/LinkedList.h"
#include "foundation/Log.h"
#include "foundation/String.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QMimeData>
#include <QPointer>

#include <memory>

namespace files = platform::fileOperations;

namespace {

// Written in the narrow code page of this system: "the file is left out, because you have no
// right to change its access rights".
constexpr const char* noRightsText = "アクセス権を変更する権限がないため、このファイルは対象外です。";

void showSameFileError(FileListView* list, const std::string& source)
{
    MessageBox::current().show(list, QStringLiteral("Drag & Drop"),
        QStringLiteral("Cannot copy the file '%1' to the destination folder, because the same file name "
                       "already exists")
            .arg(QFile::decodeName(QByteArray::fromStdString(source))),
        MessageBox::Buttons::Ok, MessageBox::Icon::Error);
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

void removeMovedSource(const std::string& source)
{
    int error = 0;
    if (!files::removeFile(source, error))
        logError("XListView_DragDropFiles,4,Failed to delete a sourcefile %s", source.c_str());
}

// Brings one dropped file into the folder; true when it was copied (or moved).
bool dropOneFile(FileListView* list, const std::string& source, bool move)
{
    files::FileAttributes found = files::attributes(source);
    if (!found.exists || found.isDirectory)
        return false;
    logDebug("XListView_DragDropFiles,2,filePath=%s", source.c_str());
    if (!isTakenByDrop(source))
        return false;
    std::string destination = destinationOf(list->fileModel()->currentFolder(), source);
    if (files::sameFile(source, destination)) {
        showSameFileError(list, source);
        return false;
    }
    logDebug("XListView_DragDropFiles,3,Copying source=%s dest=%s", source.c_str(), destination.c_str());
    platform::ReadOnlyFile opened(source);
    if (!opened.isOpen())
        return false;
    int32_t prepared = XListView_PrepareFileCopy(list, destination.c_str());
    if (prepared == PreparedCopy::Refused
        || !copyToDestination(opened, destination, prepared, "XListView_DragDropFiles"))
        return false;
    // The source goes only now that its copy is complete and on the disk under its name.
    if (move)
        removeMovedSource(source);
    logRightsOwner(destination);
    if (prepared == PreparedCopy::NewFile)
        XListView_InsertDroppedFile(list, destination.c_str());
    return true;
}

}

void XListView_OnBeginDrag(FileListView* list)
{
    logDebug("XListView_OnBegindrag,1,Start");
    // Shared with the end of the drop, which may come after this returns.
    auto entries = std::make_shared<LinkedList>();
    if (XListView_GetOfficeFileNamesList(list, *entries) == 0)
        return;
    QMimeData* data = nullptr;
    if (!XListView_GetFilesDataObject(list->fileModel()->currentFolder().constData(), *entries, data))
        return;
    logDebug("XListView_OnBegindrag,2,XListView_GetFilesData");
    // A target that moves the files itself (as file managers do) does so once it has the drop,
    // so the rows of what it took away go when it has finished; the list never removes a
    // dragged file of its own accord, and the refresh removes only rows of files that are gone.
    QPointer<FileListView> shown(list);
    int32_t effect
        = CDropSource(list).DoDragDrop(data, DropEffect::Copy | DropEffect::Move, [shown, entries] {
              if (shown)
                  XListView_Refresh(shown, *entries);
          });
    if (effect == DropEffect::None) {
        logDebug("XListView_OnBeginDrag,3,effect NONE= %d", effect);
        XListView_Refresh(list, *entries);
        return;
    }
    logDebug("XListView_OnBeginDrag,4,effect OTHER= %d", effect);
}

DroppedFiles XListView_DragDropFiles(FileListView* list, const std::vector<std::string>* names, bool move)
{
    logDebug("XListView_DragDropFiles,1,Start");
    list->clearSelection();
    DroppedFiles dropped;
    // Without a folder there is nowhere to drop to; the names would become relative paths.
    if (!names || list->fileModel()->currentFolder().isEmpty())
        return dropped;
    for (const std::string& source : *names) {
        if (dropOneFile(list, source, move))
            ++dropped.taken;
        else
            ++dropped.left;
    }
    logDebug("XListView_DragDropFiles,13,End");
    return dropped;
}
