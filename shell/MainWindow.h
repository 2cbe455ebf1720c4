#pragma once

#include "filelist/FileListView.h"
#include "filelist/PublishingJobs.h"
#include "shell/FolderHistory.h"
#include "shell/WindowGeometry.h"

#include <QMainWindow>
#include <QModelIndex>

#include <cstdint>
#include <memory>
#include <optional>

class FolderTree;
class FolderTreeModel;
class QComboBox;
class QMenu;
class QSplitter;

// The program's window: the menu, the combo box of visited folders along the top, the folder
// tree and the file list side by side with a splitter between them, and the status bar. It
// turns the tree's selection into the list's folder, the title and the history, routes the menu
// commands, and keeps its place, size and folder for the next run.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    // Menu commands.
    static constexpr int32_t NewFolder = 32795;
    static constexpr int32_t DeleteFocused = 32799;
    static constexpr int32_t RenameFocused = 32800;
    static constexpr int32_t Exit = 105;
    static constexpr int32_t CopyFiles = 32823;
    static constexpr int32_t PasteFiles = 32824;
    static constexpr int32_t DeleteFiles = 32830;
    static constexpr int32_t SelectAllFiles = 32814;
    static constexpr int32_t ShowVersion = 104;

    // Where the File menu's Delete and Change Name go: the tree or the list, whichever has the
    // keyboard focus, or neither.
    enum class KeyTarget { Tree, List, None };

    // jobs: where the list's publishing jobs run; they come back to this window when their
    // sessions end, and must outlive it. trace: where the window and its file list leave their
    // trace lines. treeModel: the folders to show (null: the places of the user who runs the
    // program); the window takes it over.
    MainWindow(PublishingJobs& jobs, TraceSink trace, FolderTreeModel* treeModel = nullptr);
    ~MainWindow() override;

    // Selects the folder of the previous run when the tree can reach it, otherwise the user's
    // home; the list is filled at once.
    void openAt(const std::optional<QByteArray>& folder);

    // The tree's selection has become index: the list shows its folder, which also becomes the
    // title and the newest entry of the history.
    void onFolderSelected(const QModelIndex& index);

    // One menu command; an identifier that no entry carries is ignored.
    void runCommand(int32_t command);

    static KeyTarget keyTargetOf(const QWidget* focus, const QWidget* tree, const QWidget* list);

    // The splitter's place in the client area: a third of the width until the user moves it.
    int splitterPosition() const;

    FileListView* fileList() const { return m_list; }
    FolderTree* folderTree() const { return m_tree; }
    FolderTreeModel* folderModel() const { return m_treeModel; }
    QComboBox* historyBox() const { return m_history; }
    QSplitter* splitter() const { return m_splitter; }
    const QByteArray& currentFolder() const;

signals:
    // The window has closed and saved what it keeps for the next run.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupMenu();
    void setupWidgets(PublishingJobs& jobs);
    void setupHistory();
    void applySavedGeometry();
    void correctForFrame();
    void placeSplitter();
    void chooseFromHistory(int index);
    void sendKeyToFocused(int32_t listKey, bool rename);
    void showAbout();

    TraceSink m_trace;
    FolderTreeModel* m_treeModel;
    FolderTree* m_tree = nullptr;
    FileListView* m_list = nullptr;
    QComboBox* m_history = nullptr;
    QSplitter* m_splitter = nullptr;
    std::unique_ptr<FolderHistory> m_folderHistory;
    WindowGeometry::Saved m_saved;
    bool m_frameCorrected = false;
    // The splitter's place chosen by the user; 0 or less while it stays at a third.
    int m_splitterX = 0;
};
