#include "filelist/XListView.h"

#include "filelist/FileListView.h"
#include "foundation/LinkedList.h"
#include "foundation/Log.h"
#include "ui/MessageBox.h"

namespace {

// A request from the keyboard opens the menu just inside the list's top-left corner.
constexpr int keyboardMenuInset = 5;

}

bool XListView_PrepareContextMenu(FileListView* list)
{
    ContextMenu& menu = list->contextMenu();
    if (!menu.load(list)) {
        MessageBox::current().show(list, QStringLiteral("Vaultrix"),
            QStringLiteral("Failed to load a context menu,"), MessageBox::Buttons::Ok,
            MessageBox::Icon::Information);
        return false;
    }
    SelectionCounts counts;
    counts.selected = static_cast<int32_t>(list->selectedRows().size());
    LinkedList publishable;
    LinkedList passwordProtected;
    counts.publishable = XListView_GetOfficePDFFilesList(list, publishable);
    counts.passwordProtected = XListView_GetProtectedOfficePDFFilesList(list, passwordProtected);
    logDebug("XListView_OnContextMenu,2,selectedFiles=%d protectedFiles =%d", counts.publishable,
        counts.passwordProtected);
    counts.clipboardFiles = XListView_QueryCliboard(list);
    menu.update(counts);
    return true;
}

void XListView_OnContextMenu(FileListView* list, std::optional<QPoint> screenPosition)
{
    logDebug("XListView_OnContextMenu,1,Start");
    QPoint position
        = screenPosition ? *screenPosition : list->mapToGlobal(QPoint(keyboardMenuInset, keyboardMenuInset));
    if (!XListView_PrepareContextMenu(list))
        return;
    if (int32_t command = list->contextMenu().exec(position))
        XListView_RunCommand(list, command);
}
