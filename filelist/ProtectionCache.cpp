#include "filelist/ProtectionCache.h"

#include "classify/EncryptedFileFinder.h"
#include "platform/FolderEntries.h"

namespace {

// About 40 bytes an answer: far more files than any folder holds, yet a bounded amount of
// memory however many folders a long session visits.
constexpr size_t AnswersKeptAtMost = 500000;

}

ProtectionCache::Key ProtectionCache::keyOf(const platform::FolderEntry& entry)
{
    return Key { entry.device, entry.inode, entry.size, entry.changed };
}

std::optional<ProtectionKind> ProtectionCache::find(const Key& key) const
{
    if (key.inode == 0)
        return std::nullopt;
    std::lock_guard lock(m_lock);
    auto found = m_answers.find(Identity { key.device, key.inode });
    if (found == m_answers.end() || found->second.size != key.size || found->second.changed != key.changed)
        return std::nullopt;
    return found->second.kind;
}

void ProtectionCache::store(const Key& key, ProtectionKind kind)
{
    if (key.inode == 0)
        return;
    std::lock_guard lock(m_lock);
    if (m_answers.size() >= AnswersKeptAtMost)
        m_answers.clear();
    m_answers[Identity { key.device, key.inode }] = Answer { key.size, key.changed, kind };
}

ProtectionKind ProtectionCache::kindOf(const QByteArray& fullPath, const TraceSink& trace)
{
    std::optional<platform::FolderEntry> entry = platform::FolderEntries::lookUp(fullPath.toStdString());
    Key key = entry ? keyOf(*entry) : Key();
    if (std::optional<ProtectionKind> known = find(key))
        return *known;
    ProtectionKind kind = test(fullPath, trace);
    // The answer is kept for the file as it was looked up; a file that changed meanwhile has
    // another change time and is tested again next time.
    store(key, kind);
    return kind;
}

ProtectionKind ProtectionCache::test(const QByteArray& fullPath, const TraceSink& trace)
{
    ProtectionKind kind = PROTECTION_NONE;
    EncryptedFileFinder(trace).isEncryptedFile(fullPath.constData(), kind);
    return kind == PROTECTION_IRM || kind == PROTECTION_PASSWORD ? kind : PROTECTION_NONE;
}
