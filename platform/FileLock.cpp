#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

FileLock::FileLock(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return;
    int result;
    do
        result = ::flock(descriptor, LOCK_EX);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(descriptor);
        return;
    }
    m_descriptor = descriptor;
}

FileLock::~FileLock()
{
    // Closing the descriptor releases the lock.
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

}
