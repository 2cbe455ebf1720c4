#include "shell/FolderTree.h"

#include "shell/FolderTreeModel.h"

#include <QKeyEvent>
#include <QLineEdit>

FolderTree::FolderTree(FolderTreeModel* model, QWidget* parent)
    : QTreeView(parent)
    , m_model(model)
    , m_actions(*model, this)
{
    setModel(m_model);
    setHeaderHidden(true);
    setAccessibleName(QStringLiteral("Folders"));
    // Editing starts only through renameSelected, from F2 or the menu, so that a place is never
    // edited and a click never starts an edit by surprise.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Folders made by other programs appear when their parent is opened again; the folder is
    // read off the GUI thread, as the first time.
    connect(this, &QTreeView::expanded, m_model, &FolderTreeModel::refreshInBackground);
    expand(m_model->index(0, 0));
}

void FolderTree::selectFolder(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        expand(above);
    setCurrentIndex(index);
    scrollTo(index);
}

void FolderTree::newFolder()
{
    QModelIndex folder = m_actions.createFolder(currentIndex());
    if (folder.isValid()) {
        selectFolder(folder);
        m_editing = folder;
        edit(folder);
    }
}

void FolderTree::deleteSelected()
{
    QPersistentModelIndex parent = currentIndex().parent();
    m_removing = true;
    bool trashed = m_actions.trashFolder(currentIndex());
    m_removing = false;
    if (!trashed)
        return;
    if (currentIndex() == parent)
        emit folderSelected(parent);
    else
        selectFolder(parent);
}

void FolderTree::renameSelected()
{
    m_editing = currentIndex();
    if (m_model->flags(m_editing) & Qt::ItemIsEditable) {
        scrollTo(m_editing);
        edit(m_editing);
    }
}

void FolderTree::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
        deleteSelected();
        break;
    case Qt::Key_F2:
        renameSelected();
        break;
    default:
        QTreeView::keyPressEvent(event);
    }
}

void FolderTree::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (!m_removing)
        emit folderSelected(current);
}

void FolderTree::commitData(QWidget* editor)
{
    auto* name = qobject_cast<QLineEdit*>(editor);
    if (!name || m_committing || !m_editing.isValid())
        return;
    m_committing = true;
    QModelIndex renamed = m_actions.rename(m_editing, name->text());
    m_committing = false;
    // The file list shows the folder by its path, which the rename changed: the selected
    // folder's own, or one above it.
    for (QModelIndex shown = currentIndex(); renamed.isValid() && shown.isValid(); shown = shown.parent()) {
        if (shown == renamed) {
            emit folderSelected(currentIndex());
            return;
        }
    }
}
