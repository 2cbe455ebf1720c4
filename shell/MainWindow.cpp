#include "shell/MainWindow.h"

#include "filelist/FileListModel.h"
#include "filelist/XListView.h"
#include "foundation/VaultrixRegistry.h"
#include "resources/MenuResources.h"
#include "resources/ResourceIcons.h"
#include "shell/AboutBox.h"
#include "shell/FolderTree.h"
#include "shell/FolderTreeModel.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString programTitle = QStringLiteral("Pressling");
constexpr int programIcon = 130;
// The splitter's bar, and how far short of the window's right edge it stops.
constexpr int splitterBarWidth = 4;

// The usual keys of this desktop for the entries that act on the list and the tree, each key on
// one entry only: Delete and F2 belong to the File menu's entries, which act on whichever of the
// two has the focus, as the keys do in each of them.
QKeySequence shortcutOf(int32_t command)
{
    switch (command) {
    case MainWindow::CopyFiles:
        return QKeySequence::Copy;
    case MainWindow::PasteFiles:
        return QKeySequence::Paste;
    case MainWindow::SelectAllFiles:
        return QKeySequence::SelectAll;
    case MainWindow::DeleteFocused:
        return QKeySequence::Delete;
    case MainWindow::RenameFocused:
        return QKeySequence(Qt::Key_F2);
    default:
        return {};
    }
}

void fillMenu(QMenu* menu, const MenuResources::Popup& popup, MainWindow* window)
{
    for (const MenuResources::MenuEntry& entry : popup.entries) {
        if (entry.submenu) {
            fillMenu(menu->addMenu(QString::fromUtf8(entry.text)), *entry.submenu, window);
        } else if (entry.command == 0) {
            menu->addSeparator();
        } else {
            QAction* action = menu->addAction(QString::fromUtf8(entry.text));
            action->setData(entry.command);
            action->setShortcut(shortcutOf(entry.command));
            // The key works wherever the window has the focus; a widget that takes the key for
            // itself first (the text of the history box) keeps it.
            action->setShortcutContext(Qt::WindowShortcut);
            window->addAction(action);
            QObject::connect(action, &QAction::triggered, window,
                [window, command = entry.command] { window->runCommand(command); });
        }
    }
    // Opening a menu makes sure the settings key is there, as the first use of the window does.
    QObject::connect(menu, &QMenu::aboutToShow, [] { VaultrixRegistry settings; });
}

}

MainWindow::MainWindow(PublishingJobs& jobs, TraceSink trace, FolderTreeModel* treeModel)
    : m_trace(std::move(trace))
    , m_treeModel(treeModel ? treeModel : new FolderTreeModel(FolderTreePlaces::ofThisUser()))
{
    m_treeModel->setParent(this);
    jobs.setMainWindow(this);
    applySavedGeometry();
    setWindowTitle(programTitle);
    setWindowIcon(ResourceIcons::icon(programIcon));
    setupMenu();
    setupWidgets(jobs);
    setupHistory();
}

MainWindow::~MainWindow() = default;

void MainWindow::applySavedGeometry()
{
    m_saved = WindowGeometry::restore(Profile());
    move(m_saved.x, m_saved.y);
    resize(m_saved.width, m_saved.height);
}

void MainWindow::setupMenu()
{
    std::span<const MenuResources::Popup> popups = MenuResources::menu(MenuResources::MainWindowMenu);
    if (popups.empty()) {
        MessageBox::current().show(this, QStringLiteral("ERROR"), QStringLiteral("Failed to load a menu"),
            MessageBox::Buttons::Ok, MessageBox::Icon::Error);
        return;
    }
    for (const MenuResources::Popup& popup : popups)
        fillMenu(menuBar()->addMenu(QString::fromUtf8(popup.title)), popup, this);
}

void MainWindow::setupWidgets(PublishingJobs& jobs)
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);

    m_history = new QComboBox(central);
    m_history->setEditable(true);
    m_history->setInsertPolicy(QComboBox::NoInsert);
    m_history->setAccessibleName(QStringLiteral("Visited folders"));
    auto* historyRow = new QHBoxLayout;
    historyRow->setContentsMargins(2, 0, 2, 0);
    historyRow->addWidget(m_history);
    layout->addLayout(historyRow);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setHandleWidth(splitterBarWidth);
    m_splitter->setAccessibleName(QStringLiteral("Folders and files"));
    m_tree = new FolderTree(m_treeModel, m_splitter);
    m_list = new FileListView(jobs, m_trace, m_splitter);
    m_list->setMinimumWidth(0);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_list);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->installEventFilter(this);
    layout->addWidget(m_splitter, 1);
    setCentralWidget(central);

    XListView_SetColumns(m_list, VaultrixRegistry().getFilesDisplayFormat());
    statusBar()->setAccessibleName(QStringLiteral("Status"));

    connect(m_tree, &FolderTree::folderSelected, this, &MainWindow::onFolderSelected);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this](int position) { m_splitterX = position; });
}

void MainWindow::setupHistory()
{
    m_folderHistory = std::make_unique<FolderHistory>(m_history);
    connect(m_history, qOverload<int>(&QComboBox::activated), this, &MainWindow::chooseFromHistory);
    // A folder typed into the box is gone to as one chosen from the history.
    connect(m_history->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = m_history->currentText();
        if (FolderHistory::namesCurrentFolder(typed, currentFolder()))
            return;
        QModelIndex target = m_treeModel->pathToItemIdList(QFile::encodeName(typed));
        if (target.isValid())
            m_tree->selectFolder(target);
    });
}

const QByteArray& MainWindow::currentFolder() const
{
    return m_list->fileModel()->currentFolder();
}

void MainWindow::openAt(const std::optional<QByteArray>& folder)
{
    QModelIndex target;
    if (folder)
        target = m_treeModel->pathToItemIdList(*folder);
    // The computer's first place is the user's home, where a file manager opens by default.
    const QModelIndex computer = m_treeModel->index(0, 0);
    if (!target.isValid())
        target = m_treeModel->index(0, 0, computer);
    if (!target.isValid())
        target = computer;
    m_tree->selectFolder(target);
    // Selecting the node the tree already stands on reports nothing; the list is filled anyway.
    if (currentFolder().isEmpty() && !m_treeModel->pathOf(target).isEmpty())
        onFolderSelected(target);
}

void MainWindow::onFolderSelected(const QModelIndex& index)
{
    QByteArray folder = m_treeModel->pathOf(index);
    if (!folder.isEmpty() && !folder.endsWith('/'))
        folder += '/';
    XListView_ShowFiles(m_list, folder.constData());
    // A place without a path gives a title that starts with a blank and a hyphen.
    setWindowTitle(QStringLiteral("%1 - %2").arg(QFile::decodeName(folder), programTitle));
    statusBar()->clearMessage();
    m_folderHistory->visit(folder);
}

void MainWindow::chooseFromHistory(int index)
{
    if (index < 0)
        return;
    if (FolderHistory::namesCurrentFolder(m_history->itemText(index), currentFolder()))
        return;
    QModelIndex target = m_treeModel->pathToItemIdList(m_folderHistory->folderAt(index));
    if (target.isValid())
        m_tree->selectFolder(target);
}

MainWindow::KeyTarget MainWindow::keyTargetOf(const QWidget* focus, const QWidget* tree, const QWidget* list)
{
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        if (widget == tree)
            return KeyTarget::Tree;
        if (widget == list)
            return KeyTarget::List;
    }
    return KeyTarget::None;
}

void MainWindow::sendKeyToFocused(int32_t listKey, bool rename)
{
    switch (keyTargetOf(focusWidget(), m_tree, m_list)) {
    case KeyTarget::Tree:
        rename ? m_tree->renameSelected() : m_tree->deleteSelected();
        break;
    case KeyTarget::List:
        XListView_OnKeyDown(m_list, listKey);
        break;
    case KeyTarget::None:
        break;
    }
}

void MainWindow::runCommand(int32_t command)
{
    switch (command) {
    case NewFolder:
        m_tree->newFolder();
        break;
    case DeleteFocused:
        sendKeyToFocused(FileListView::KeyDelete, false);
        break;
    case RenameFocused:
        sendKeyToFocused(FileListView::KeyF2, true);
        break;
    case Exit:
        close();
        break;
    case CopyFiles:
        XListView_CopyToClipboard(m_list);
        break;
    case PasteFiles:
        XListView_PastFromClipboard(m_list);
        break;
    case DeleteFiles:
        XListView_DeleteSelectedFiles(m_list);
        break;
    case SelectAllFiles:
        XListView_SelectAll(m_list);
        break;
    case ShowVersion:
        showAbout();
        break;
    default:
        break;
    }
}

void MainWindow::showAbout()
{
    AboutBox::showFor(m_list);
}

int MainWindow::splitterPosition() const
{
    return m_splitterX > 0 ? m_splitterX : m_splitter->width() / 3;
}

void MainWindow::placeSplitter()
{
    const int width = m_splitter->width();
    const int position = std::min(splitterPosition(), std::max(0, width - splitterBarWidth));
    m_splitter->setSizes({ std::max(0, position), std::max(0, width - position - splitterBarWidth) });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The splitter follows the window's width once the layout has given it its new size.
    if (watched == m_splitter && event->type() == QEvent::Resize)
        placeSplitter();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The window manager adds its frame only once the window is on the screen.
    QTimer::singleShot(0, this, &MainWindow::correctForFrame);
}

void MainWindow::correctForFrame()
{
    if (m_frameCorrected)
        return;
    m_frameCorrected = true;
    // The stored size is the outer one, frame included, as it is saved; the window's own size
    // leaves the frame out, so that a window would grow by its frame at every run.
    const QSize frame = frameGeometry().size() - size();
    if (frame.width() > 0 || frame.height() > 0)
        resize(m_saved.width - frame.width(), m_saved.height - frame.height());
    placeSplitter();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!currentFolder().isEmpty())
        VaultrixRegistry().setInitialFolder(currentFolder().constData());
    const QScreen* display = screen();
    const QSize screenSize = display ? display->geometry().size() : QSize();
    WindowGeometry::save(
        Profile(), frameGeometry(), screenSize, isMaximized() || isMinimized() || isFullScreen(), m_trace);
    event->accept();
    emit closed();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys that no child took reach the window itself: Enter and Escape must not close it, and
    // nothing else has a meaning here.
    QApplication::beep();
    event->accept();
}
