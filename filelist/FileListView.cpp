#include "filelist/FileListView.h"

#include "filelist/FileListModel.h"
#include "filelist/FileNameDelegate.h"
#include "filelist/ListCommand.h"
#include "filelist/XListView.h"
#include "foundation/Log.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

// The list's own code for a key, or 0 for a key the list leaves to the view.
int32_t listKeyCode(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return FileListView::KeyEnter;
    case Qt::Key_Delete:
        return FileListView::KeyDelete;
    case Qt::Key_F2:
        return FileListView::KeyF2;
    case Qt::Key_F5:
        return FileListView::KeyF5;
    default:
        return 0;
    }
}

bool isMenuRequest(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}

// The desktop's keys for copying and pasting (Ctrl+C, Ctrl+V and their older Insert forms) copy
// and paste files, never the text of a row as the view would.
int32_t clipboardCommand(const QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        return ListCommand::Copy;
    if (event->matches(QKeySequence::Paste))
        return ListCommand::Paste;
    return 0;
}

int32_t keyStateOf(const QDropEvent* event)
{
    int32_t state = 0;
    if (event->buttons() & Qt::LeftButton)
        state |= KeyState::LeftButton;
    if (event->buttons() & Qt::RightButton)
        state |= KeyState::RightButton;
    if (event->modifiers() & Qt::ShiftModifier)
        state |= KeyState::Shift;
    if (event->modifiers() & Qt::ControlModifier)
        state |= KeyState::Ctrl;
    return state;
}

int32_t allowedEffectsOf(const QDropEvent* event)
{
    return static_cast<int32_t>(event->possibleActions() & (Qt::CopyAction | Qt::MoveAction));
}

// Tells the drag which effect the list gives it; none refuses it.
void answerDrag(QDropEvent* event, int32_t effect)
{
    if (effect == DropEffect::None) {
        event->ignore();
        return;
    }
    event->setDropAction(static_cast<Qt::DropAction>(effect));
    event->accept();
}

}

FileListView::FileListView(PublishJobStarter& jobs, TraceSink trace, QWidget* parent)
    : QTreeView(parent)
    , m_model(new FileListModel(this, trace))
    , m_nameDelegate(new FileNameDelegate(this))
    , m_dropTarget(this)
    , m_jobs(jobs)
    , m_trace(std::move(trace))
{
    setupView();
    setupHeader();
    setupAccessibility();
}

FileListView::~FileListView() = default;

void FileListView::setupView()
{
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // A click on the name of a row that is already selected edits it; F2 reaches the edit
    // through the list's own key handling, which knows which row is meant.
    setEditTriggers(QAbstractItemView::SelectedClicked);
    setItemDelegateForColumn(FileListModel::NameColumn, m_nameDelegate);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    // No folder is shown until the first one is passed in.
    setEnabled(false);
}

void FileListView::setupHeader()
{
    QHeaderView* columns = header();
    columns->setSectionsClickable(false);
    columns->setSortIndicatorShown(false);
    columns->setSectionsMovable(false);
    columns->setStretchLastSection(false);
    resetColumnWidths();
}

void FileListView::resetColumnWidths()
{
    for (int column = 0; column < FileListModel::ColumnCount; ++column)
        setColumnWidth(column, FileListModel::columnWidth(column));
}

void FileListView::setupAccessibility()
{
    setAccessibleName(QStringLiteral("File list"));
    setAccessibleDescription(
        QStringLiteral("The Word documents of the folder and the files published from them"));
    header()->setAccessibleName(QStringLiteral("File list columns"));
}

QList<int> FileListView::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (isMenuRequest(event)) {
        XListView_OnContextMenu(this, std::nullopt);
        event->accept();
        return;
    }
    if (int32_t command = clipboardCommand(event)) {
        XListView_RunCommand(this, command);
        event->accept();
        return;
    }
    // The Enter that ends a name's edit comes on to the list once the editor has let it pass:
    // it belongs to the edit, and must not open the selected files as well.
    const bool editing = state() == QAbstractItemView::EditingState;
    // The view moves its focus and selection first, as for any key.
    QTreeView::keyPressEvent(event);
    if (editing)
        return;
    if (int32_t code = listKeyCode(event->key()); code && XListView_OnKeyDown(this, code))
        event->accept();
}

void FileListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        XListView_OnContextMenu(this, std::nullopt);
    else
        XListView_OnContextMenu(this, event->globalPos());
    event->accept();
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    logDebug("ListView::WM_LBUTTONDBCLK");
    RunSelectedFiles(this);
    event->accept();
}

bool FileListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A click on a selected row only arms a timer here; the edit itself comes back through
    // edit(index) once the double-click interval has passed without a second click.
    if (trigger != QAbstractItemView::AllEditTriggers || state() == QAbstractItemView::EditingState)
        return QTreeView::edit(index, trigger, event);
    int32_t row = XListView_BeginLabelEdit(this);
    if (row < 0)
        return false;
    return QTreeView::edit(m_model->index(row, FileListModel::NameColumn), trigger, event);
}

void FileListView::startDrag(Qt::DropActions)
{
    XListView_OnBeginDrag(this);
}

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    answerDrag(event, m_dropTarget.DragEnter(event->mimeData(), keyStateOf(event), allowedEffectsOf(event)));
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    answerDrag(event, m_dropTarget.DragOver(keyStateOf(event), allowedEffectsOf(event)));
}

void FileListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dropTarget.DragLeave();
    event->accept();
}

void FileListView::dropEvent(QDropEvent* event)
{
    answerDrag(event, m_dropTarget.Drop(event->mimeData(), keyStateOf(event), allowedEffectsOf(event)));
}
