#include "filelist/FileListController.h"

#include "classify/FileType.h"
#include "filelist/DocumentLauncher.h"
#include "filelist/FileListModel.h"
#include "filelist/ListCommand.h"
#include "filelist/PublishJobStarter.h"
#include "foundation/Exception.h"
#include "foundation/Iterator.h"
#include "foundation/LinkedList.h"
#include "foundation/ListItem.h"
#include "foundation/Log.h"
#include "foundation/String.h"
#include "platform/FileOperations.h"
#include "platform/Trash.h"

#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const QString programTitle = QStringLiteral("Vaultrix");

bool isOfficeOrPdf(const QByteArray& fullPath)
{
    FileType type;
    return type.isOfficeFile(fullPath.constData()) || type.endsWith(fullPath.constData(), ".pdf");
}

// Counted in P: what a job could publish, unless a password stands in the way.
bool isPublishable(const QByteArray& fullPath, ProtectionKind kind)
{
    FileType type;
    return (type.isOfficeFile(fullPath.constData()) && kind != PROTECTION_IRM)
        || type.endsWith(fullPath.constData(), ".pdf");
}

void addPath(LinkedList& paths, const QByteArray& fullPath)
{
    paths.addLast(std::make_unique<String>(fullPath.constData()));
}

// The row that shows the entry's file: the entry's own row where it still does, else wherever
// the name is now; -1 when no row shows it.
int rowOfEntry(const FileListModel& model, const ListItem& entry)
{
    QByteArray name(entry.getName().getText());
    int row = entry.getIndex();
    if (row >= 0 && row < model.rowCount() && model.rowAt(row).name == name)
        return row;
    for (row = 0; row < model.rowCount(); ++row) {
        if (model.rowAt(row).name == name)
            return row;
    }
    return -1;
}

// The files that the trash refused, each with why, as many as a message box can show.
QString notMovedText(const QStringList& kept)
{
    constexpr qsizetype shownAtMost = 20;
    QString text
        = QStringLiteral("Error: Couldn't move the files below to the TrashBox; they are still in the "
                         "folder.\n\n")
        + kept.first(std::min(kept.size(), shownAtMost)).join(QLatin1Char('\n'));
    if (kept.size() > shownAtMost)
        text += QStringLiteral("\n... and %1 more").arg(kept.size() - shownAtMost);
    return text;
}

}

FileListController::FileListController(FileListModel& model, QItemSelectionModel& selection,
    DocumentLauncher& launcher, QClipboard& clipboard, PublishJobStarter& starter, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_selection(selection)
    , m_launcher(launcher)
    , m_clipboard(clipboard)
    , m_starter(starter)
    , m_import(*this)
    , m_rename(*this)
{
}

MessageBox::Answer FileListController::ask(
    const QString& title, const QString& text, MessageBox::Buttons buttons, MessageBox::Icon icon)
{
    MessageBox& box = m_box ? *m_box : MessageBox::current();
    return box.show(m_boxOwner, title, text, buttons, icon);
}

void FileListController::showError(const QString& title, const QString& text)
{
    ask(title, text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}

QList<int> FileListController::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_selection.selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int32_t FileListController::XListView_GetLastSelelctedItem() const
{
    QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.last();
}

int32_t FileListController::XListView_GetOfficeFileNamesList(LinkedList& entries) const
{
    int32_t added = 0;
    for (int row : selectedRows()) {
        const FileListRow& shown = m_model.rowAt(row);
        entries.addFirst(
            std::make_unique<ListItem>(shown.name.constData(), row, shown.kind != PROTECTION_NONE, ""));
        ++added;
    }
    return added;
}

template <typename Counts>
int32_t FileListController::addSelectedPaths(LinkedList& paths, Counts counts) const
{
    int32_t added = 0;
    for (int row : selectedRows()) {
        QByteArray fullPath = m_model.fullPath(row);
        if (counts(fullPath, m_model.rowAt(row).kind)) {
            addPath(paths, fullPath);
            ++added;
        }
    }
    return added;
}

int32_t FileListController::XListView_GetOfficePDFFilesList(LinkedList& paths) const
{
    return addSelectedPaths(paths, isPublishable);
}

int32_t FileListController::XListView_GetProtectedOfficePDFFilesList(LinkedList& paths) const
{
    return addSelectedPaths(paths, [](const QByteArray& fullPath, ProtectionKind kind) {
        return kind == PROTECTION_PASSWORD && isOfficeOrPdf(fullPath);
    });
}

int32_t FileListController::XListView_GetNonEncSelectedFilesList(
    LinkedList& paths, int32_t& protectedCount) const
{
    int32_t added = 0;
    for (int row : selectedRows()) {
        QByteArray fullPath = m_model.fullPath(row);
        // The file is judged as it is now, not as it was when its row was made: the kept answer
        // serves only while the file is unchanged.
        if (m_model.protectionOf(fullPath) != PROTECTION_NONE) {
            ++protectedCount;
            continue;
        }
        addPath(paths, fullPath);
        ++added;
    }
    return added;
}

int32_t FileListController::XListView_SelectAll()
{
    int rows = m_model.rowCount();
    if (rows == 0)
        return 0;
    QItemSelection all(m_model.index(0, 0), m_model.index(rows - 1, FileListModel::ColumnCount - 1));
    m_selection.select(all, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!m_selection.currentIndex().isValid())
        m_selection.setCurrentIndex(m_model.index(0, 0), QItemSelectionModel::NoUpdate);
    return rows;
}

void FileListController::clearSelection()
{
    m_selection.clearSelection();
}

void FileListController::selectRow(int row)
{
    m_selection.select(m_model.index(row, FileListModel::NameColumn),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void FileListController::XListView_ShowFiles(const char* folder)
{
    QByteArray shown = folder ? QByteArray(folder) : QByteArray();
    logDebug("XListView_ShowFiles,1,folder=%s", shown.constData());
    // A command waiting for rows of the folder shown before has nothing left to act on.
    dropWaitingCommand();
    emit folderShown(shown);
    m_model.showFolder(shown);
}

void FileListController::whenProtectionKnown(std::function<void()> command)
{
    dropWaitingCommand();
    QList<QByteArray> names;
    for (int row : selectedRows())
        names.append(m_model.rowAt(row).name);
    if (m_model.protectionKnown(names)) {
        command();
        return;
    }
    // The selection's files are tested first, and the command waits for their answers (with the
    // wait cursor over the list) rather than take an unknown protection for none.
    m_waitingFor = names;
    m_waitingCommand = std::move(command);
    m_model.testFirst(names);
    m_waitingConnection = connect(&m_model, &FileListModel::protectionFound, this, [this] {
        if (!m_model.protectionKnown(m_waitingFor))
            return;
        std::function<void()> waiting = std::move(m_waitingCommand);
        dropWaitingCommand();
        // The command acts on the selection as it is then, which the user may have changed
        // meanwhile: it waits again when that holds rows still being tested.
        whenProtectionKnown(std::move(waiting));
    });
    emit waitingChanged(true);
}

void FileListController::dropWaitingCommand()
{
    if (!m_waitingConnection)
        return;
    disconnect(m_waitingConnection);
    m_waitingConnection = {};
    m_waitingCommand = nullptr;
    m_waitingFor.clear();
    emit waitingChanged(false);
}

int32_t FileListController::XListView_InsertFileItem(const char* fullPath)
{
    return m_model.insertFile(QByteArray(fullPath));
}

void FileListController::XListView_InsertDroppedFile(const char* fullPath)
{
    int32_t row = XListView_InsertFileItem(fullPath);
    if (row >= 0)
        selectRow(row);
}

void FileListController::XListView_Refresh(const LinkedList& entries)
{
    for (Iterator* node = entries.getHead(); node; node = node->getNext()) {
        const auto* entry = static_cast<const ListItem*>(node->getElement());
        QByteArray fullPath = m_model.currentFolder() + entry->getName().getText();
        logDebug("XListView_Refresh,1,fullpath=%s", fullPath.constData());
        if (platform::fileOperations::entryExists(fullPath.toStdString()))
            continue;
        logDebug("XListView_Refresh,2,removed fullpath=%s", fullPath.constData());
        // The list may have been filled again while the entries were out (a drag runs the event
        // loop), so a row goes only when it still shows the entry's file.
        int row = rowOfEntry(m_model, *entry);
        if (row >= 0)
            m_model.removeRowAt(row);
    }
}

int32_t FileListController::XListView_OnKeyDown(int32_t keyCode)
{
    switch (keyCode) {
    case KeyEnter:
        RunSelectedFiles();
        return 1;
    case KeyDelete:
        XListView_DeleteSelectedFiles();
        return 1;
    case KeyF2:
        // F2 edits whatever row is selected; only the menu's Change Name refuses protected ones.
        XListView_EditLabel(XListView_GetLastSelelctedItem());
        return 1;
    case KeyF5:
        if (!m_model.currentFolder().isEmpty())
            XListView_ShowFiles(m_model.currentFolder().constData());
        return 1;
    default:
        return 0;
    }
}

void FileListController::XListView_RunCommand(int32_t command)
{
    if (ListCommand::isPublishCommand(command)) {
        whenProtectionKnown([this, command] { XListView_PublishSelectedFiles(command); });
        return;
    }
    switch (command) {
    case ListCommand::Refresh:
        XListView_ShowFiles(m_model.currentFolder().constData());
        break;
    case ListCommand::Delete:
        XListView_DeleteSelectedFiles();
        break;
    case ListCommand::Open:
        RunSelectedFiles();
        break;
    case ListCommand::ChangeName:
        whenProtectionKnown([this] { m_rename.XListView_ChangeNameFromMenu(); });
        break;
    case ListCommand::Copy:
        m_import.XListView_CopyToClipboard();
        break;
    case ListCommand::Paste:
        m_import.XListView_PastFromClipboard();
        break;
    default:
        break;
    }
}

void FileListController::RunSelectedFiles()
{
    QList<int> rows = selectedRows();
    logDebug("RunSelectedFiles  selectedCount= %d", static_cast<int>(rows.size()));
    for (int row : rows) {
        QByteArray fullPath = m_model.fullPath(row);
        logDebug("RunSelectedFiles = %s", fullPath.constData());
        m_launcher.open(fullPath.constData());
    }
}

int32_t FileListController::XListView_DeleteSelectedFiles()
{
    qsizetype count = selectedRows().size();
    if (count == 0)
        return 1;
    QString question
        = QStringLiteral("Are you sure you want to move the selected %1 files to the TrashBox?").arg(count);
    if (ask(QStringLiteral("Delete Files"), question, MessageBox::Buttons::OkCancel,
            MessageBox::Icon::Question)
        != MessageBox::Answer::Ok)
        return 1;
    // The rows may have moved while the question was open (the list follows its folder), so the
    // files are taken by name from the selection as it is now.
    QList<QByteArray> names;
    for (int row : selectedRows())
        names.append(m_model.rowAt(row).name);
    QSet<QByteArray> gone;
    QStringList kept;
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        QByteArray fullPath = m_model.currentFolder() + *name;
        int32_t result = XListView_DeleteToTrashBox(fullPath.constData());
        logDebug("OnKeyDown,2,Deleted a filePath=%s d=%d", fullPath.constData(), result);
        // A row goes only with its file: one that the trash refused stays, and the user is told.
        if (!platform::fileOperations::entryExists(fullPath.toStdString()))
            gone.insert(*name);
        else if (result != 0)
            kept.append(QStringLiteral("%1 (%2)").arg(
                QFile::decodeName(*name), QString::fromLocal8Bit(std::strerror(result))));
    }
    for (int row = m_model.rowCount() - 1; row >= 0 && !gone.isEmpty(); --row) {
        if (gone.remove(m_model.rowAt(row).name))
            m_model.removeRowAt(row);
    }
    if (!kept.isEmpty())
        showError(QStringLiteral("Delete Files"), notMovedText(kept));
    return 1;
}

int32_t FileListController::XListView_DeleteToTrashBox(const char* path)
{
    return platform::moveToTrash(path);
}

void FileListController::XListView_PublishSelectedFiles(int32_t command)
{
    LinkedList paths;
    int32_t protectedCount = 0;
    XListView_GetNonEncSelectedFilesList(paths, protectedCount);
    if (paths.getSize() == 0) {
        showError(programTitle, QStringLiteral("Encrypt: Please select unencrypted files by PWD."));
        return;
    }
    // The job may end after the list is gone (the program closing while it runs): its end then
    // has nothing left to refill.
    QPointer<FileListController> list(this);
    try {
        m_starter.startJob(paths, command, [list] {
            if (list)
                list->XListView_ShowFiles(list->m_model.currentFolder().constData());
        });
    } catch (const Exception& failure) {
        logError("XListView_PublishSelectedFiles,1,%s", failure.getMessage());
    }
}

void FileListController::XListView_EditLabel(int32_t row)
{
    logDebug("ListView::LVM_EDITLABEL");
    if (row < 0 || row >= m_model.rowCount())
        return;
    emit labelEditRequested(row);
}

SelectionCounts FileListController::contextMenuCounts()
{
    SelectionCounts counts;
    counts.selected = static_cast<int32_t>(selectedRows().size());
    LinkedList publishable;
    LinkedList passwordProtected;
    counts.publishable = XListView_GetOfficePDFFilesList(publishable);
    counts.passwordProtected = XListView_GetProtectedOfficePDFFilesList(passwordProtected);
    logDebug("XListView_OnContextMenu,2,selectedFiles=%d protectedFiles =%d", counts.publishable,
        counts.passwordProtected);
    counts.clipboardFiles = m_import.XListView_QueryCliboard();
    return counts;
}
