#include "publishing/DocumentBackup.h"

#include "foundation/Guid.h"
#include "foundation/String.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"
#include "publishing/BackupName.h"
#include "publishing/Leftovers.h"

namespace files = platform::fileOperations;

bool DocumentBackup::create(
    const platform::ReadOnlyFile& document, const std::string& documentPath, int& error)
{
    String guid;
    if (!Guid().create(guid))
        return false;
    size_t slash = documentPath.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    m_path = documentPath.substr(0, nameStart)
        + BackupName::forDocument(documentPath.substr(nameStart), guid.getText());
    if (!files::copyFileExclusive(document, m_path, m_lock, error))
        return false;
    m_target = files::resolvedPath(documentPath);
    // The cleanup runs on another thread while this one goes on, so it works on copies.
    m_abortCleanup = std::make_unique<platform::AbortCleanup>(
        [target = m_target, backup = m_path, mode = document.mode()] {
            Leftovers::settleBackup(target, backup, mode);
        });
    return true;
}
