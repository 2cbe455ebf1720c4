#pragma once

#include "shell/FolderNameOrder.h"
#include "shell/FolderTreePlaces.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

// The folders of the main window's tree, under one node "Computer" that has no path of its own,
// as the computer has none on Windows. Its children are the user's places and the file system's
// root; below them are folders only, listed when the view first asks for them, so that a large
// disk costs nothing until it is opened. Names are the file system's bytes, shown decoded; the
// children of a folder are in case-insensitive natural order, and hidden (dot) folders are left
// out unless asked for by path.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    explicit FolderTreeModel(FolderTreePlaces places, QObject* parent = nullptr);
    ~FolderTreeModel() override;

    // The folder's path without a trailing '/' ("/" itself keeps it); empty for the computer
    // node and for an invalid index.
    QByteArray pathOf(const QModelIndex& index) const;
    // The node of an absolute path of an existing folder (a trailing '/' allowed), loading the
    // nodes on the way down from the place whose path is the longest prefix of it. Invalid when
    // the path is relative, empty, climbs with "..", or is not a folder.
    QModelIndex pathToItemIdList(const QByteArray& path);
    // Lists a node's children again. Nodes still there are kept, so that persistent indexes and
    // the selection survive; a folder that vanished or cannot be read shows no children.
    void refresh(const QModelIndex& index);
    // Makes "New Folder" (or "New Folder (2)", "(3)"… when taken) in the parent's folder and
    // returns its node; invalid, with the reason in error, when that is not possible.
    QModelIndex createFolder(const QModelIndex& parent, QString* error);
    // Moves the folder to the trash and takes its node out; false, with the reason in error, for
    // the computer, a place, or when the trash refuses.
    bool removeFolder(const QModelIndex& index, QString* error);
    // The window that owns the boxes of a refused rename.
    void setDialogOwner(QWidget* owner) { m_dialogOwner = owner; }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Renames the folder on disk (never over an existing name); a refused name is told in a
    // message box and the node keeps its name.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A folder got a new name through setData; index is its node at its new sorted place.
    void folderRenamed(const QModelIndex& index);

private:
    struct Node;

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    QByteArray pathOf(const Node* node) const;
    void addPlace(const QByteArray& path, const QString& label, const QIcon& icon);
    std::optional<std::vector<QByteArray>> subFolderNames(const QByteArray& folder) const;
    void listChildren(Node* node);
    Node* childNamed(Node* node, const QByteArray& name);
    Node* insertFolder(Node* parent, const QByteArray& name);
    void removeChild(Node* parent, int row);
    void moveToSortedPlace(Node* node);
    size_t sortedPlaceOf(const Node* parent, const QByteArray& name, const QString& label) const;
    Node* placeHolding(const std::vector<QByteArray>& components) const;
    QString renameProblem(const Node* node, const QString& text) const;
    void refuseRename(const QString& reason) const;

    std::unique_ptr<Node> m_top;
    Node* m_computer = nullptr;
    FolderNameOrder m_order;
    QIcon m_folderIcon;
    QPointer<QWidget> m_dialogOwner;
};
