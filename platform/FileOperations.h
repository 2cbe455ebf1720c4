#pragma once

#include "platform/ExclusiveLock.h"
#include "platform/ReadOnlyFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The few file system calls that publishing one document makes, each reporting the system's
// error number instead of throwing, so that the caller can turn every failure into its own code.
namespace fileOperations {

// What stands in for a file's attribute word: present, and writable by its owner.
struct FileAttributes {
    bool exists = false;
    bool readOnly = false;
    bool isDirectory = false;
    // The permission bits, kept so that a change can be undone exactly.
    uint32_t mode = 0;
};

// The longest name of one entry in a folder, in bytes, on the file systems we write to.
constexpr size_t maxNameLength = 255;

FileAttributes attributes(const std::string& path);
// True when the attributes of path can be read: it exists (a symlink through to what it names)
// and every folder on the way can be searched.
bool exists(const std::string& path);
// True when anything is there under the name itself, a symlink that leads nowhere too.
bool entryExists(const std::string& path);
// Sets or clears the owner's write permission and leaves every other bit alone. False with
// error set when the permissions cannot be changed.
bool setWritable(const std::string& path, bool writable, int& error);
// Puts the permission bits back to mode.
bool setMode(const std::string& path, uint32_t mode, int& error);

// A real copy of an open regular file: target is created (never replaced) with the source's
// permissions and, where this process may give it, the source's owner; it is filled with the
// source's bytes and flushed to the disk before this returns. The target appears under its name
// only when it is complete, so that a crash halfway never leaves a partial copy behind, and lock
// holds the copy's lock from before it has its name until lock goes.
bool copyFileExclusive(
    const ReadOnlyFile& source, const std::string& target, ExclusiveLock& lock, int& error);
// What a copy does when something is already there under the target's name.
enum class ExistingTarget { Keep, Replace };

// A copy of a user's file that never leaves a partial file behind and never replaces what was
// not meant to be replaced: the bytes go into a file without a name (or, where the file system
// has none, a hidden temporary beside the target), are flushed to the disk, and only then get
// the target's name. With Keep an existing target makes the copy fail (EEXIST); with Replace
// the old file is replaced in one rename, so that until then it is whole. The copy keeps the
// source's permissions. False with error set; the target is then as it was before.
bool copyFile(const ReadOnlyFile& source, const std::string& target, ExistingTarget existing, int& error);
// True when both paths lead to one file: the same path, or one file reached through a symlink
// or a hard link.
bool sameFile(const std::string& first, const std::string& second);
// Renames source to target in one atomic step, replacing an existing target: at every moment
// one of the two files is there under the target's name.
bool renameReplacing(const std::string& source, const std::string& target, int& error);
// Renames source to target in one atomic step, only when nothing is there under the target's
// name (error EEXIST otherwise). Where the file system ignores letter case and only finds the
// target's name in another case, the file is renamed in two steps, through a temporary name, and
// never over another file.
bool renameNoReplace(const std::string& source, const std::string& target, int& error);
bool removeFile(const std::string& path, int& error);
// Removes everything in the open folder: a symlink inside is removed itself and never followed,
// and a folder inside is entered only through O_NOFOLLOW, so nothing outside is ever touched.
// Only calls on descriptors, so it may run on another thread beside the folder's owner.
bool removeFolderContents(int folder, int& error);

// True when both are regular files with the same bytes; false when either cannot be read.
bool sameContents(const std::string& first, const std::string& second);
// The file that path leads to through any symlinks, or path itself when it leads nowhere.
std::string resolvedPath(const std::string& path);

// Writes all length bytes, going on after short writes and interruptions; false with error set
// when the system refuses.
bool writeAll(int descriptor, const char* data, size_t length, int& error);

// Puts bytes in place of path's contents in one step: a temporary file beside it is filled,
// given mode, flushed to the disk and renamed over path, and then the folder is flushed too, so
// that after a crash path holds either the old contents or the new, never a mix. On failure the
// old file is left whole, no temporary is left behind, and error holds the system's error.
bool writeFileAtomically(const std::string& path, std::string_view bytes, uint32_t mode, int& error);
// The mode that writeFileAtomically should keep: path's permission bits, or fallback when path
// does not exist yet.
uint32_t modeOrDefault(const std::string& path, uint32_t fallback);

// The whole contents of a regular file of at most limit bytes. False when it cannot be opened
// or read (error holds the system's error, ENOENT for a missing file), when it is not a regular
// file (EINVAL: a FIFO or a device is refused at once instead of being waited on), or when it
// holds more than limit bytes (EFBIG).
bool readAll(const std::string& path, std::string& bytes, uint64_t limit, int& error);
bool readAll(const std::string& path, std::string& bytes, uint64_t limit);
// The file's size in bytes, or -1 when it has none.
int64_t fileSize(const std::string& path);

}

}
