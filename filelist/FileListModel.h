#pragma once

#include "classify/ProtectionKind.h"
#include "foundation/TraceSink.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QIcon>
#include <QString>

#include <memory>
#include <vector>

class FileNameOrder;
class FileRowBuilder;

// One row of the file list: what the folder's listing and the protection test said of one file
// when the row was made. A row holds no path; its file is the current folder followed by name.
struct FileListRow {
    // The file's name as the folder listing gave it: bytes, not necessarily valid UTF-8.
    QByteArray name;
    ProtectionKind kind = PROTECTION_NONE;
    QString protectionText;
    QString modifiedText;
    QString typeName;
    QString sizeText;
    // Null when the desktop has no icon for the file's type.
    QIcon icon;
};

// The rows of the file list, always in ascending order of name without regard to case: a row
// added later moves to its sorted place, and nothing else ever sorts them. The model also holds
// the folder it shows, from which every row's full path is formed. It needs no window, so tests
// fill it from a folder on disk.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn, EncryptedColumn, LastModifiedColumn, TypeColumn, SizeColumn, ColumnCount };

    // trace receives the line of every file whose protection cannot be read; by default the
    // lines are dropped.
    explicit FileListModel(QObject* parent = nullptr, TraceSink trace = TraceSink());
    ~FileListModel() override;

    // Makes folder (ending with '/', or empty for none) the current folder and replaces every
    // row by the Word documents and published files found in it. A folder that cannot be read
    // leaves the list empty.
    void showFolder(const QByteArray& folder);
    const QByteArray& currentFolder() const { return m_currentFolder; }

    // Adds the row of one file of the current folder, whatever its type, at its sorted place;
    // the row's index, or -1 when the file is gone, is a directory or cannot be listed.
    int insertFile(const QByteArray& fullPath);
    void removeRowAt(int row);
    // Empties the list and keeps the current folder.
    void removeAllRows();
    // Gives a row a new name after its file was renamed and moves it to the name's sorted place,
    // where it now is (-1: no such row); the other columns stay until the next filling.
    int renameRow(int row, const QByteArray& name);

    const FileListRow& rowAt(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // The current folder followed by the row's name.
    QByteArray fullPath(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The width of each column in pixels, as the view sets it.
    static int columnWidth(int column);

private:
    std::vector<FileListRow> rowsOf(const QByteArray& folder);
    int sortedPlaceOf(const QByteArray& name) const;
    int insertRow(FileListRow row);

    QByteArray m_currentFolder;
    std::vector<FileListRow> m_rows;
    // Kept for the model's life: the builder remembers each file type's name and icon.
    std::unique_ptr<FileRowBuilder> m_rowBuilder;
    std::unique_ptr<FileNameOrder> m_order;
};
