#pragma once

#include "classify/ProtectionKind.h"
#include "filelist/FolderReader.h"
#include "filelist/ProtectionCache.h"
#include "foundation/TraceSink.h"
#include "platform/FolderWatch.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QCollatorSortKey>
#include <QElapsedTimer>
#include <QIcon>
#include <QList>
#include <QSet>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class FileNameOrder;
class FileRowBuilder;

// One row of the file list: what the folder's listing and the protection test said of one file.
// A row holds no path; its file is the current folder followed by name.
struct FileListRow {
    // The file's name as the folder listing gave it: bytes, not necessarily valid UTF-8.
    QByteArray name;
    // The name as the list shows it, and the key that orders it.
    QString shownName;
    std::optional<QCollatorSortKey> sortKey;
    // The file as it was when the row was made: an answer about another version of it is not
    // this row's.
    ProtectionCache::Key identity;
    ProtectionKind kind = PROTECTION_NONE;
    // False while the file's protection test has not answered: kind then says nothing yet.
    bool protectionKnown = true;
    // Added by a paste or a drop, whatever its type: kept until the list is filled again.
    bool added = false;
    QString protectionText;
    QString modifiedText;
    QString typeName;
    QString sizeText;
    // Null when the desktop has no icon for the file's type.
    QIcon icon;

    FileListRow() = default;
    FileListRow(const FileListRow&) = default;
    FileListRow& operator=(const FileListRow&) = default;
    // The sort key copies by a reference count and cannot fail: declared so, rows move when the
    // list grows or is merged instead of being copied.
    FileListRow(FileListRow&&) noexcept = default;
    FileListRow& operator=(FileListRow&&) noexcept = default;
};

// The rows of the file list, always in ascending order of name without regard to case: a row
// added later moves to its sorted place, and nothing else ever sorts them. The model also holds
// the folder it shows, from which every row's full path is formed.
//
// Filling reads the folder in the background: the rows come in batches as they are found, and a
// document's protection fills in when its test has answered; a new filling cancels the one
// before it. The answers are kept while each file stays unchanged, so showing the same folder
// again costs a listing. While a folder is shown it is watched, and its rows follow what other
// programs do to its files. It needs no window, so tests fill it from a folder on disk.
class FileListModel : public QAbstractTableModel,
                      private FolderReader::Receiver,
                      private platform::FolderWatch::Listener {
    Q_OBJECT

public:
    enum Column { NameColumn, EncryptedColumn, LastModifiedColumn, TypeColumn, SizeColumn, ColumnCount };

    // trace receives the line of every file whose protection cannot be read; by default the
    // lines are dropped.
    explicit FileListModel(QObject* parent = nullptr, TraceSink trace = TraceSink());
    ~FileListModel() override;

    // Makes folder (ending with '/', or empty for none) the current folder, empties the list
    // and starts filling it with the Word documents and published files found in it; returns at
    // once. A folder that cannot be read leaves the list empty.
    void showFolder(const QByteArray& folder);
    const QByteArray& currentFolder() const { return m_currentFolder; }
    // From showFolder until every row is there with its protection.
    bool isFilling() const { return m_filling != nullptr; }
    // Whether the current folder's changes are followed; where not, only a new filling shows them.
    bool isWatched() const { return m_watch != nullptr; }

    // True when the protection of every row named is known (a name without a row counts as
    // known: there is nothing to wait for).
    bool protectionKnown(const QList<QByteArray>& names) const;
    // Has these rows' files tested before the others still waiting.
    void testFirst(const QList<QByteArray>& names);
    // The protection of the file at fullPath as it is now: the kept answer while the file is
    // unchanged, else the test of the file itself.
    ProtectionKind protectionOf(const QByteArray& fullPath);

    // Adds the row of one file of the current folder, whatever its type, at its sorted place (a
    // row of the same name is brought up to date instead); the row's index, or -1 when the file
    // is gone, is a directory or cannot be listed. The row stays until the next filling.
    int insertFile(const QByteArray& fullPath);
    void removeRowAt(int row);
    // Empties the list and keeps the current folder.
    void removeAllRows();
    // Gives a row a new name after its file was renamed and moves it to the name's sorted place,
    // where it now is (-1: no such row); the other columns stay until the file is looked at again.
    int renameRow(int row, const QByteArray& name);

    const FileListRow& rowAt(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // The row showing the file called name, or -1.
    int rowOf(const QByteArray& name) const;
    // The current folder followed by the row's name.
    QByteArray fullPath(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The width of each column in pixels, as the view sets it.
    static int columnWidth(int column);

signals:
    // A filling started (true) or is complete (false).
    void fillingChanged(bool filling);
    // The filling is complete: every row is there with its protection.
    void filled();
    // Rows' protection became known, or rows went.
    void protectionFound();

private:
    void readingAdvanced() override;
    void entryChanged(const std::string& name) override;
    void folderGone() override;

    FolderReader::Services readerServices() const;
    void takeSoon();
    void takeProgress();
    void stopReading();
    void lookUpChanged();
    void leaveGoneFolder();
    // Brings rows of found files up to date and adds rows for the others that show (all of
    // them when every found file shows).
    void mergeFound(std::vector<FoundFile> found, bool allShow);
    void addSorted(std::vector<FileListRow> rows);
    void applyAnswers(const std::vector<FolderReader::Answer>& answers);
    void removeNames(const std::vector<QByteArray>& names);
    int sortedPlaceOf(const QCollatorSortKey& key, const QByteArray& name) const;
    int rowOf(const QCollatorSortKey& key, const QByteArray& name) const;
    QCollatorSortKey sortKeyOf(const QString& shown) const;
    int insertRow(FileListRow row);

    QByteArray m_currentFolder;
    std::vector<FileListRow> m_rows;
    TraceSink m_trace;
    std::shared_ptr<ProtectionCache> m_cache;
    // Kept for the model's life: the builder remembers each file type's name and icon.
    std::unique_ptr<FileRowBuilder> m_rowBuilder;
    std::unique_ptr<FileNameOrder> m_order;

    std::unique_ptr<FolderReader> m_filling;
    // The filling has given every row; until then the watch's news waits.
    bool m_listed = false;
    std::unique_ptr<FolderReader> m_update;
    std::unique_ptr<platform::FolderWatch> m_watch;
    // Entries that the watch told of and that are still to be looked up.
    QSet<QByteArray> m_changed;
    QTimer m_changeTimer;
    QTimer m_takeTimer;
    QElapsedTimer m_sinceTake;
};
