#include "platform/OutputFile.h"

#include "platform/FileOperations.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

OutputFile::~OutputFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool OutputFile::open(const std::string& path, int& error)
{
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (descriptor < 0) {
        error = errno;
        return false;
    }
    // Writes wait as ordinary writes do once a reader is there.
    int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = errno;
        ::close(descriptor);
        return false;
    }
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = descriptor;
    return true;
}

std::optional<FileIdentity> OutputFile::identity() const
{
    return m_descriptor >= 0 ? FileIdentity::ofDescriptor(m_descriptor) : std::nullopt;
}

bool OutputFile::truncate(int& error)
{
    struct stat status { };
    if (::fstat(m_descriptor, &status) != 0) {
        error = errno;
        return false;
    }
    if (S_ISREG(status.st_mode) && ::ftruncate(m_descriptor, 0) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool OutputFile::write(std::string_view text, int& error)
{
    return fileOperations::writeAll(m_descriptor, text.data(), text.size(), error);
}

}
