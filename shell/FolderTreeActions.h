#pragma once

#include <QModelIndex>
#include <QPointer>
#include <QString>
#include <QWidget>

class FolderTreeModel;

// What the user does to the folders of the tree: make a new folder, rename one, move one to the
// trash. Each changes the disk first and then tells the model, which only lists what is there;
// a question, a refusal or a failure is a message box owned by the tree's window, so that no box
// ever comes out of the model.
class FolderTreeActions {
public:
    // The boxes belong to boxOwner (none in tests that drive the actions without a window).
    FolderTreeActions(FolderTreeModel& model, QWidget* boxOwner);

    // Makes "New Folder" (or "New Folder (2)", "(3)"… when taken) in parent's folder and returns
    // its node; invalid, after a box that says why, when that is not possible.
    QModelIndex createFolder(const QModelIndex& parent);
    // After the user agrees, moves the folder to the trash and takes its node out. False when the
    // node is the computer or a place, when the user declines, or after a box when the trash
    // refuses.
    bool trashFolder(const QModelIndex& folder);
    // Renames the folder on the disk to text, never over an existing name, and returns its node at
    // its new sorted place. Invalid for an unchanged text, or after a box that says why the name
    // was refused; the node then keeps its name.
    QModelIndex rename(const QModelIndex& folder, const QString& text);

private:
    void showError(const QString& title, const QString& text) const;

    FolderTreeModel& m_model;
    QPointer<QWidget> m_boxOwner;
};
