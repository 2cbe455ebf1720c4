#pragma once

#include "classify/ProtectionKind.h"
#include "foundation/TraceSink.h"

#include <QByteArray>

#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace platform {
struct FolderEntry;
}

// The protection kinds that the file list has learnt, kept while each file stays as it was, so
// that showing a folder again costs a listing rather than opening every document. A file is
// known by its device and inode; an answer holds while its size and its change time (which a
// write, even one that keeps the size and the modification time, moves on) are those it was
// learnt with. Safe to use from several threads at once.
class ProtectionCache {
public:
    // What the answer about one file depends on; a default key (no inode) is never kept.
    struct Key {
        uint64_t device = 0;
        uint64_t inode = 0;
        uint64_t size = 0;
        int64_t changed = 0;
        bool operator==(const Key&) const = default;
    };

    static Key keyOf(const platform::FolderEntry& entry);

    // The kind learnt of the file that key describes, while it is unchanged.
    std::optional<ProtectionKind> find(const Key& key) const;
    void store(const Key& key, ProtectionKind kind);

    // The file's kind as it is now: a kept answer while the file is unchanged, else the test of
    // its contents, which is then kept. trace receives the line of a file that cannot be read.
    ProtectionKind kindOf(const QByteArray& fullPath, const TraceSink& trace);

    // The protection test itself, with the kinds the list knows; anything else is unprotected.
    static ProtectionKind test(const QByteArray& fullPath, const TraceSink& trace);

private:
    struct Identity {
        uint64_t device;
        uint64_t inode;
        bool operator==(const Identity&) const = default;
    };
    struct IdentityHash {
        size_t operator()(const Identity& identity) const
        {
            return std::hash<uint64_t>()(identity.inode * 31 + identity.device);
        }
    };
    struct Answer {
        uint64_t size;
        int64_t changed;
        ProtectionKind kind;
    };

    mutable std::mutex m_lock;
    std::unordered_map<Identity, Answer, IdentityHash> m_answers;
};
