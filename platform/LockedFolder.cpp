#include "platform/LockedFolder.h"

#include "platform/FileOperations.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::vector<std::string> entryNames(int folder)
{
    std::vector<std::string> names;
    // A descriptor of its own, so that the listing never moves the owner's position.
    int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return names;
    DIR* directory = fdopendir(listing);
    if (!directory) {
        ::close(listing);
        return names;
    }
    while (dirent* entry = readdir(directory)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    closedir(directory);
    return names;
}

bool isOurFolder(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid();
}

void splitPath(const std::string& path, std::string& parent, std::string& name)
{
    size_t slash = path.rfind('/');
    parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

}

LockedFolder::~LockedFolder()
{
    release();
}

bool LockedFolder::create(const std::string& pattern, int& error)
{
    release();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        error = errno;
        return false;
    }
    m_path = name.data();
    m_descriptor = ::open(m_path.c_str(), folderFlags);
    if (m_descriptor < 0) {
        error = errno;
        release();
        return false;
    }
    // Until it is locked, a sweep may take the fresh folder for one whose maker is gone; a sweep
    // that got it first has let go of it or removed it by the time the lock is ours.
    if (!lockOpened(Wait::Yes, error)) {
        // Still empty: nobody else can have made anything in it.
        if (stillNamed())
            ::rmdir(m_path.c_str());
        release();
        return false;
    }
    if (!stillNamed()) {
        error = ENOENT;
        release();
        return false;
    }
    return true;
}

bool LockedFolder::takeAbandoned(const std::string& path)
{
    release();
    m_path = path;
    m_descriptor = ::open(path.c_str(), folderFlags | O_NONBLOCK);
    int ignored = 0;
    if (m_descriptor < 0 || !lockOpened(Wait::No, ignored)) {
        release();
        return false;
    }
    return true;
}

bool LockedFolder::lockOpened(Wait wait, int& error)
{
    struct stat status { };
    if (::fstat(m_descriptor, &status) != 0) {
        error = errno;
        return false;
    }
    if (!isOurFolder(status)) {
        error = EPERM;
        return false;
    }
    int result;
    do
        result = ::flock(m_descriptor, wait == Wait::Yes ? LOCK_EX : LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        error = errno;
        return false;
    }
    return true;
}

int LockedFolder::openParent(std::string& name) const
{
    std::string parentPath;
    splitPath(m_path, parentPath, name);
    return ::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool LockedFolder::stillNamed() const
{
    std::string name;
    int parent = openParent(name);
    if (parent < 0)
        return false;
    bool same = namesHeld(parent, name);
    ::close(parent);
    return same;
}

bool LockedFolder::namesHeld(int parent, const std::string& name) const
{
    struct stat held { };
    struct stat named { };
    return ::fstat(m_descriptor, &held) == 0
        && ::fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino;
}

bool LockedFolder::remove()
{
    if (m_descriptor < 0)
        return false;
    int error = 0;
    if (!fileOperations::removeFolderContents(m_descriptor, error))
        return false;
    std::string name;
    int parent = openParent(name);
    if (parent < 0)
        return false;
    // The name is removed only while it still leads to the folder we hold.
    bool removed = namesHeld(parent, name) && ::unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
    ::close(parent);
    return removed;
}

std::vector<std::string> LockedFolder::entries() const
{
    if (m_descriptor < 0)
        return {};
    return entryNames(m_descriptor);
}

bool LockedFolder::moveOut(const std::string& name, const std::string& target, int& error) const
{
    if (m_descriptor < 0) {
        error = EBADF;
        return false;
    }
    if (::renameat(m_descriptor, name.c_str(), AT_FDCWD, target.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

bool LockedFolder::readFile(const std::string& name, std::string& bytes, uint64_t limit) const
{
    bytes.clear();
    if (m_descriptor < 0)
        return false;
    int file
        = ::openat(m_descriptor, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0)
        return false;
    // The one whole-file reader does the reading, through the file just opened.
    bool read = fileOperations::readAll("/proc/self/fd/" + std::to_string(file), bytes, limit);
    ::close(file);
    return read;
}

void LockedFolder::release()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

}
