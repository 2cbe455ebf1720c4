#pragma once

#include "classify/ProtectionKind.h"
#include "filelist/ProtectionCache.h"
#include "foundation/TraceSink.h"
#include "platform/FolderEntries.h"

#include <QByteArray>
#include <QCollatorSortKey>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// One file that a reading found: what the folder said of it, its name as shown, and its
// protection when an answer was kept for it. Its row's texts are made here, on the reading's
// thread; the window adds the type's name and icon, which it keeps per type.
struct FoundFile {
    platform::FolderEntry entry;
    QByteArray name;
    QString shownName;
    // Orders the file among the others (FileNameOrder).
    QCollatorSortKey sortKey;
    std::optional<ProtectionKind> kind;
    QString sizeText;
    QString modifiedText;

    FoundFile(platform::FolderEntry entry, QString shownName, QCollatorSortKey sortKey,
        std::optional<ProtectionKind> kind);
    FoundFile(const FoundFile&) = default;
    FoundFile& operator=(const FoundFile&) = default;
    // The key copies by a reference count and cannot fail: declared so, the files of a batch
    // move when their vector grows or is sorted instead of being copied.
    FoundFile(FoundFile&&) noexcept = default;
    FoundFile& operator=(FoundFile&&) noexcept = default;
};

// Reads a folder away from the window's thread, as a file manager does: one thread lists the
// entries (or looks up given names) and a few others open the files whose protection is not yet
// known, so that a slow disk costs the window nothing and its latencies overlap. Whoever reads
// is told through its Receiver that something can be taken, and takes it on its own thread. A
// reading ends with its object: from then on its receiver hears nothing, and its threads stop
// after the file in hand without anyone waiting for them.
class FolderReader {
public:
    class Receiver {
    public:
        // Called on one of the reading's threads when there is something to take; not again
        // until it has been taken.
        virtual void readingAdvanced() = 0;

    protected:
        ~Receiver() = default;
    };

    // The protection found for one file, as it was when it was tested.
    struct Answer {
        QByteArray name;
        ProtectionCache::Key key;
        ProtectionKind kind;
    };

    struct Progress {
        // In the order of the file list.
        std::vector<FoundFile> found;
        // Names looked up that name no file (gone, or now a folder).
        std::vector<QByteArray> missing;
        std::vector<Answer> answers;
        // Every file has been found (and given, when nothing is left behind).
        bool listed = false;
        // Listed, and every test answered: the reading is over.
        bool finished = false;
        // The folder itself could not be read.
        bool unreadable = false;
        // More was found than was taken; take again.
        bool more = false;
    };

    // Which listed files count (the file list's filter), by their names.
    using Filter = std::function<bool(std::string_view name)>;

    struct Services {
        std::shared_ptr<ProtectionCache> cache;
        TraceSink trace;
        // How many files are opened at once.
        size_t testers = 4;
    };

    // Lists folder (ending with '/') and tests the files that filter keeps.
    static std::unique_ptr<FolderReader> listing(
        const QByteArray& folder, Filter filter, Services services, Receiver& receiver);
    // Looks up the named entries of folder and tests those that are files.
    static std::unique_ptr<FolderReader> lookingUp(
        const QByteArray& folder, std::vector<QByteArray> names, Services services, Receiver& receiver);

    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // What the reading found and answered since the last take, at most atMost files of it.
    Progress take(size_t atMost);
    // Tests these files before any other still waiting.
    void testFirst(const std::vector<QByteArray>& names);

    // Puts files in the order of the file list.
    static void sortFound(std::vector<FoundFile>& files);

private:
    // Everything a reading's threads work on. They hold it themselves: a reading that ends while
    // a file is being opened (a slow or hung file server) does not wait for that file, and the
    // thread drops the state when it comes back.
    struct Shared;

    explicit FolderReader(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
};
