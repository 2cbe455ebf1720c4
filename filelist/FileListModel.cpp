#include "filelist/FileListModel.h"

#include "classify/FileType.h"
#include "filelist/FileNameOrder.h"
#include "filelist/FileRowBuilder.h"
#include "platform/FolderEntries.h"

#include <QFile>

#include <algorithm>
#include <utility>

namespace {

// The published files that the list shows beside the Word documents.
constexpr const char* PublishedSuffixes[] = { ".htm", ".html", ".mhtml", ".txt", ".xps", ".pdf" };

bool isShownFile(const std::string& name, const QByteArray& fullPath)
{
    if (FileType().isWordFile(fullPath.constData()))
        return true;
    return std::any_of(std::begin(PublishedSuffixes), std::end(PublishedSuffixes),
        [&](const char* suffix) { return endsWith(name.c_str(), suffix); });
}

bool isListable(const platform::FolderEntry& entry)
{
    return !entry.isDirectory && entry.name != ".";
}

// What a screen reader says before each column's text, in words rather than the headers' codes.
const char* const AccessibleColumnNames[FileListModel::ColumnCount]
    = { "File name", "Encrypted", "Last modified", "Type", "Size in kilobytes" };

}

FileListModel::FileListModel(QObject* parent, TraceSink trace)
    : QAbstractTableModel(parent)
    , m_rowBuilder(std::make_unique<FileRowBuilder>(std::move(trace)))
    , m_order(std::make_unique<FileNameOrder>())
{
}

FileListModel::~FileListModel() = default;

void FileListModel::showFolder(const QByteArray& folder)
{
    // The new rows are made before the model changes, so that a failure on the way leaves the
    // old list whole; the view then sees one reset rather than a row at a time.
    std::vector<FileListRow> rows = rowsOf(folder);
    beginResetModel();
    m_currentFolder = folder;
    m_rows = std::move(rows);
    endResetModel();
}

void FileListModel::removeAllRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

std::vector<FileListRow> FileListModel::rowsOf(const QByteArray& folder)
{
    std::vector<FileListRow> rows;
    if (folder.isEmpty())
        return rows;
    std::optional<std::vector<platform::FolderEntry>> entries
        = platform::FolderEntries::list(folder.toStdString());
    if (!entries)
        return rows;
    struct Shown {
        QString name;
        FileListRow row;
    };
    std::vector<Shown> shown;
    for (const platform::FolderEntry& entry : *entries) {
        if (!isListable(entry))
            continue;
        QByteArray fullPath = folder + QByteArray::fromStdString(entry.name);
        if (!isShownFile(entry.name, fullPath))
            continue;
        FileListRow row = m_rowBuilder->build(entry, fullPath);
        shown.push_back({ QFile::decodeName(row.name), std::move(row) });
    }
    std::sort(shown.begin(), shown.end(), [&](const Shown& a, const Shown& b) {
        return m_order->before(a.name, a.row.name, b.name, b.row.name);
    });
    rows.reserve(shown.size());
    for (Shown& one : shown)
        rows.push_back(std::move(one.row));
    return rows;
}

int FileListModel::insertFile(const QByteArray& fullPath)
{
    // A row's file is always the current folder followed by its name, so a file elsewhere would
    // give a row that names another file.
    int slash = fullPath.lastIndexOf('/');
    if (m_currentFolder.isEmpty() || slash < 0 || fullPath.left(slash + 1) != m_currentFolder)
        return -1;
    std::optional<platform::FolderEntry> entry = platform::FolderEntries::lookUp(fullPath.toStdString());
    if (!entry || !isListable(*entry))
        return -1;
    return insertRow(m_rowBuilder->build(*entry, fullPath));
}

int FileListModel::insertRow(FileListRow row)
{
    int place = sortedPlaceOf(row.name);
    beginInsertRows(QModelIndex(), place, place);
    m_rows.insert(m_rows.begin() + place, std::move(row));
    endInsertRows();
    return place;
}

int FileListModel::sortedPlaceOf(const QByteArray& name) const
{
    QString shown = QFile::decodeName(name);
    auto place = std::upper_bound(
        m_rows.begin(), m_rows.end(), name, [&](const QByteArray&, const FileListRow& row) {
            return m_order->before(shown, name, QFile::decodeName(row.name), row.name);
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
    int place = sortedPlaceOf(name);
    m_rows[static_cast<size_t>(row)].name = name;
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
        return column == NameColumn ? QVariant(QFile::decodeName(row.name)) : QVariant();
    case Qt::DecorationRole:
        return column == NameColumn && !row.icon.isNull() ? QVariant(row.icon) : QVariant();
    case Qt::TextAlignmentRole:
        return headerData(column, Qt::Horizontal, role);
    case Qt::AccessibleTextRole: {
        QString text = data(index, Qt::DisplayRole).toString();
        if (column == NameColumn)
            return text;
        if (text.isEmpty())
            text = column == EncryptedColumn ? QStringLiteral("none") : QStringLiteral("unknown");
        return QString::fromLatin1(AccessibleColumnNames[column]) + QStringLiteral(": ") + text;
    }
    default:
        return QVariant();
    }
    switch (column) {
    case NameColumn:
        return QFile::decodeName(row.name);
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
