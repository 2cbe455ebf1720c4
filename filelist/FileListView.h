#pragma once

#include "filelist/CDropTarget.h"
#include "filelist/ContextMenu.h"
#include "foundation/TraceSink.h"

#include <QTreeView>

#include <cstdint>

class FileListModel;
class FileNameDelegate;
class PublishJobStarter;

// The file list on screen: the rows of its model in a report view, several selectable, with the
// list's keys, double click, context menu and renaming in place. What each does lives in the
// XListView_ operations; this class only routes the user's actions to them and keeps the list's
// state (the context menu, the row whose name is being edited, how jobs are made).
class FileListView : public QTreeView {
    Q_OBJECT

public:
    // jobs starts the list's publishing jobs and must outlive the list. trace receives the line
    // of every file whose protection cannot be read, when a row is made and when a command tests
    // the selection again; by default the lines are dropped.
    explicit FileListView(PublishJobStarter& jobs, TraceSink trace = TraceSink(), QWidget* parent = nullptr);
    ~FileListView() override;

    FileListModel* fileModel() const { return m_model; }
    ContextMenu& contextMenu() { return m_contextMenu; }
    PublishJobStarter& jobStarter() const { return m_jobs; }
    const TraceSink& trace() const { return m_trace; }

    int32_t rowUnderEdit() const { return m_rowUnderEdit; }
    void setRowUnderEdit(int32_t row) { m_rowUnderEdit = row; }

    using QTreeView::edit;

    // Gives every column its width as the list first had it.
    void resetColumnWidths();

    // The rows selected now, in ascending order.
    QList<int> selectedRows() const;

    // The list's part of the user's key codes, as the list's operations know them.
    static constexpr int32_t KeyEnter = 13;
    static constexpr int32_t KeyDelete = 46;
    static constexpr int32_t KeyF2 = 113;
    static constexpr int32_t KeyF5 = 116;

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
    void setupView();
    void setupHeader();
    void setupAccessibility();

    FileListModel* m_model;
    FileNameDelegate* m_nameDelegate;
    ContextMenu m_contextMenu;
    CDropTarget m_dropTarget;
    PublishJobStarter& m_jobs;
    TraceSink m_trace;
    int32_t m_rowUnderEdit = -1;
};
