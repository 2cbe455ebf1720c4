#include "shell/FolderTreeModel.h"

#include "platform/FolderEntries.h"

#include <QFile>
#include <QFileIconProvider>

#include <algorithm>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

// One node's folder being read on a worker thread. The thread is detached rather than joined: a
// folder on a hung network mount can keep it in readdir for minutes, and neither taking the node
// out nor closing the window may wait for that. So the worker keeps a share of this state, and
// the node marks it abandoned when it goes, taken out or with the model. The worker posts to the
// model only under the lock and only while the listing is not abandoned, so it never posts to a
// model that has gone, and a call it posted before is dropped with the model.
struct FolderTreeModel::Listing {
    FolderTreeModel* model = nullptr;
    // Used on the GUI thread only, and only while the listing is not abandoned.
    Node* node = nullptr;
    QByteArray path;
    std::mutex mutex;
    // Set on the GUI thread once the node no longer waits for this listing.
    bool abandoned = false;
    // The worker's answer, set under the lock before it is posted.
    std::optional<std::vector<std::string>> names;

    static void read(std::shared_ptr<Listing> listing, SubFolderLister lister, std::string folder);
};

// One node of the tree. A place keeps its whole path; a folder keeps only its name, so that a
// renamed folder's descendants need no change.
struct FolderTreeModel::Node {
    enum class Kind { Top, Computer, Place, Folder };

    Kind kind = Kind::Folder;
    // The place's path, or the folder's name in its parent.
    QByteArray name;
    QString label;
    QIcon icon;
    Node* parent = nullptr;
    int row = 0;
    std::vector<std::unique_ptr<Node>> children;
    bool listed = false;
    // The listing on its way to this node, if any.
    std::shared_ptr<Listing> listing;

    ~Node() { abandonListing(); }
    // What the listing on its way brings is no longer wanted.
    void abandonListing()
    {
        if (std::shared_ptr<Listing> abandoned = std::move(listing)) {
            std::lock_guard lock(abandoned->mutex);
            abandoned->abandoned = true;
        }
    }
};

void FolderTreeModel::Listing::read(
    std::shared_ptr<Listing> listing, SubFolderLister lister, std::string folder)
{
    std::optional<std::vector<std::string>> names;
    try {
        names = lister(folder);
    } catch (...) {
        // No exception leaves the thread: a listing that failed shows a folder that cannot be read.
    }
    std::lock_guard lock(listing->mutex);
    if (listing->abandoned)
        return;
    listing->names = std::move(names);
    QMetaObject::invokeMethod(
        listing->model, [listing] { listing->model->listingDone(listing); }, Qt::QueuedConnection);
}

namespace {

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

bool isFolder(const QByteArray& path)
{
    auto entry = platform::FolderEntries::lookUp(path.toStdString());
    return entry && entry->isDirectory;
}

QString shown(const QByteArray& path)
{
    return QFile::decodeName(path);
}

// The components of an absolute path, "." left out; nullopt for a relative path or one that
// climbs with "..", whose meaning depends on the links on the way.
std::optional<std::vector<QByteArray>> componentsOf(const QByteArray& path)
{
    if (!path.startsWith('/'))
        return std::nullopt;
    std::vector<QByteArray> components;
    for (const QByteArray& component : path.split('/')) {
        if (component == "..")
            return std::nullopt;
        if (!component.isEmpty() && component != ".")
            components.push_back(component);
    }
    return components;
}

QByteArray pathOfComponents(const std::vector<QByteArray>& components)
{
    QByteArray path;
    for (const QByteArray& component : components)
        path += '/' + component;
    return path.isEmpty() ? QByteArray("/") : path;
}

QIcon themeIcon(const char* name, const QIcon& fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), fallback);
}

}

FolderTreeModel::FolderTreeModel(FolderTreePlaces places, QObject* parent, SubFolderLister lister)
    : QAbstractItemModel(parent)
    , m_top(std::make_unique<Node>())
    , m_folderIcon(QFileIconProvider().icon(QFileIconProvider::Folder))
    , m_lister(lister ? std::move(lister) : SubFolderLister(&platform::FolderEntries::subFolderNames))
{
    m_top->kind = Node::Kind::Top;
    m_top->listed = true;
    auto computer = std::make_unique<Node>();
    computer->kind = Node::Kind::Computer;
    computer->label = QStringLiteral("Computer");
    computer->icon = themeIcon("computer", QFileIconProvider().icon(QFileIconProvider::Computer));
    computer->parent = m_top.get();
    computer->listed = true;
    m_computer = computer.get();
    m_top->children.push_back(std::move(computer));

    addPlace(places.home, QStringLiteral("Home"), themeIcon("user-home", m_folderIcon));
    if (!places.documents.isEmpty())
        addPlace(places.documents, QStringLiteral("Documents"), themeIcon("folder-documents", m_folderIcon));
    QIcon disk = QFileIconProvider().icon(QFileIconProvider::Drive);
    addPlace("/", QStringLiteral("File System"), themeIcon("drive-harddisk", disk));
    for (const QByteArray& volume : places.volumes) {
        QByteArray mountPoint = withoutTrailingSlash(volume);
        addPlace(mountPoint, shown(mountPoint.mid(mountPoint.lastIndexOf('/') + 1)),
            themeIcon("drive-removable-media", disk));
    }
}

FolderTreeModel::~FolderTreeModel() = default;

void FolderTreeModel::addPlace(const QByteArray& path, const QString& label, const QIcon& icon)
{
    if (path.isEmpty())
        return;
    auto place = std::make_unique<Node>();
    place->kind = Node::Kind::Place;
    place->name = withoutTrailingSlash(path);
    place->label = label;
    place->icon = icon;
    place->parent = m_computer;
    place->row = static_cast<int>(m_computer->children.size());
    m_computer->children.push_back(std::move(place));
}

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_top.get();
}

QModelIndex FolderTreeModel::indexOf(const Node* node) const
{
    if (!node || node == m_top.get())
        return {};
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

QByteArray FolderTreeModel::childPath(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray FolderTreeModel::pathOf(const QModelIndex& index) const
{
    return index.isValid() ? pathOf(nodeOf(index)) : QByteArray();
}

QByteArray FolderTreeModel::pathOf(const Node* node) const
{
    switch (node->kind) {
    case Node::Kind::Place:
        return node->name;
    case Node::Kind::Folder:
        return childPath(pathOf(node->parent), node->name);
    default:
        return {};
    }
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->children.size()))
        return {};
    return createIndex(row, 0, node->children[static_cast<size_t>(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& index) const
{
    return index.isValid() ? indexOf(nodeOf(index)->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    return parent.column() > 0 ? 0 : static_cast<int>(nodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const
{
    // A folder not listed yet may have sub-folders; listing every shown folder to know for sure
    // would read the whole disk a level ahead of the user.
    const Node* node = nodeOf(parent);
    return !node->listed || !node->children.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    return !node->listed && !node->listing;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent)
{
    Node* node = nodeOf(parent);
    if (!node->listed && !node->listing)
        startListing(node);
}

void FolderTreeModel::listChildren(Node* node)
{
    // What is read now is newer than what a listing on its way would bring.
    node->abandonListing();
    applyListing(node, platform::FolderEntries::subFolderNames(pathOf(node).toStdString()));
}

void FolderTreeModel::startListing(Node* node)
{
    auto listing = std::make_shared<Listing>();
    listing->model = this;
    listing->node = node;
    listing->path = pathOf(node);
    try {
        std::thread(Listing::read, listing, m_lister, listing->path.toStdString()).detach();
    } catch (const std::system_error&) {
        // Without a thread the folder is read here, slow as that may be, rather than never.
        listChildren(node);
        return;
    }
    node->listing = std::move(listing);
}

void FolderTreeModel::listingDone(const std::shared_ptr<Listing>& listing)
{
    {
        // The node went, or was read on the GUI thread meanwhile.
        std::lock_guard lock(listing->mutex);
        if (listing->abandoned)
            return;
    }
    Node* node = listing->node;
    node->listing.reset();
    if (pathOf(node) != listing->path) {
        // The node or one above it was renamed meanwhile: what came back is another folder's.
        startListing(node);
        return;
    }
    applyListing(node, listing->names);
}

void FolderTreeModel::applyListing(Node* node, const std::optional<std::vector<std::string>>& names)
{
    node->listed = true;
    std::set<QByteArray> present;
    if (names) {
        for (const std::string& name : *names)
            present.insert(QByteArray::fromStdString(name));
    }
    // A hidden folder that was asked for by path stays while it is there.
    for (int row = static_cast<int>(node->children.size()) - 1; row >= 0; --row) {
        if (!present.count(node->children[static_cast<size_t>(row)]->name))
            removeChild(node, row);
    }
    std::set<QByteArray> known;
    for (const auto& child : node->children)
        known.insert(child->name);
    std::vector<QByteArray> added;
    for (const QByteArray& name : present) {
        // Hidden folders are left out as file managers leave them out.
        if (!name.startsWith('.') && !known.count(name))
            added.push_back(name);
    }
    insertInOrder(node, std::move(added));
    // A node that had claimed children it may not have is asked again by the view.
    emit dataChanged(indexOf(node), indexOf(node));
}

void FolderTreeModel::insertInOrder(Node* parent, std::vector<QByteArray> names)
{
    if (!parent->children.empty()) {
        for (const QByteArray& name : names)
            insertFolder(parent, name);
        return;
    }
    if (names.empty())
        return;
    // A first listing comes in as one insertion, each name decoded once for the sorting.
    std::vector<std::unique_ptr<Node>> children;
    for (QByteArray& name : names) {
        auto child = std::make_unique<Node>();
        child->label = shown(name);
        child->name = std::move(name);
        child->parent = parent;
        children.push_back(std::move(child));
    }
    std::sort(children.begin(), children.end(), [this](const auto& a, const auto& b) {
        return m_order.before(a->label, a->name, b->label, b->name);
    });
    beginInsertRows(indexOf(parent), 0, static_cast<int>(children.size()) - 1);
    for (auto& child : children) {
        child->row = static_cast<int>(parent->children.size());
        parent->children.push_back(std::move(child));
    }
    endInsertRows();
}

size_t FolderTreeModel::sortedPlaceOf(const Node* parent, const QByteArray& name, const QString& label) const
{
    // A count rather than a search, so that it also holds while a renamed node is still among
    // the children out of order: it never comes before itself.
    return static_cast<size_t>(std::count_if(
        parent->children.begin(), parent->children.end(), [&](const std::unique_ptr<Node>& child) {
            return m_order.before(child->label, child->name, label, name);
        }));
}

FolderTreeModel::Node* FolderTreeModel::insertFolder(Node* parent, const QByteArray& name)
{
    auto child = std::make_unique<Node>();
    child->name = name;
    child->label = shown(name);
    child->parent = parent;
    size_t place = sortedPlaceOf(parent, name, child->label);
    Node* inserted = child.get();
    beginInsertRows(indexOf(parent), static_cast<int>(place), static_cast<int>(place));
    parent->children.insert(parent->children.begin() + static_cast<ptrdiff_t>(place), std::move(child));
    for (size_t row = place; row < parent->children.size(); ++row)
        parent->children[row]->row = static_cast<int>(row);
    endInsertRows();
    return inserted;
}

void FolderTreeModel::removeChild(Node* parent, int row)
{
    beginRemoveRows(indexOf(parent), row, row);
    parent->children.erase(parent->children.begin() + row);
    for (size_t later = static_cast<size_t>(row); later < parent->children.size(); ++later)
        parent->children[later]->row = static_cast<int>(later);
    endRemoveRows();
}

FolderTreeModel::Node* FolderTreeModel::childNamed(Node* node, const QByteArray& name)
{
    if (!node->listed)
        listChildren(node);
    for (const auto& child : node->children) {
        if (child->name == name)
            return child.get();
    }
    // A hidden folder, or one made since the listing: found when asked for by its path.
    if (!isFolder(childPath(pathOf(node), name)))
        return nullptr;
    return insertFolder(node, name);
}

FolderTreeModel::Node* FolderTreeModel::placeHolding(const std::vector<QByteArray>& components) const
{
    Node* best = nullptr;
    size_t bestLength = 0;
    for (const auto& place : m_computer->children) {
        auto placeComponents = componentsOf(place->name);
        if (!placeComponents || placeComponents->size() > components.size())
            continue;
        bool holds = std::equal(placeComponents->begin(), placeComponents->end(), components.begin());
        if (holds && (!best || placeComponents->size() > bestLength)) {
            best = place.get();
            bestLength = placeComponents->size();
        }
    }
    return best;
}

QModelIndex FolderTreeModel::pathToItemIdList(const QByteArray& path)
{
    auto components = componentsOf(path);
    if (!components || !isFolder(pathOfComponents(*components)))
        return {};
    Node* node = placeHolding(*components);
    if (!node)
        return {};
    auto placeComponents = componentsOf(node->name);
    for (size_t next = placeComponents->size(); node && next < components->size(); ++next)
        node = childNamed(node, (*components)[next]);
    return indexOf(node);
}

void FolderTreeModel::refresh(const QModelIndex& index)
{
    Node* node = nodeOf(index);
    if (node->kind != Node::Kind::Place && node->kind != Node::Kind::Folder)
        return;
    listChildren(node);
}

void FolderTreeModel::refreshInBackground(const QModelIndex& index)
{
    Node* node = nodeOf(index);
    if ((node->kind == Node::Kind::Place || node->kind == Node::Kind::Folder) && !node->listing)
        startListing(node);
}

QModelIndex FolderTreeModel::childFolder(const QModelIndex& parent, const QByteArray& name)
{
    Node* node = nodeOf(parent);
    if (node->kind != Node::Kind::Place && node->kind != Node::Kind::Folder)
        return {};
    return indexOf(childNamed(node, name));
}

QModelIndex FolderTreeModel::renameNode(const QModelIndex& index, const QByteArray& name)
{
    Node* node = nodeOf(index);
    if (!index.isValid() || node->kind != Node::Kind::Folder)
        return {};
    node->name = name;
    node->label = shown(name);
    emit dataChanged(index, index);
    auto& siblings = node->parent->children;
    int from = node->row;
    int to = static_cast<int>(sortedPlaceOf(node->parent, node->name, node->label));
    if (to == from)
        return index;
    // Qt counts the destination among the rows before the move.
    QModelIndex parent = indexOf(node->parent);
    beginMoveRows(parent, from, from, parent, to > from ? to + 1 : to);
    auto first = siblings.begin() + std::min(from, to);
    auto last = siblings.begin() + std::max(from, to) + 1;
    std::rotate(first, from < to ? first + 1 : last - 1, last);
    for (int row = std::min(from, to); row <= std::max(from, to); ++row)
        siblings[static_cast<size_t>(row)]->row = row;
    endMoveRows();
    return indexOf(node);
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return node->label;
    case Qt::DecorationRole:
        return node->kind == Node::Kind::Folder ? m_folderIcon : node->icon;
    case Qt::ToolTipRole:
        return node->kind == Node::Kind::Computer ? QVariant() : QVariant(shown(pathOf(node)));
    default:
        return {};
    }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (nodeOf(index)->kind == Node::Kind::Folder)
        flags |= Qt::ItemIsEditable;
    return flags;
}
