#include "platform/ReadOnlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

ReadOnlyFile::ReadOnlyFile(const std::string& path)
{
    // A look first, so that a device is not even opened (opening some has effects of its own);
    // the open then checks again what it really got, since the name may change in between.
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0) {
        m_error = errno;
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        m_error = EINVAL;
        return;
    }
    // Without O_NONBLOCK the open of a FIFO put there meanwhile would wait for a writer.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        m_error = errno;
        return;
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        // A failed fstat leaves the status of the first look, which was a regular file.
        m_error = S_ISREG(status.st_mode) ? errno : EINVAL;
        ::close(descriptor);
        return;
    }
    // From here on reads wait as ordinary reads do: a file system that honours the flag for
    // regular files would otherwise answer a read with "try again", which the readers take for
    // the file's end.
    int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        m_error = errno;
        ::close(descriptor);
        return;
    }
    m_descriptor = descriptor;
    m_size = static_cast<uint64_t>(status.st_size);
    m_mode = status.st_mode & 07777;
    m_owner = status.st_uid;
    m_group = status.st_gid;
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

size_t ReadOnlyFile::readAt(uint64_t offset, void* buffer, size_t length) const
{
    if (m_descriptor < 0)
        return 0;
    size_t total = 0;
    char* target = static_cast<char*>(buffer);
    while (total < length) {
        ssize_t count
            = ::pread(m_descriptor, target + total, length - total, static_cast<off_t>(offset + total));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        total += static_cast<size_t>(count);
    }
    return total;
}

int ReadOnlyFile::release()
{
    int descriptor = m_descriptor;
    m_descriptor = -1;
    return descriptor;
}

}
