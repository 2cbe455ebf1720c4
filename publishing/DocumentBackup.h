#pragma once

#include "platform/AbortCleanup.h"
#include "platform/ExclusiveLock.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class ReadOnlyFile;
}

// The copy of a document that protect keeps beside it while the office works on it. The copy
// records the document's mode and owner, is locked for as long as this object lives (so that the
// next job knows it is not a leftover), and is put in order at once if the program must end
// before protect has finished with it.
class DocumentBackup {
public:
    DocumentBackup() = default;
    DocumentBackup(const DocumentBackup&) = delete;
    DocumentBackup& operator=(const DocumentBackup&) = delete;

    // Copies the open document at documentPath beside it under a new backup name. False, with
    // error set to the system's error, when no copy could be made; path() then names the backup
    // that was tried.
    bool create(const platform::ReadOnlyFile& document, const std::string& documentPath, int& error);

    const std::string& path() const { return m_path; }
    // The file that the document's name leads to (through a symlink), where a restored backup
    // goes so that a symlinked document stays a symlink.
    const std::string& target() const { return m_target; }

private:
    std::string m_path;
    std::string m_target;
    platform::ExclusiveLock m_lock;
    // Last, so that it is unregistered before the lock is given back.
    std::unique_ptr<platform::AbortCleanup> m_abortCleanup;
};
