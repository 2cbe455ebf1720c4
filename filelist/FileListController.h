#pragma once

#include "filelist/ContextMenuRules.h"
#include "filelist/FileImport.h"
#include "filelist/FileRename.h"
#include "ui/MessageBox.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

class DocumentLauncher;
class FileListModel;
class LinkedList;
class PublishJobStarter;
class QClipboard;
class QItemSelectionModel;

// Carries out what the user asks of the file list: it needs no widget, only the rows, the
// selection over them and the services handed to it (the message box, the launcher, the clipboard
// and the starter of publishing jobs), so that every command runs the same under a test as on the
// screen. The view turns the user's actions into these calls and follows the two requests the
// controller makes of it: to show a folder and to edit a row's name. A row's file is always the
// current folder followed by the row's name.
class FileListController : public QObject {
    Q_OBJECT

public:
    // The list's part of the user's key codes, as the list's operations know them.
    static constexpr int32_t KeyEnter = 13;
    static constexpr int32_t KeyDelete = 46;
    static constexpr int32_t KeyF2 = 113;
    static constexpr int32_t KeyF5 = 116;

    FileListController(FileListModel& model, QItemSelectionModel& selection, DocumentLauncher& launcher,
        QClipboard& clipboard, PublishJobStarter& starter, QObject* parent = nullptr);

    // The box that every question and error goes through: the one in use at the time of asking
    // (MessageBox::current()) unless another is set; owner is the window the boxes belong to.
    void setMessageBox(MessageBox* box) { m_box = box; }
    void setBoxOwner(QWidget* owner) { m_boxOwner = owner; }
    MessageBox::Answer ask(
        const QString& title, const QString& text, MessageBox::Buttons buttons, MessageBox::Icon icon);
    void showError(const QString& title, const QString& text);

    FileListModel& model() const { return m_model; }
    QClipboard& clipboard() const { return m_clipboard; }
    FileImport& fileImport() { return m_import; }
    FileRename& fileRename() { return m_rename; }

    // The selection. Each list-filling call adds to the given list and returns how many it added.
    // The rows selected now, in ascending order.
    QList<int> selectedRows() const;
    // The highest selected row, or -1.
    int32_t XListView_GetLastSelelctedItem() const;
    // One entry per selected row (its name, row and whether it is protected), each added at the
    // front: the highest row comes first.
    int32_t XListView_GetOfficeFileNamesList(LinkedList& entries) const;
    // The full paths of the selected rows that count, judged by their rows' kinds.
    int32_t XListView_GetOfficePDFFilesList(LinkedList& paths) const;
    int32_t XListView_GetProtectedOfficePDFFilesList(LinkedList& paths) const;
    // The full paths of the selected files that are not protected now, judged from the files
    // themselves; protectedCount counts the others.
    int32_t XListView_GetNonEncSelectedFilesList(LinkedList& paths, int32_t& protectedCount) const;
    // Selects every row (the first becomes current when none is): how many rows there are.
    int32_t XListView_SelectAll();
    void clearSelection();
    // Adds row to the selection.
    void selectRow(int row);

    // Filling.
    // Makes folder (ending with '/', or empty or null for none) the current folder and lists it.
    void XListView_ShowFiles(const char* folder);
    // The row of one file at its sorted place: its index, or -1.
    int32_t XListView_InsertFileItem(const char* fullPath);
    // Adds and selects the row of a file that a paste or a drop has just put into the folder.
    void XListView_InsertDroppedFile(const char* fullPath);
    // Removes the rows of the entries (as XListView_GetOfficeFileNamesList makes them) whose
    // files are gone.
    void XListView_Refresh(const LinkedList& entries);

    // Keys and commands.
    // 1 when the key was one of the list's (and has been acted on), else 0.
    int32_t XListView_OnKeyDown(int32_t keyCode);
    // One command of the context menu by its identifier; others are ignored.
    void XListView_RunCommand(int32_t command);
    void RunSelectedFiles();
    int32_t XListView_DeleteSelectedFiles();
    int32_t XListView_DeleteToTrashBox(const char* path);
    void XListView_PublishSelectedFiles(int32_t command);
    // Asks the view to edit the row's name (a row out of range: nothing happens).
    void XListView_EditLabel(int32_t row);
    // What this showing of the context menu enables its entries by.
    SelectionCounts contextMenuCounts();
    // Runs command once the protection of every selected row is known: at once when it is, else
    // when the last answer comes, on the selection as it is then. A new filling of the list, or
    // another such command, drops it.
    void whenProtectionKnown(std::function<void()> command);
    bool isWaiting() const { return static_cast<bool>(m_waitingConnection); }

signals:
    // The list now shows folder (empty: none, and the list is to be disabled).
    void folderShown(const QByteArray& folder);
    // The view is to open the editor of the row's name.
    void labelEditRequested(int row);
    // A command started or stopped waiting for the protection of its rows.
    void waitingChanged(bool waiting);

private:
    template <typename Counts> int32_t addSelectedPaths(LinkedList& paths, Counts counts) const;
    void dropWaitingCommand();

    FileListModel& m_model;
    QItemSelectionModel& m_selection;
    DocumentLauncher& m_launcher;
    QClipboard& m_clipboard;
    PublishJobStarter& m_starter;
    MessageBox* m_box = nullptr;
    QPointer<QWidget> m_boxOwner;
    FileImport m_import;
    FileRename m_rename;
    QList<QByteArray> m_waitingFor;
    std::function<void()> m_waitingCommand;
    QMetaObject::Connection m_waitingConnection;
};
