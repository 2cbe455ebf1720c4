#include "platform/FileOperations.h"

#include "platform/AbortCleanup.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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

bool copyContents(int from, int to, int& error)
{
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

// Fills an open target from source and flushes it; false with error set.
bool fillCopy(int from, int to, mode_t mode, int& error)
{
    if (!copyContents(from, to, error))
        return false;
    if (::fchmod(to, mode) != 0 || ::fsync(to) != 0) {
        error = errno;
        return false;
    }
    return true;
}

// The copy is made in a file without a name and given its name only once it is complete, so
// that a process killed halfway leaves nothing behind, and a backup that exists is whole.
int copyAnonymously(int from, mode_t mode, const std::string& target, int& error)
{
    Descriptor to(::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (to.get() < 0)
        return -1;
    if (!fillCopy(from, to.get(), mode, error))
        return 0;
    std::string self = "/proc/self/fd/" + std::to_string(to.get());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        error = errno;
        return 0;
    }
    return to.close(error) ? 1 : 0;
}

}

bool copyFileExclusive(const std::string& source, const std::string& target, int& error)
{
    Descriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (from.get() < 0) {
        error = errno;
        return false;
    }
    struct stat status { };
    if (::fstat(from.get(), &status) != 0) {
        error = errno;
        return false;
    }
    const mode_t mode = status.st_mode & 07777;
    int anonymous = copyAnonymously(from.get(), mode, target, error);
    if (anonymous >= 0)
        return anonymous == 1;
    // A file system without unnamed files: a named target, created exclusively, removed again
    // when the copy fails.
    Descriptor to(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (to.get() < 0) {
        error = errno;
        return false;
    }
    bool copied = fillCopy(from.get(), to.get(), mode, error) && to.close(error);
    if (!copied)
        ::unlink(target.c_str());
    return copied;
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

bool readAll(const std::string& path, std::string& bytes, uint64_t limit, int& error)
{
    bytes.clear();
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; the descriptor is only
    // read once fstat has shown a regular file, which never blocks.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        error = errno;
        return false;
    }
    struct stat status { };
    if (::fstat(file.get(), &status) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = EINVAL;
        return false;
    }
    if (static_cast<uint64_t>(status.st_size) > limit) {
        error = EFBIG;
        return false;
    }
    bool read = readBlocks(file.get(), error, [&](const char* block, size_t length) {
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
    // A short name of fixed length fits beside any target, whose own name may already take all
    // 255 bytes; the rename then replaces what path names, a link included, and never writes
    // through it.
    std::string pattern = folderOf(path) + "/.~pressling-XXXXXX.tmp";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Descriptor temporary(::mkostemps(name.data(), 4, O_CLOEXEC));
    if (temporary.get() < 0) {
        error = errno;
        return false;
    }
    // A program made to end at once leaves no half-written temporary behind.
    const std::string temporaryName = name.data();
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
    if (written && ::rename(name.data(), path.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        ::unlink(name.data());
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
