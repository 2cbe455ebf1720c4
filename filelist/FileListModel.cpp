#include "filelist/FileListModel.h"

#include "classify/FileType.h"
#include "filelist/FileNameOrder.h"
#include "filelist/FileRowBuilder.h"
#include "platform/FolderEntries.h"
#include "platform/MachineResources.h"
#include "publishing/BackupName.h"

#include <QFile>

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

// The published files that the list shows beside the Word documents.
constexpr const char* PublishedSuffixes[] = { ".htm", ".html", ".mhtml", ".txt", ".xps", ".pdf" };

// A Word document or a published file, told by the name alone.
bool isShownFile(std::string_view name)
{
    std::string terminated(name);
    if (FileType().isWordFile(terminated.c_str()))
        return true;
    return std::any_of(std::begin(PublishedSuffixes), std::end(PublishedSuffixes),
        [&](const char* suffix) { return endsWith(terminated.c_str(), suffix); });
}

// What a screen reader says before each column's text, in words rather than the headers' codes.
const char* const AccessibleColumnNames[FileListModel::ColumnCount]
    = { "File name", "Encrypted", "Last modified", "Type", "Size in kilobytes" };

// The window takes what the readers found at most this often, and at most this many rows at a
// time, so that it never leaves its event loop for long and the view is not redrawn for every
// file.
constexpr int TakeIntervalMs = 40;
constexpr size_t RowsPerTake = 2048;
// News of the watch is gathered this long before the entries are looked up: a program that
// writes a file sends many.
constexpr int ChangeGatherMs = 100;

// The readers' threads write their lines one at a time.
TraceSink oneLineAtATime(TraceSink trace)
{
    auto lock = std::make_shared<std::mutex>();
    return TraceSink([lock, trace = std::move(trace)](std::string_view line) {
        std::lock_guard guard(*lock);
        trace.line("%.*s", static_cast<int>(line.size()), line.data());
    });
}

}

FileListModel::FileListModel(QObject* parent, TraceSink trace)
    : QAbstractTableModel(parent)
    , m_trace(oneLineAtATime(std::move(trace)))
    , m_cache(std::make_shared<ProtectionCache>())
    , m_rowBuilder(std::make_unique<FileRowBuilder>())
    , m_order(std::make_unique<FileNameOrder>())
{
    m_changeTimer.setSingleShot(true);
    m_changeTimer.setInterval(ChangeGatherMs);
    connect(&m_changeTimer, &QTimer::timeout, this, &FileListModel::lookUpChanged);
    m_takeTimer.setSingleShot(true);
    connect(&m_takeTimer, &QTimer::timeout, this, &FileListModel::takeProgress);
}

FileListModel::~FileListModel()
{
    stopReading();
}

FolderReader::Services FileListModel::readerServices() const
{
    // Opening files is mostly waiting on the disk, more so on a network share: a few more
    // testers than processors keep both busy.
    size_t testers = std::clamp<size_t>(2 * platform::MachineResources::usableProcessors(), 4, 8);
    return FolderReader::Services { m_cache, m_trace, testers };
}

void FileListModel::stopReading()
{
    m_filling.reset();
    m_update.reset();
    m_watch.reset();
    m_changed.clear();
    m_changeTimer.stop();
    m_takeTimer.stop();
}

void FileListModel::showFolder(const QByteArray& folder)
{
    stopReading();
    beginResetModel();
    m_currentFolder = folder;
    m_rows.clear();
    endResetModel();
    m_listed = folder.isEmpty();
    if (folder.isEmpty()) {
        emit fillingChanged(false);
        emit filled();
        return;
    }
    // Watched before it is listed, so that nothing done to it meanwhile goes unnoticed.
    m_watch = platform::FolderWatch::start(folder.toStdString(), *this);
    m_filling = FolderReader::listing(folder, isShownFile, readerServices(), *this);
    emit fillingChanged(true);
}

void FileListModel::readingAdvanced()
{
    // On a reader's thread: the taking is done on the model's own.
    QMetaObject::invokeMethod(this, &FileListModel::takeSoon, Qt::QueuedConnection);
}

void FileListModel::takeSoon()
{
    if (m_takeTimer.isActive())
        return;
    qint64 since = m_sinceTake.isValid() ? m_sinceTake.elapsed() : TakeIntervalMs;
    if (since >= TakeIntervalMs)
        takeProgress();
    else
        m_takeTimer.start(static_cast<int>(TakeIntervalMs - since));
}

void FileListModel::takeProgress()
{
    m_sinceTake.start();
    bool more = false;
    if (m_filling) {
        FolderReader::Progress progress = m_filling->take(RowsPerTake);
        mergeFound(std::move(progress.found), true);
        applyAnswers(progress.answers);
        more = progress.more;
        if (progress.listed && !m_listed) {
            m_listed = true;
            lookUpChanged();
        }
        if (progress.finished) {
            m_filling.reset();
            emit fillingChanged(false);
            emit filled();
        }
    }
    if (m_update) {
        FolderReader::Progress progress = m_update->take(RowsPerTake);
        if (progress.unreadable) {
            leaveGoneFolder();
            return;
        }
        mergeFound(std::move(progress.found), false);
        removeNames(progress.missing);
        applyAnswers(progress.answers);
        more = more || progress.more;
        if (progress.finished) {
            m_update.reset();
            lookUpChanged();
        }
    }
    // What is left behind is taken as soon as the window has handled its other events.
    if (more)
        QMetaObject::invokeMethod(this, &FileListModel::takeProgress, Qt::QueuedConnection);
}

void FileListModel::entryChanged(const std::string& name)
{
    m_changed.insert(QByteArray::fromStdString(name));
    if (!m_changeTimer.isActive())
        m_changeTimer.start();
}

void FileListModel::lookUpChanged()
{
    // One look-up at a time, and only over a complete list: the news that comes meanwhile waits
    // for the next.
    if (!m_listed || m_update || m_changed.isEmpty() || m_changeTimer.isActive())
        return;
    std::vector<QByteArray> names(m_changed.begin(), m_changed.end());
    m_changed.clear();
    m_update = FolderReader::lookingUp(m_currentFolder, std::move(names), readerServices(), *this);
}

void FileListModel::folderGone()
{
    // Told from within the watch itself, which is not to be ended there.
    QMetaObject::invokeMethod(this, &FileListModel::leaveGoneFolder, Qt::QueuedConnection);
}

void FileListModel::leaveGoneFolder()
{
    // The folder stays the current one, as the user chose it; it simply holds nothing now.
    bool wasFilling = isFilling();
    stopReading();
    m_listed = true;
    removeAllRows();
    if (wasFilling) {
        emit fillingChanged(false);
        emit filled();
    }
    emit protectionFound();
}

int FileListModel::rowOf(const QByteArray& name) const
{
    return rowOf(sortKeyOf(QFile::decodeName(name)), name);
}

int FileListModel::rowOf(const QCollatorSortKey& key, const QByteArray& name) const
{
    // The place after every row that does not come after the name: the row just before it, when
    // that is the name's own.
    int place = sortedPlaceOf(key, name);
    return place > 0 && m_rows[static_cast<size_t>(place - 1)].name == name ? place - 1 : -1;
}

void FileListModel::mergeFound(std::vector<FoundFile> found, bool allShow)
{
    if (found.empty())
        return;
    FolderReader::sortFound(found);
    std::vector<FileListRow> added;
    added.reserve(found.size());
    for (FoundFile& file : found) {
        int row = rowOf(file.sortKey, file.name);
        if (row >= 0) {
            // The file changed, or a paste added its row before the listing came to it.
            FileListRow updated = m_rowBuilder->build(file);
            updated.added = m_rows[static_cast<size_t>(row)].added;
            m_rows[static_cast<size_t>(row)] = std::move(updated);
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
            continue;
        }
        // The copy that a job keeps of a document while the office works on it comes and goes
        // within the job: the watch does not show it (a filling still lists one left behind).
        if (allShow || (isShownFile(file.entry.name) && !BackupName::isBackup(file.entry.name)))
            added.push_back(m_rowBuilder->build(file));
    }
    addSorted(std::move(added));
}

void FileListModel::addSorted(std::vector<FileListRow> rows)
{
    if (rows.empty())
        return;
    if (rows.size() < 16 || m_rows.empty()) {
        if (m_rows.empty()) {
            beginInsertRows(QModelIndex(), 0, static_cast<int>(rows.size()) - 1);
            m_rows = std::move(rows);
            endInsertRows();
            return;
        }
        for (FileListRow& row : rows)
            insertRow(std::move(row));
        return;
    }
    // Many rows: appended in one step, then merged into place in one change of the layout, which
    // costs the view one pass over the rows rather than one per row.
    size_t before = m_rows.size();
    beginInsertRows(QModelIndex(), static_cast<int>(before), static_cast<int>(before + rows.size()) - 1);
    std::move(rows.begin(), rows.end(), std::back_inserter(m_rows));
    endInsertRows();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<FileListRow> merged;
    merged.reserve(m_rows.size());
    std::vector<int> placeOf(m_rows.size());
    size_t old = 0;
    size_t added = before;
    auto comesFirst = [](const FileListRow& a, const FileListRow& b) {
        return FileNameOrder::before(*a.sortKey, a.name, *b.sortKey, b.name);
    };
    while (old < before || added < m_rows.size()) {
        bool takeOld = added == m_rows.size() || (old < before && !comesFirst(m_rows[added], m_rows[old]));
        size_t from = takeOld ? old++ : added++;
        placeOf[from] = static_cast<int>(merged.size());
        merged.push_back(std::move(m_rows[from]));
    }
    m_rows = std::move(merged);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(placeOf[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileListModel::applyAnswers(const std::vector<FolderReader::Answer>& answers)
{
    if (answers.empty())
        return;
    int first = rowCount();
    int last = -1;
    for (const FolderReader::Answer& answer : answers) {
        int row = rowOf(answer.name);
        // An answer about a version of the file that the row no longer shows is dropped; the
        // look-up of the new version brings its own.
        if (row < 0 || !(m_rows[static_cast<size_t>(row)].identity == answer.key))
            continue;
        FileRowBuilder::setProtection(m_rows[static_cast<size_t>(row)], answer.kind);
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= 0)
        emit dataChanged(index(first, EncryptedColumn), index(last, EncryptedColumn));
    emit protectionFound();
}

void FileListModel::removeNames(const std::vector<QByteArray>& names)
{
    bool removed = false;
    for (const QByteArray& name : names) {
        int row = rowOf(name);
        if (row >= 0) {
            removeRowAt(row);
            removed = true;
        }
    }
    if (removed)
        emit protectionFound();
}

bool FileListModel::protectionKnown(const QList<QByteArray>& names) const
{
    return std::all_of(names.begin(), names.end(), [this](const QByteArray& name) {
        int row = rowOf(name);
        return row < 0 || m_rows[static_cast<size_t>(row)].protectionKnown;
    });
}

void FileListModel::testFirst(const QList<QByteArray>& names)
{
    std::vector<QByteArray> waiting(names.begin(), names.end());
    if (m_filling)
        m_filling->testFirst(waiting);
    if (m_update)
        m_update->testFirst(waiting);
}

ProtectionKind FileListModel::protectionOf(const QByteArray& fullPath)
{
    return m_cache->kindOf(fullPath, m_trace);
}

void FileListModel::removeAllRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QCollatorSortKey FileListModel::sortKeyOf(const QString& shown) const
{
    return m_order->sortKey(shown);
}

int FileListModel::insertFile(const QByteArray& fullPath)
{
    // A row's file is always the current folder followed by its name, so a file elsewhere would
    // give a row that names another file.
    int slash = fullPath.lastIndexOf('/');
    if (m_currentFolder.isEmpty() || slash < 0 || fullPath.left(slash + 1) != m_currentFolder)
        return -1;
    std::optional<platform::FolderEntry> entry = platform::FolderEntries::lookUp(fullPath.toStdString());
    if (!entry || entry->isDirectory || entry->name == ".")
        return -1;
    QString shown = QFile::decodeName(QByteArray::fromStdString(entry->name));
    FoundFile file { *entry, shown, sortKeyOf(shown), protectionOf(fullPath) };
    FileListRow row = m_rowBuilder->build(file);
    row.added = true;
    int existing = rowOf(*row.sortKey, row.name);
    if (existing >= 0) {
        m_rows[static_cast<size_t>(existing)] = std::move(row);
        emit dataChanged(index(existing, 0), index(existing, ColumnCount - 1));
        return existing;
    }
    return insertRow(std::move(row));
}

int FileListModel::insertRow(FileListRow row)
{
    int place = sortedPlaceOf(*row.sortKey, row.name);
    beginInsertRows(QModelIndex(), place, place);
    m_rows.insert(m_rows.begin() + place, std::move(row));
    endInsertRows();
    return place;
}

int FileListModel::sortedPlaceOf(const QCollatorSortKey& key, const QByteArray& name) const
{
    auto place = std::upper_bound(
        m_rows.begin(), m_rows.end(), name, [&](const QByteArray&, const FileListRow& row) {
            return FileNameOrder::before(key, name, *row.sortKey, row.name);
        });
    return static_cast<int>(place - m_rows.begin());
}

void FileListModel::removeRowAt(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

int FileListModel::renameRow(int row, const QByteArray& name)
{
    if (row < 0 || row >= rowCount())
        return -1;
    // The rows are in order with the old name among them, so the new name's place among them is
    // found as for a new row, one less when it lies beyond the row's own.
    FileListRow& renamed = m_rows[static_cast<size_t>(row)];
    QString shown = QFile::decodeName(name);
    QCollatorSortKey key = sortKeyOf(shown);
    int place = sortedPlaceOf(key, name);
    renamed.name = name;
    renamed.shownName = shown;
    renamed.sortKey = key;
    QModelIndex changed = index(row, NameColumn);
    emit dataChanged(changed, changed, { Qt::DisplayRole, Qt::EditRole, Qt::AccessibleTextRole });
    if (place == row || place == row + 1)
        return row;
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), place);
    auto from = m_rows.begin() + row;
    if (place < row)
        std::rotate(m_rows.begin() + place, from, from + 1);
    else
        std::rotate(from, from + 1, m_rows.begin() + place);
    endMoveRows();
    return place < row ? place : place - 1;
}
QByteArray FileListModel::fullPath(int row) const
{
    return m_currentFolder + rowAt(row).name;
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const FileListRow& row = rowAt(index.row());
    int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        break;
    case Qt::ToolTipRole:
        // The columns are narrow; a long name or type name is read in full here.
        return column == NameColumn || column == TypeColumn ? data(index, Qt::DisplayRole) : QVariant();
    case Qt::EditRole:
        return column == NameColumn ? QVariant(row.shownName) : QVariant();
    case Qt::DecorationRole:
        return column == NameColumn && !row.icon.isNull() ? QVariant(row.icon) : QVariant();
    case Qt::TextAlignmentRole:
        return headerData(column, Qt::Horizontal, role);
    case Qt::AccessibleTextRole: {
        QString text = data(index, Qt::DisplayRole).toString();
        if (column == NameColumn)
            return text;
        if (column == EncryptedColumn && !row.protectionKnown)
            text = QStringLiteral("being checked");
        else if (text.isEmpty())
            text = column == EncryptedColumn ? QStringLiteral("none") : QStringLiteral("unknown");
        return QString::fromLatin1(AccessibleColumnNames[column]) + QStringLiteral(": ") + text;
    }
    default:
        return QVariant();
    }
    switch (column) {
    case NameColumn:
        return row.shownName;
    case EncryptedColumn:
        return row.protectionText;
    case LastModifiedColumn:
        return row.modifiedText;
    case TypeColumn:
        return row.typeName;
    default:
        return row.sizeText;
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const headers[ColumnCount]
        = { "FileName", "Encrypted", "LastModified", "Type", "Size(KB)" };
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(headers[section]);
    if (role == Qt::TextAlignmentRole) {
        Qt::Alignment alignment = section == SizeColumn ? Qt::AlignRight : Qt::AlignLeft;
        return static_cast<int>(alignment | Qt::AlignVCenter);
    }
    return QVariant();
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return index.column() == NameColumn ? flags | Qt::ItemIsEditable : flags;
}

int FileListModel::columnWidth(int column)
{
    static constexpr int widths[ColumnCount] = { 300, 80, 120, 120, 70 };
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}
