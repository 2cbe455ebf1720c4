#include "platform/FileOperations.h"

#include "platform/AbortCleanup.h"
#include "platform/FolderEntries.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <stdio.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform::fileOperations {

namespace {

// Closes a descriptor when the scope ends, whatever path the copy takes out of it.
class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    int get() const { return m_descriptor; }
    // Hands the descriptor over to the caller, who closes it from then on.
    int release() { return std::exchange(m_descriptor, -1); }
    // Closes now and reports the failure that a deferred write may only show here.
    bool close(int& error)
    {
        int descriptor = m_descriptor;
        m_descriptor = -1;
        if (::close(descriptor) == 0)
            return true;
        error = errno;
        return false;
    }

private:
    int m_descriptor;
};

// Hands every block read from a descriptor to consume until the end of the file; false with
// error set when a read fails or consume refuses a block (it sets error itself).
template <typename Consumer> bool readBlocks(int from, int& error, Consumer&& consume)
{
    char buffer[64 * 1024];
    for (;;) {
        ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (got == 0)
            return true;
        if (!consume(buffer, static_cast<size_t>(got)))
            return false;
    }
}

// The kernel copies the file within itself, and where the file system can it shares the blocks
// instead (a reflink on Btrfs or XFS), so that a large document's copy costs next to nothing.
// Where it cannot copy between the two at all it says so at the first call, and the blocks are
// read and written here instead; an empty first answer is read again too, since some files
// report no size to the kernel's copy while they have contents.
bool copyContents(int from, int to, int& error)
{
    constexpr size_t largestChunk = 1u << 30;
    for (bool first = true;; first = false) {
        ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, largestChunk, 0);
        if (copied > 0)
            continue;
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied == 0 && !first)
            return true;
        if (!first) {
            error = errno;
            return false;
        }
        if (copied < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            error = errno;
            return false;
        }
        break;
    }
    return readBlocks(
        from, error, [&](const char* block, size_t length) { return writeAll(to, block, length, error); });
}

}

FileAttributes attributes(const std::string& path)
{
    FileAttributes result;
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return result;
    result.exists = true;
    result.isDirectory = S_ISDIR(status.st_mode);
    result.readOnly = (status.st_mode & S_IWUSR) == 0;
    result.mode = status.st_mode & 07777;
    return result;
}

bool exists(const std::string& path)
{
    struct stat status { };
    return ::stat(path.c_str(), &status) == 0;
}

bool entryExists(const std::string& path)
{
    struct stat status { };
    return ::lstat(path.c_str(), &status) == 0;
}

bool setMode(const std::string& path, uint32_t mode, int& error)
{
    if (::chmod(path.c_str(), static_cast<mode_t>(mode & 07777)) == 0)
        return true;
    error = errno;
    return false;
}

bool setWritable(const std::string& path, bool writable, int& error)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0) {
        error = errno;
        return false;
    }
    mode_t mode = status.st_mode & 07777;
    mode = writable ? (mode | S_IWUSR) : (mode & ~static_cast<mode_t>(S_IWUSR));
    return setMode(path, mode, error);
}

namespace {

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is only durable once the folder that records it is on the disk too.
void syncFolder(const std::string& folder)
{
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// Creates a new empty file in folder, of a name that nothing had, and gives its
// descriptor (negative, with error set, on failure) and name. The name is short and of fixed
// length, so that it fits beside any target, whose own name may already take all 255 bytes.
int createTemporaryIn(const std::string& folder, std::string& name, int& error)
{
    std::string pattern = folder + "/.~pressling-XXXXXX.tmp";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int descriptor = ::mkostemps(buffer.data(), 4, O_CLOEXEC);
    if (descriptor < 0) {
        error = errno;
        return descriptor;
    }
    name = buffer.data();
    return descriptor;
}

// Fills an open target from source, gives it the source's owner where this process may and the
// source's permissions, and flushes it; false with error set. The owner comes first, because a
// change of owner clears the set-user-ID and set-group-ID bits.
bool fillCopy(const ReadOnlyFile& source, int to, int& error)
{
    if (::lseek(source.descriptor(), 0, SEEK_SET) != 0) {
        error = errno;
        return false;
    }
    if (!copyContents(source.descriptor(), to, error))
        return false;
    // Only the owner itself or root may give a file away; anyone else keeps the copy as its own.
    (void)::fchown(to, source.owner(), source.group());
    if (::fchmod(to, source.mode()) != 0 || ::fsync(to) != 0) {
        error = errno;
        return false;
    }
    return true;
}

// The copy is made in a file without a name, locked, and given its name only once it is
// complete, so that a process killed halfway leaves nothing behind, a backup that exists is whole,
// and nobody ever sees it unlocked while its maker lives.
int copyAnonymously(const ReadOnlyFile& source, const std::string& target, ExclusiveLock& lock, int& error)
{
    Descriptor to(::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (to.get() < 0)
        return -1;
    if (!fillCopy(source, to.get(), error))
        return 0;
    std::string self = "/proc/self/fd/" + std::to_string(to.get());
    if (::flock(to.get(), LOCK_EX) != 0
        || ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        error = errno;
        return 0;
    }
    lock = ExclusiveLock(to.release());
    return 1;
}

}

bool copyFileExclusive(const ReadOnlyFile& source, const std::string& target, ExclusiveLock& lock, int& error)
{
    int anonymous = copyAnonymously(source, target, lock, error);
    if (anonymous >= 0)
        return anonymous == 1;
    // A file system without unnamed files: a named target, created exclusively and locked at
    // once, removed again when the copy fails.
    Descriptor to(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (to.get() < 0) {
        error = errno;
        return false;
    }
    if (::flock(to.get(), LOCK_EX) != 0) {
        error = errno;
        ::unlink(target.c_str());
        return false;
    }
    if (!fillCopy(source, to.get(), error)) {
        ::unlink(target.c_str());
        return false;
    }
    lock = ExclusiveLock(to.release());
    return true;
}

namespace {

// A name that nothing has now, beside target.
bool makeTemporaryName(const std::string& folder, std::string& name, int& error)
{
    int descriptor = createTemporaryIn(folder, name, error);
    if (descriptor < 0)
        return false;
    ::close(descriptor);
    ::unlink(name.c_str());
    return true;
}

// Gives the complete unnamed copy its final name. A replacing copy is first linked under a
// temporary name, because a link never replaces, and then renamed over the old file.
bool nameUnnamedCopy(int descriptor, const std::string& target, ExistingTarget existing, int& error)
{
    std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    if (existing == ExistingTarget::Keep) {
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        error = errno;
        return false;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string temporary;
        if (!makeTemporaryName(folderOf(target), temporary, error))
            return false;
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            error = errno;
            if (error == EEXIST)
                continue;
            return false;
        }
        if (::rename(temporary.c_str(), target.c_str()) == 0)
            return true;
        error = errno;
        ::unlink(temporary.c_str());
        return false;
    }
    return false;
}

// The copy of a file system without unnamed files: a hidden temporary that a program made to
// end at once removes again, renamed into place once complete.
bool copyThroughTemporary(
    const ReadOnlyFile& source, const std::string& target, ExistingTarget existing, int& error)
{
    std::string temporary;
    Descriptor to(createTemporaryIn(folderOf(target), temporary, error));
    if (to.get() < 0)
        return false;
    AbortCleanup removeTemporary([temporary] { ::unlink(temporary.c_str()); });
    bool copied = fillCopy(source, to.get(), error) && to.close(error);
    copied = copied
        && (existing == ExistingTarget::Keep ? renameNoReplace(temporary, target, error)
                                             : renameReplacing(temporary, target, error));
    if (!copied)
        ::unlink(temporary.c_str());
    return copied;
}

}

bool copyFile(const ReadOnlyFile& source, const std::string& target, ExistingTarget existing, int& error)
{
    Descriptor to(::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR));
    bool copied = to.get() >= 0
        ? fillCopy(source, to.get(), error) && nameUnnamedCopy(to.get(), target, existing, error)
        : copyThroughTemporary(source, target, existing, error);
    if (copied)
        syncFolder(folderOf(target));
    return copied;
}

bool sameFile(const std::string& first, const std::string& second)
{
    if (first == second)
        return true;
    struct stat one { };
    struct stat other { };
    return ::stat(first.c_str(), &one) == 0 && ::stat(second.c_str(), &other) == 0
        && one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

bool renameReplacing(const std::string& source, const std::string& target, int& error)
{
    if (::rename(source.c_str(), target.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

bool removeFile(const std::string& path, int& error)
{
    if (::unlink(path.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

namespace {

// A rename that never replaces: in one step where the file system can be told so. Where it
// cannot (file systems in user space often cannot), a hard link refuses to replace just as well;
// and where there are no hard links either (FAT, exFAT through FUSE), the name is looked at just
// before a plain rename, as a file manager does.
bool renameOnce(const std::string& source, const std::string& target, int& error)
{
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    error = errno;
    if (error != EINVAL && error != ENOSYS)
        return false;
    if (::link(source.c_str(), target.c_str()) == 0) {
        ::unlink(source.c_str());
        return true;
    }
    if (errno == EEXIST || entryExists(target)) {
        error = EEXIST;
        return false;
    }
    if (::rename(source.c_str(), target.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

// True when the folder of path holds an entry of exactly path's name. A file system that ignores
// letter case also answers to the name in another case, which no entry has.
bool listedAsSuch(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') + 1);
    for (const std::string& entry : FolderEntries::names(folderOf(path))) {
        if (entry == name)
            return true;
    }
    return false;
}

}

bool renameNoReplace(const std::string& source, const std::string& target, int& error)
{
    if (renameOnce(source, target, error))
        return true;
    // A file system that ignores letter case (FAT, as on a USB stick) finds the source itself
    // under a target that differs from it only in case, and refuses. The file goes through a
    // name of its own instead; should another file answer to the target's name after all, that
    // rename refuses too and the file gets its old name back.
    if (error != EEXIST || listedAsSuch(target))
        return false;
    std::string temporary;
    if (!makeTemporaryName(folderOf(target), temporary, error) || !renameOnce(source, temporary, error))
        return false;
    if (renameOnce(temporary, target, error))
        return true;
    int ignored = 0;
    renameOnce(temporary, source, ignored);
    return false;
}

namespace {

// Deeper trees than this are not entered, so that a planted tree cannot exhaust the stack.
constexpr int deepestFolder = 128;

bool removeContents(int folder, int depth, int& error);

// Removes the entry name of folder: a folder with all it holds, anything else (a symlink too)
// by itself. A folder is opened with O_NOFOLLOW, so that one swapped for a symlink meanwhile is
// refused instead of followed.
bool removeEntry(int folder, const char* name, int depth, int& error)
{
    struct stat status { };
    if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        Descriptor inner(::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (inner.get() < 0) {
            error = errno;
            return false;
        }
        // A folder without write permission cannot give up its entries.
        (void)::fchmod(inner.get(), (status.st_mode & 07777) | S_IRWXU);
        if (depth >= deepestFolder) {
            error = ELOOP;
            return false;
        }
        if (!removeContents(inner.get(), depth + 1, error))
            return false;
    }
    if (::unlinkat(folder, name, S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool removeContents(int folder, int depth, int& error)
{
    int listed = ::dup(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> entries(listed < 0 ? nullptr : ::fdopendir(listed), ::closedir);
    if (!entries) {
        error = errno;
        if (listed >= 0)
            ::close(listed);
        return false;
    }
    bool removed = true;
    while (dirent* entry = ::readdir(entries.get())) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            removed = removeEntry(folder, entry->d_name, depth, error) && removed;
    }
    return removed;
}

}

bool removeFolderContents(int folder, int& error)
{
    return removeContents(folder, 0, error);
}

namespace {

// Reads until length bytes or the end of the file; the count that arrived, or -1.
ssize_t readUpTo(int from, char* buffer, size_t length)
{
    size_t total = 0;
    while (total < length) {
        ssize_t got = ::read(from, buffer + total, length - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(total);
}

}

bool sameContents(const std::string& first, const std::string& second)
{
    ReadOnlyFile one(first);
    ReadOnlyFile other(second);
    if (!one.isOpen() || !other.isOpen())
        return false;
    constexpr size_t blockSize = 64 * 1024;
    std::vector<char> left(blockSize);
    std::vector<char> right(blockSize);
    for (;;) {
        ssize_t got = readUpTo(one.descriptor(), left.data(), blockSize);
        if (got < 0 || readUpTo(other.descriptor(), right.data(), blockSize) != got)
            return false;
        if (std::char_traits<char>::compare(left.data(), right.data(), static_cast<size_t>(got)) != 0)
            return false;
        if (got == 0)
            return true;
    }
}

std::string resolvedPath(const std::string& path)
{
    std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : path;
}

bool readAll(const std::string& path, std::string& bytes, uint64_t limit, int& error)
{
    bytes.clear();
    ReadOnlyFile file(path);
    if (!file.isOpen()) {
        error = file.error();
        return false;
    }
    if (file.size() > limit) {
        error = EFBIG;
        return false;
    }
    bool read = readBlocks(file.descriptor(), error, [&](const char* block, size_t length) {
        // The file may have grown since fstat looked at it.
        if (bytes.size() + length > limit) {
            error = EFBIG;
            return false;
        }
        bytes.append(block, length);
        return true;
    });
    if (!read)
        bytes.clear();
    return read;
}

bool readAll(const std::string& path, std::string& bytes, uint64_t limit)
{
    int ignored = 0;
    return readAll(path, bytes, limit, ignored);
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, uint32_t mode, int& error)
{
    // The rename replaces what path names, a link included, and never writes through it.
    std::string temporaryName;
    Descriptor temporary(createTemporaryIn(folderOf(path), temporaryName, error));
    if (temporary.get() < 0)
        return false;
    // A program made to end at once leaves no half-written temporary behind.
    AbortCleanup removeTemporary([temporaryName] { ::unlink(temporaryName.c_str()); });
    bool written = true;
    if (::fchmod(temporary.get(), static_cast<mode_t>(mode & 07777)) != 0) {
        error = errno;
        written = false;
    }
    written = written && writeAll(temporary.get(), bytes.data(), bytes.size(), error);
    if (written && ::fsync(temporary.get()) != 0) {
        error = errno;
        written = false;
    }
    written = temporary.close(error) && written;
    if (written && ::rename(temporaryName.c_str(), path.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporaryName.c_str());
        return false;
    }
    syncFolder(folderOf(path));
    return true;
}

uint32_t modeOrDefault(const std::string& path, uint32_t fallback)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return fallback;
    return status.st_mode & 07777;
}

int64_t fileSize(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return -1;
    return status.st_size;
}

bool writeAll(int descriptor, const char* data, size_t length, int& error)
{
    while (length > 0) {
        ssize_t written = ::write(descriptor, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

}
