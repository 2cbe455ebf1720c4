// Publishing one document: the checks, the backup and its removal or restoration around the
// publisher of the document's application.
#include "publishing/OfficeApplication.h"

#include "classify/FileType.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "platform/FileInUse.h"
#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"
#include "publishing/BackupName.h"
#include "publishing/DocumentBackup.h"
#include "publishing/Leftovers.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"

#include <cstring>

namespace files = platform::fileOperations;

namespace {

const char* nameOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// Everything that is decided before the document is touched, and its backup: 0 with backup made,
// or the code that refuses the document. The document is opened once, without waiting, and
// everything after works on what that open found: the in-use probe and the copy.
int32_t checkAndBackUp(const char* path, int32_t command, DocumentBackup& backup)
{
    FileType fileType;
    bool supported = fileType.isOfficeFile(path);
    // A job killed mid-document left its backup beside the document: it is put in order first,
    // since it may be the document itself.
    if (supported && Leftovers::sweep(path) != 0)
        return 607;
    platform::ReadOnlyFile document(path);
    if (!document.isOpen()) {
        logError("OfficeApplication#protect,2,File not found %s", path);
        return 102;
    }
    if (!supported) {
        logError("OfficeApplication#protect,3,Unsupported file %s", path);
        return 103;
    }
    if (fileType.isOffice2007File(path) && OfficeVersion().getWordVersion() < 12) {
        logError("EncryptOfficeFile,4,protect,Office12 is not installed");
        return 800;
    }
    const char* suffix = publishedSuffix(path, command);
    if (suffix && std::strlen(nameOf(path)) + std::strlen(suffix) > files::maxNameLength) {
        logError("OfficeApplication#protect,26,Too long a name for an output file %s%s", path, suffix);
        return 105;
    }
    if (platform::isFileInUse(document.descriptor(), path)) {
        logError("OfficeApplication#protect,5,Used in other program %s", path);
        return 601;
    }
    int copyError = 0;
    if (!backup.create(document, path, copyError)) {
        logError("OfficeApplication#protect,6,Failed to copy a file %s to %s", path, backup.path().c_str());
        return 603;
    }
    logDebug("OfficeApplication#protect,7,Created a backup file %s", backup.path().c_str());
    return 0;
}

}

int32_t OfficeApplication::protect(const char* path, int32_t command)
{
    logDebug("OfficeApplication#protect,1,Start file=%s ", path);
    if (BackupName::isBackup(nameOf(path))) {
        logError("OfficeApplication#protect,25,Not a document but a backup file %s", path);
        return 104;
    }
    // The backup is made before the document is made writable, so that it records the mode that
    // the document must get back whatever happens to this job.
    DocumentBackup backup;
    if (int32_t refused = checkAndBackUp(path, command, backup); refused != 0)
        return refused;

    uint32_t attributes = 0;
    bool changed = false;
    int32_t normal = setNormalFileAttribute(path, attributes, changed);
    logDebug("OfficeApplication#protect,4,setNormalFileAttributs %d changed%d", normal, changed ? 1 : 0);

    int32_t code = 1;
    FileType fileType;
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

    // The mode goes back while the backup still records it.
    int error = 0;
    if (changed)
        files::setMode(path, attributes, error);
    code = code == 0 ? discardBackup(backup.path()) : restoreFromBackup(path, backup, code);
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

// Only a document that is gone or changed is restored. One that the office left as it was stays
// exactly as it is, the same file with its inode, links, owner, times and extended attributes,
// and only the backup goes.
int32_t OfficeApplication::restoreFromBackup(
    const std::string& path, const DocumentBackup& backup, int32_t code)
{
    const std::string& target = backup.target();
    int error = 0;
    if (!files::entryExists(target)) {
        logDebug("OfficeApplication#protect,16,Not found an original file %s", path.c_str());
        if (files::exists(backup.path()) && !files::renameNoReplace(backup.path(), target, error)) {
            logError("OfficeApplication#protect,12,Failed to move a backup file %s to %s",
                backup.path().c_str(), path.c_str());
            return 605;
        }
        return code;
    }
    if (files::sameContents(target, backup.path())) {
        logDebug("OfficeApplication#protect,19,Not changed an original file %s", path.c_str());
        if (doDeleteFile(backup.path().c_str()) != 0)
            logDebug("OfficeApplication#protect,14,Deleted a backupFile %s", backup.path().c_str());
        else
            logError("OfficeApplication#protect,15,Failed to delete a backupFile %s", backup.path().c_str());
        return code;
    }
    // The backup carries the document's mode and owner, and is renamed over what the document
    // has become in one step, so that a crash at any moment leaves one of the two under the
    // document's name. When that fails the backup stays on disk under its GUID name.
    if (files::renameReplacing(backup.path(), target, error)) {
        logDebug(
            "OfficeApplication#protect,11,Moved a backup file %s to %s", backup.path().c_str(), path.c_str());
        return code;
    }
    logError("OfficeApplication#protect,12,Failed to move a backup file %s to %s", backup.path().c_str(),
        path.c_str());
    return 605;
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
