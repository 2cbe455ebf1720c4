#include "shell/FolderTree.h"

#include "shell/FolderTreeModel.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QKeyEvent>

FolderTree::FolderTree(FolderTreeModel* model, QWidget* parent)
    : QTreeView(parent)
    , m_model(model)
{
    m_model->setDialogOwner(this);
    setModel(m_model);
    setHeaderHidden(true);
    setAccessibleName(QStringLiteral("Folders"));
    // Editing starts only through renameSelected, from F2 or the menu, so that a place is never
    // edited and a click never starts an edit by surprise.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Folders made by other programs appear when their parent is opened again.
    connect(this, &QTreeView::expanded, m_model, &FolderTreeModel::refresh);
    connect(m_model, &FolderTreeModel::folderRenamed, this, &FolderTree::followRename);
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
    QString error;
    QModelIndex folder = m_model->createFolder(currentIndex(), &error);
    if (!folder.isValid()) {
        showError(QStringLiteral("Create Folder"), error);
        return;
    }
    selectFolder(folder);
    edit(folder);
}

void FolderTree::deleteSelected()
{
    QModelIndex folder = currentIndex();
    if (!(m_model->flags(folder) & Qt::ItemIsEditable))
        return;
    QString path = QFile::decodeName(m_model->pathOf(folder));
    MessageBox::Answer answer = MessageBox::current().show(this, QStringLiteral("Delete Folder"),
        QStringLiteral("Move the folder \"%1\" and everything in it to the trash?").arg(path),
        MessageBox::Buttons::OkCancel, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Ok)
        return;
    QPersistentModelIndex parent = folder.parent();
    QString error;
    m_removing = true;
    bool removed = m_model->removeFolder(folder, &error);
    m_removing = false;
    if (!removed) {
        showError(QStringLiteral("Delete Folder"), error);
        return;
    }
    if (currentIndex() == parent)
        emit folderSelected(parent);
    else
        selectFolder(parent);
}

void FolderTree::renameSelected()
{
    QModelIndex folder = currentIndex();
    if (m_model->flags(folder) & Qt::ItemIsEditable) {
        scrollTo(folder);
        edit(folder);
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

void FolderTree::followRename(const QModelIndex& index)
{
    // The file list shows the folder by its path, which the rename changed: the selected
    // folder's own, or one above it.
    for (QModelIndex shown = currentIndex(); shown.isValid(); shown = shown.parent()) {
        if (shown == index) {
            emit folderSelected(currentIndex());
            return;
        }
    }
}

void FolderTree::showError(const QString& title, const QString& text)
{
    MessageBox::current().show(this, title, text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}
