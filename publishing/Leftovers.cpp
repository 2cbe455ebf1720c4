#include "publishing/Leftovers.h"

#include "foundation/Log.h"
#include "platform/ExclusiveLock.h"
#include "platform/FileOperations.h"
#include "platform/FolderEntries.h"
#include "platform/LockedFolder.h"
#include "publishing/BackupName.h"

#include <string_view>

namespace files = platform::fileOperations;
using platform::ExclusiveLock;

namespace {

// The exports of the office keep their intermediate files in such folders beside the output.
constexpr std::string_view scratchPrefix = ".~pressling-";

// False when the backup differs from the document, which must then not be published.
bool settleLeftoverBackup(const std::string& document, const std::string& backup)
{
    ExclusiveLock lock = ExclusiveLock::tryTake(backup);
    if (!lock.held())
        return true;
    switch (Leftovers::settleBackup(document, backup, files::attributes(backup).mode)) {
    case Leftovers::Outcome::Removed:
        logDebug("OfficeApplication#protect,20,Deleted a left backup file %s", backup.c_str());
        return true;
    case Leftovers::Outcome::MovedBack:
        logDebug("OfficeApplication#protect,21,Moved a left backup file %s to %s", backup.c_str(),
            document.c_str());
        return true;
    case Leftovers::Outcome::NotMovedBack:
        logError("OfficeApplication#protect,22,Failed to move a left backup file %s to %s", backup.c_str(),
            document.c_str());
        return true;
    case Leftovers::Outcome::NotRemoved:
        logError("OfficeApplication#protect,27,Failed to delete a left backup file %s", backup.c_str());
        return true;
    case Leftovers::Outcome::Differs:
        break;
    }
    logError("OfficeApplication#protect,23,Found a left backup file %s that differs from %s", backup.c_str(),
        document.c_str());
    return false;
}

void removeLeftoverScratchFolder(const std::string& folder)
{
    platform::LockedFolder left;
    if (!left.takeAbandoned(folder))
        return;
    if (left.remove())
        logDebug("OfficeApplication#protect,24,Deleted a left work folder %s", folder.c_str());
    else
        logError("OfficeApplication#protect,28,Failed to delete a left work folder %s", folder.c_str());
}

}

Leftovers::Outcome Leftovers::settleBackup(
    const std::string& document, const std::string& backup, uint32_t recordedMode)
{
    int error = 0;
    if (!files::entryExists(document))
        return files::renameNoReplace(backup, document, error) ? Outcome::MovedBack : Outcome::NotMovedBack;
    if (!files::sameContents(document, backup))
        return Outcome::Differs;
    // The mode first: while the backup is there, it still records the mode to put back.
    if (files::attributes(document).mode != recordedMode)
        files::setMode(document, recordedMode, error);
    return files::removeFile(backup, error) ? Outcome::Removed : Outcome::NotRemoved;
}

int32_t Leftovers::sweep(const std::string& document)
{
    size_t slash = document.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : document.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? document : document.substr(slash + 1);
    int32_t code = 0;
    for (const std::string& entry : platform::FolderEntries::names(folder)) {
        if (std::string_view(entry).substr(0, scratchPrefix.size()) == scratchPrefix)
            removeLeftoverScratchFolder(folder + entry);
        else if (BackupName::belongsTo(entry, name) && !settleLeftoverBackup(document, folder + entry))
            code = 607;
    }
    return code;
}
