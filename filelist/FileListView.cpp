#include "filelist/FileListView.h"

#include "filelist/CDropSource.h"
#include "filelist/FileListModel.h"
#include "filelist/FileNameDelegate.h"
#include "filelist/ListCommand.h"
#include "foundation/Log.h"
#include "ui/MessageBox.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// A request from the keyboard opens the menu just inside the list's top-left corner.
constexpr int keyboardMenuInset = 5;

// The list's own code for a key, or 0 for a key the list leaves to the view.
int32_t listKeyCode(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return FileListController::KeyEnter;
    case Qt::Key_Delete:
        return FileListController::KeyDelete;
    case Qt::Key_F2:
        return FileListController::KeyF2;
    case Qt::Key_F5:
        return FileListController::KeyF5;
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
    , m_model(new FileListModel(this, std::move(trace)))
    , m_jobs(jobs)
{
    setupController();
    setupView();
    setupHeader();
    setupAccessibility();
}

FileListView::~FileListView() = default;

void FileListView::setupController()
{
    setModel(m_model);
    m_controller = std::make_unique<FileListController>(
        *m_model, *selectionModel(), m_launcher, *QGuiApplication::clipboard(), m_jobs);
    m_controller->setBoxOwner(this);
    connect(m_controller.get(), &FileListController::folderShown, this,
        [this](const QByteArray& folder) { setEnabled(!folder.isEmpty()); });
    // The wait cursor over the list while it fills or a command waits for its rows: the rest of
    // the window goes on as usual.
    auto showBusy = [this] {
        if (m_model->isFilling() || m_controller->isWaiting())
            viewport()->setCursor(Qt::WaitCursor);
        else
            viewport()->unsetCursor();
    };
    connect(m_model, &FileListModel::fillingChanged, this, showBusy);
    connect(m_controller.get(), &FileListController::waitingChanged, this, showBusy);
    connect(m_controller.get(), &FileListController::labelEditRequested, this,
        [this](int row) { QTreeView::edit(m_model->index(row, FileListModel::NameColumn)); });
    m_dropTarget = std::make_unique<CDropTarget>(this, m_controller->fileImport());
    m_nameDelegate = new FileNameDelegate(*m_controller, this);
}

void FileListView::setupView()
{
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
    return m_controller->selectedRows();
}

void FileListView::XListView_SetColumns(int32_t displayFormat)
{
    logDebug("XListView_SetColumns,1,displayFormat=%d", displayFormat);
    m_model->removeAllRows();
    resetColumnWidths();
}

bool FileListView::XListView_PrepareContextMenu()
{
    if (!m_contextMenu.load(this)) {
        MessageBox::current().show(this, QStringLiteral("Vaultrix"),
            QStringLiteral("Failed to load a context menu,"), MessageBox::Buttons::Ok,
            MessageBox::Icon::Information);
        return false;
    }
    m_contextMenu.update(m_controller->contextMenuCounts());
    return true;
}

void FileListView::XListView_OnContextMenu(std::optional<QPoint> screenPosition)
{
    logDebug("XListView_OnContextMenu,1,Start");
    QPoint position
        = screenPosition ? *screenPosition : mapToGlobal(QPoint(keyboardMenuInset, keyboardMenuInset));
    if (!XListView_PrepareContextMenu())
        return;
    if (int32_t command = m_contextMenu.exec(position))
        m_controller->XListView_RunCommand(command);
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (isMenuRequest(event)) {
        XListView_OnContextMenu(std::nullopt);
        event->accept();
        return;
    }
    if (int32_t command = clipboardCommand(event)) {
        m_controller->XListView_RunCommand(command);
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
    if (int32_t code = listKeyCode(event->key()); code && m_controller->XListView_OnKeyDown(code))
        event->accept();
}

void FileListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        XListView_OnContextMenu(std::nullopt);
    else
        XListView_OnContextMenu(event->globalPos());
    event->accept();
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    logDebug("ListView::WM_LBUTTONDBCLK");
    m_controller->RunSelectedFiles();
    event->accept();
}

bool FileListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A click on a selected row only arms a timer here; the edit itself comes back through
    // edit(index) once the double-click interval has passed without a second click.
    if (trigger != QAbstractItemView::AllEditTriggers || state() == QAbstractItemView::EditingState)
        return QTreeView::edit(index, trigger, event);
    int32_t row = m_controller->fileRename().XListView_BeginLabelEdit();
    if (row < 0)
        return false;
    return QTreeView::edit(m_model->index(row, FileListModel::NameColumn), trigger, event);
}

void FileListView::startDrag(Qt::DropActions)
{
    m_controller->fileImport().XListView_OnBeginDrag([this](QMimeData* data, std::function<void()> finished) {
        return CDropSource(this).DoDragDrop(data, DropEffect::Copy | DropEffect::Move, std::move(finished));
    });
}

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    answerDrag(event, m_dropTarget->DragEnter(event->mimeData(), keyStateOf(event), allowedEffectsOf(event)));
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    answerDrag(event, m_dropTarget->DragOver(keyStateOf(event), allowedEffectsOf(event)));
}

void FileListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dropTarget->DragLeave();
    event->accept();
}

void FileListView::dropEvent(QDropEvent* event)
{
    answerDrag(event, m_dropTarget->Drop(event->mimeData(), keyStateOf(event), allowedEffectsOf(event)));
}
