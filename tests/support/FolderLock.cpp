#include "tests/support/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool folderLockIsFree(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    bool free = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
    ::close(descriptor);
    return free;
}
