#include "platform/ExclusiveLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

ExclusiveLock::ExclusiveLock(int descriptor)
    : m_descriptor(descriptor)
{
}

ExclusiveLock::ExclusiveLock(ExclusiveLock&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

ExclusiveLock& ExclusiveLock::operator=(ExclusiveLock&& other) noexcept
{
    if (this != &other) {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

ExclusiveLock::~ExclusiveLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

ExclusiveLock ExclusiveLock::tryTake(const std::string& path)
{
    // O_NONBLOCK: a FIFO that carries such a name is opened without waiting, and refused below.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (descriptor < 0)
        return ExclusiveLock();
    ExclusiveLock lock(descriptor);
    struct stat status { };
    if (::fstat(descriptor, &status) != 0)
        return ExclusiveLock();
    if (!S_ISREG(status.st_mode) || ::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return ExclusiveLock();
    return lock;
}

ExclusiveLock ExclusiveLock::waitFor(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return ExclusiveLock();
    ExclusiveLock lock(descriptor);
    int result;
    do
        result = ::flock(descriptor, LOCK_EX);
    while (result != 0 && errno == EINTR);
    if (result != 0)
        return ExclusiveLock();
    return lock;
}

}
