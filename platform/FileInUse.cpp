#include "platform/FileInUse.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

bool hasOfficeLockFile(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return false;
    return exists(folder + ".~lock." + name + "#") || exists(folder + "~$" + name);
}

// F_GETLK reports a lock of another process that would stop a write lock over the whole file,
// so it finds readers' and writers' locks alike and never takes one itself.
bool hasRecordLock(int descriptor)
{
    struct flock request = {};
    request.l_type = F_WRLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 0;
    if (::fcntl(descriptor, F_GETLK, &request) != 0)
        return false;
    return request.l_type != F_UNLCK;
}

// flock locks cannot be queried; an exclusive try-lock that is given back at once finds both
// shared and exclusive holders.
bool hasFlockLock(int descriptor)
{
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(descriptor, LOCK_UN);
    return false;
}

}

bool isFileInUse(int descriptor, const std::string& path)
{
    if (hasOfficeLockFile(path))
        return true;
    return hasRecordLock(descriptor) || hasFlockLock(descriptor);
}

}
