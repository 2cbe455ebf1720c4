#pragma once

#include "filelist/FileNameOrder.h"
#include "shell/FolderTreePlaces.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QIcon>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The folders of the main window's tree, under one node "Computer" that has no path of its own,
// as the computer has none on Windows. Its children are the user's places and the file system's
// root; below them are folders only, listed when the view first asks for them, so that a large
// disk costs nothing until it is opened. Names are the file system's bytes, shown decoded; the
// children of a folder are in the file list's order of names, and hidden (dot) folders are left
// out unless asked for by path. The model only lists: the folders are made, renamed and trashed
// by FolderTreeActions, which then tells the model what changed on the disk.
//
// A folder that the view opens is read on a worker thread, as a folder of thousands of
// sub-folders or one on a slow mount would otherwise freeze the window; its children come in
// at once when the listing is back. What a caller uses at once (pathToItemIdList, childFolder,
// refresh) reads on the GUI thread.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // The sub-folders of a folder, hidden ones too; nullopt when it cannot be read. Called on a
    // worker thread, one for each listing.
    using SubFolderLister = std::function<std::optional<std::vector<std::string>>(const std::string& folder)>;

    // lister reads the folders that the view opens; the file system's own when empty. Tests hand
    // in one they can hold back.
    explicit FolderTreeModel(FolderTreePlaces places, QObject* parent = nullptr, SubFolderLister lister = {});
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
    // As refresh, but the folder is read on a worker thread and the children change when the
    // listing is back; nothing when one is on its way already.
    void refreshInBackground(const QModelIndex& index);
    // The node of the folder name inside parent's folder, listing parent first; a folder made
    // since the listing, or a hidden one, gets its node now. Invalid when there is no such folder
    // or parent is no folder.
    QModelIndex childFolder(const QModelIndex& parent, const QByteArray& name);
    // Gives a folder's node the name the folder now has on the disk and moves it to its sorted
    // place, keeping its children and persistent indexes; returns its index there.
    QModelIndex renameNode(const QModelIndex& index, const QByteArray& name);
    // The path of name inside folder ("/" gives "/name").
    static QByteArray childPath(const QByteArray& folder, const QByteArray& name);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    // False while the node's listing is on its way: it is asked for once.
    bool canFetchMore(const QModelIndex& parent) const override;
    // Starts reading the node's folder on a worker thread and returns at once. Until the listing
    // is back the node has no rows but keeps claiming children.
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Only folders are editable: the computer and the places are where the user stands.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node;
    struct Listing;

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    QByteArray pathOf(const Node* node) const;
    void addPlace(const QByteArray& path, const QString& label, const QIcon& icon);
    void listChildren(Node* node);
    void startListing(Node* node);
    void listingDone(const std::shared_ptr<Listing>& listing);
    void applyListing(Node* node, const std::optional<std::vector<std::string>>& names);
    void insertInOrder(Node* parent, std::vector<QByteArray> names);
    Node* childNamed(Node* node, const QByteArray& name);
    Node* insertFolder(Node* parent, const QByteArray& name);
    void removeChild(Node* parent, int row);
    size_t sortedPlaceOf(const Node* parent, const QByteArray& name, const QString& label) const;
    Node* placeHolding(const std::vector<QByteArray>& components) const;

    std::unique_ptr<Node> m_top;
    Node* m_computer = nullptr;
    FileNameOrder m_order;
    QIcon m_folderIcon;
    SubFolderLister m_lister;
};
