// Publishing one document: the checks, the backup and its removal or restoration around the
// publisher of the document's application.
#include "publishing/OfficeApplication.h"

#include "classify/FileType.h"
#include "foundation/Exception.h"
#include "foundation/Guid.h"
#include "foundation/Log.h"
#include "foundation/String.h"
#include "platform/FileInUse.h"
#include "platform/FileOperations.h"
#include "publishing/OfficeVersion.h"

#include <cstring>

namespace files = platform::fileOperations;

namespace {

// The backup sits beside the document under a name nobody else uses: the document's full name,
// a new GUID and the document's extension again, so that it still opens with the same program.
bool makeBackupName(const char* path, std::string& backup)
{
    String guid;
    if (!Guid().create(guid))
        return false;
    const char* extension = std::strrchr(path, '.');
    backup = std::string(path) + "." + guid.getText() + (extension ? extension : "");
    return true;
}

}

int32_t OfficeApplication::protect(const char* path, int32_t command)
{
    logDebug("OfficeApplication#protect,1,Start file=%s ", path);
    FileType fileType;
    if (!files::exists(path)) {
        logError("OfficeApplication#protect,2,File not found %s", path);
        return 102;
    }
    if (!fileType.isOfficeFile(path)) {
        logError("OfficeApplication#protect,3,Unsupported file %s", path);
        return 103;
    }
    if (fileType.isOffice2007File(path) && OfficeVersion().getWordVersion() < 12) {
        logError("EncryptOfficeFile,4,protect,Office12 is not installed");
        return 800;
    }

    uint32_t attributes = 0;
    bool changed = false;
    int32_t normal = setNormalFileAttribute(path, attributes, changed);
    logDebug("OfficeApplication#protect,4,setNormalFileAttributs %d changed%d", normal, changed ? 1 : 0);
    auto restoreAttributes = [&] {
        int error = 0;
        if (changed)
            files::setMode(path, attributes, error);
    };

    if (platform::isFileInUse(path)) {
        logError("OfficeApplication#protect,5,Used in other program %s", path);
        restoreAttributes();
        return 601;
    }

    std::string backup;
    int copyError = 0;
    if (!makeBackupName(path, backup) || !files::copyFileExclusive(path, backup, copyError)) {
        logError("OfficeApplication#protect,6,Failed to copy a file %s to %s", path, backup.c_str());
        restoreAttributes();
        return 603;
    }
    logDebug("OfficeApplication#protect,7,Created a backup file %s", backup.c_str());

    int32_t code = 1;
    try {
        if (fileType.isWordFile(path))
            code = protectWord(path, command);
        else if (fileType.isExcelFile(path))
            code = protectExcel(path, command);
        else if (fileType.isPowerPointFile(path))
            code = protectPowerPoint(path, command);
    } catch (const Exception& error) {
        // The application could not be started for this document; the document is put back
        // below like after any other failure.
        logError("OfficeApplication#protect,18,%s", error.getMessage());
        code = error.getErrorCode() != 0 ? error.getErrorCode() : 1;
    } catch (...) {
        logError("OfficeApplication#protect,18,Unknown Exception");
        code = 1;
    }

    code = code == 0 ? discardBackup(backup) : restoreFromBackup(path, backup, code);
    restoreAttributes();
    logDebug("OfficeApplication#protect,17,End rc=%d", code);
    return code;
}

int32_t OfficeApplication::discardBackup(const std::string& backup)
{
    if (!files::exists(backup)) {
        logError("OfficeApplication#protect,10,No backupFile =%s", backup.c_str());
        return 0;
    }
    if (doDeleteFile(backup.c_str()) == 0) {
        logError("OfficeApplication#protect,9,Failed to delete a backup file %s", backup.c_str());
        return 604;
    }
    logDebug("OfficeApplication#protect,8,Deleted a backup file %s", backup.c_str());
    return 0;
}

// The backup is renamed over the document in one step, so that a crash at any moment leaves
// either the document or its backup under the document's name, never neither.
int32_t OfficeApplication::restoreFromBackup(const std::string& path, const std::string& backup, int32_t code)
{
    int error = 0;
    if (!files::exists(path)) {
        logDebug("OfficeApplication#protect,16,Not found an original file %s", path.c_str());
        if (files::exists(backup) && !files::renameReplacing(backup, path, error)) {
            logError("OfficeApplication#protect,12,Failed to move a backup file %s to %s", backup.c_str(),
                path.c_str());
            return 605;
        }
        return code;
    }
    if (files::renameReplacing(backup, path, error)) {
        logDebug("OfficeApplication#protect,11,Moved a backup file %s to %s", backup.c_str(), path.c_str());
        return code;
    }
    logError(
        "OfficeApplication#protect,12,Failed to move a backup file %s to %s", backup.c_str(), path.c_str());
    // The backup may only go when the document provably is what it was; otherwise it stays on
    // disk under its GUID name as the one good copy.
    // A document too large to compare in memory counts as changed, which keeps its backup.
    constexpr uint64_t comparableSize = 512ull * 1024 * 1024;
    std::string documentBytes;
    std::string backupBytes;
    if (!files::readAll(path, documentBytes, comparableSize) || !files::readAll(backup, backupBytes, comparableSize)
        || documentBytes != backupBytes)
        return 605;
    logError("OfficeApplication#protect,13,Failed to delete an original file %s", path.c_str());
    if (doDeleteFile(backup.c_str()) != 0)
        logDebug("OfficeApplication#protect,14,Deleted a backupFile %s", backup.c_str());
    else
        logError("OfficeApplication#protect,15,Failed to delete a backupFile %s", backup.c_str());
    return 606;
}

int32_t OfficeApplication::setNormalFileAttribute(const char* path, uint32_t& attributes, bool& changed)
{
    changed = false;
    files::FileAttributes current = files::attributes(path);
    attributes = current.mode;
    if (!current.exists)
        return 0;
    if (!current.readOnly)
        return 1;
    logDebug("OfficeApplication#setNormalFileAttribute,1,Readonly to normal");
    int error = 0;
    if (!files::setWritable(path, true, error)) {
        logError("OfficeApplication#setNormalFileAttribute,3,Failed to Readonly to normal");
        return 0;
    }
    changed = true;
    logDebug("OfficeApplication#setNormalFileAttribute,2,OK. Readonly to normal");
    return 1;
}

int32_t OfficeApplication::doDeleteFile(const char* path)
{
    logDebug("OfficeApplication#doDeleteFile,1,attr=%x filePath=%s", files::attributes(path).mode, path);
    for (int attempt = 0; attempt < 3; ++attempt) {
        int error = 0;
        if (files::removeFile(path, error)) {
            logDebug("OfficeApplication#doDeleteFile,2,OK");
            return 1;
        }
        logError(
            "OfficeApplication#doDeleteFile,3,Failed i=%d error=%x", attempt, static_cast<unsigned>(error));
    }
    return 0;
}
