#pragma once

#include "filelist/CDropTarget.h"
#include "filelist/ContextMenu.h"
#include "filelist/DocumentLauncher.h"
#include "filelist/FileListController.h"
#include "foundation/TraceSink.h"

#include <QTreeView>

#include <cstdint>
#include <memory>
#include <optional>

class FileListModel;
class FileNameDelegate;

// The file list on screen: the rows of its model in a report view, several selectable, with the
// list's keys, double click, context menu and renaming in place. It only turns the user's actions
// into requests to its controller, which carries them out, and shows what the controller asks
// for: a folder's rows, and the editor of a row's name.
class FileListView : public QTreeView {
    Q_OBJECT

public:
    // jobs starts the list's publishing jobs and must outlive the list. trace receives the line
    // of every file whose protection cannot be read, when a row is made and when a command tests
    // the selection again; by default the lines are dropped.
    explicit FileListView(PublishJobStarter& jobs, TraceSink trace = TraceSink(), QWidget* parent = nullptr);
    ~FileListView() override;

    FileListModel* fileModel() const { return m_model; }
    FileListController& controller() const { return *m_controller; }
    ContextMenu& contextMenu() { return m_contextMenu; }

    // The rows selected now, in ascending order.
    QList<int> selectedRows() const;

    // Empties the list (its folder stays) and gives the columns their widths; they are the same
    // whatever the display format.
    void XListView_SetColumns(int32_t displayFormat);
    // A request from the mouse at a screen position, or from the keyboard (no position).
    void XListView_OnContextMenu(std::optional<QPoint> screenPosition);
    // Loads the menu when needed and applies this showing's rules to it: false when it cannot be
    // loaded (the user has been told).
    bool XListView_PrepareContextMenu();

    // The list's key codes, as the main window hands its menu's keys on.
    static constexpr int32_t KeyDelete = FileListController::KeyDelete;
    static constexpr int32_t KeyF2 = FileListController::KeyF2;
    static constexpr int32_t KeyF5 = FileListController::KeyF5;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Every edit of a name, whoever asks for it, is of the row under edit and starts with
    // XListView_BeginLabelEdit.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    // Drags in and out go through the list's own drop target and drag, never the view's moves
    // of rows.
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setupController();
    void setupView();
    void setupHeader();
    void setupAccessibility();
    // Gives every column its width as the list first had it.
    void resetColumnWidths();

    FileListModel* m_model;
    DocumentLauncher m_launcher;
    PublishJobStarter& m_jobs;
    // Made once the view has its selection model.
    std::unique_ptr<FileListController> m_controller;
    std::unique_ptr<CDropTarget> m_dropTarget;
    FileNameDelegate* m_nameDelegate = nullptr;
    ContextMenu m_contextMenu;
};
