#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

RegularFile::RegularFile(const std::string& path)
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
    // Reads of the file block as usual from here on, as they do for every regular file.
    int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        m_error = errno;
        ::close(descriptor);
        return;
    }
    m_descriptor = descriptor;
    m_mode = status.st_mode & 07777;
    m_owner = status.st_uid;
    m_group = status.st_gid;
}

RegularFile::~RegularFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

}
