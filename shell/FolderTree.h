#pragma once

#include "shell/FolderTreeActions.h"

#include <QPersistentModelIndex>
#include <QTreeView>

class FolderTreeModel;

// The folder tree on the left of the main window: the user picks the folder whose documents the
// file list shows, and makes, renames and deletes folders in it. The main window follows the
// tree through folderSelected and moves it with selectFolder.
class FolderTree : public QTreeView {
    Q_OBJECT

public:
    // The tree shows model, which stays its caller's (a parent such as the main window owns it).
    explicit FolderTree(FolderTreeModel* model, QWidget* parent = nullptr);

    FolderTreeModel* folderModel() const { return m_model; }

    // Moves the selection to index, opening its parents and scrolling it into view.
    void selectFolder(const QModelIndex& index);
    // Makes a new folder under the selected one, selects it and lets the user name it in place.
    void newFolder();
    // After the user agrees, moves the selected folder to the trash and selects its parent.
    void deleteSelected();
    // Lets the user edit the selected folder's name in place.
    void renameSelected();

signals:
    // The current folder changed (by the user, by selectFolder, or by a rename of it).
    void folderSelected(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // A committed name goes to the actions, which rename the folder on the disk; the model only
    // lists, so the view never sets its data.
    void commitData(QWidget* editor) override;

private:
    FolderTreeModel* m_model;
    FolderTreeActions m_actions;
    // The folder whose name the open editor holds: the current folder when the edit began,
    // which a click elsewhere may have changed by the time the name is committed.
    QPersistentModelIndex m_editing;
    // A message box shown while a name is being committed takes the focus from the editor,
    // which would commit the same name a second time.
    bool m_committing = false;
    // While a node is taken out, the view moves its selection to a neighbour on its own; that
    // passing selection is not the user's choice.
    bool m_removing = false;
};
