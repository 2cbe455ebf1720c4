#include "filelist/FileExport.h"

#include "filelist/CDropTarget.h"
#include "filelist/FileListController.h"
#include "filelist/FileListModel.h"
#include "filelist/ShellDataObject.h"
#include "foundation/Iterator.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/Log.h"
#include "platform/FileOperations.h"

#include <QClipboard>
#include <QMimeData>
#include <QPointer>

#include <memory>

namespace files = platform::fileOperations;

namespace {

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

}

FileExport::FileExport(FileListController& list)
    : m_list(list)
{
}

bool FileExport::XListView_GetFilesDataObject(const char* folder, const LinkedList& entries, QMimeData*& data)
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

void FileExport::XListView_CopyToClipboard()
{
    LinkedList entries;
    if (m_list.selection().XListView_GetOfficeFileNamesList(entries) == 0)
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

void FileExport::XListView_OnBeginDrag(const DragRunner& drag)
{
    logDebug("XListView_OnBegindrag,1,Start");
    // Shared with the end of the drop, which may come after this returns.
    auto entries = std::make_shared<LinkedList>();
    if (m_list.selection().XListView_GetOfficeFileNamesList(*entries) == 0)
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
