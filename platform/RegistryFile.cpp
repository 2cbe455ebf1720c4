#include "platform/RegistryFile.h"

#include "platform/FileOperations.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::RegistryFile {

namespace {

bool writeBytes(int descriptor, const std::string& bytes)
{
    int ignored = 0;
    return fileOperations::writeAll(descriptor, bytes.data(), bytes.size(), ignored);
}

void syncFolder(const std::string& folder)
{
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

std::string timeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof(buffer), "%Y%m%dT%H%M%S", &local);
    return buffer;
}

}

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

ReadResult read(const std::string& path, std::string& bytes)
{
    bytes.clear();
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    char buffer[65536];
    ReadResult result = ReadResult::Read;
    while (true) {
        ssize_t count = ::read(descriptor, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 || bytes.size() + static_cast<size_t>(count) > maximumSize) {
            result = ReadResult::Failed;
            break;
        }
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(count));
    }
    ::close(descriptor);
    return result;
}

bool createFolders(const std::string& folder)
{
    struct stat status;
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode);
    std::string parent = folderOf(folder);
    if (parent != folder && !createFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

bool replace(const std::string& path, const std::string& bytes)
{
    std::string folder = folderOf(path);
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0)
        return false;
    // A replaced file keeps its permissions; a new one is readable by all, as settings files are.
    struct stat status;
    mode_t mode = ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0644;
    bool written = ::fchmod(descriptor, mode) == 0 && writeBytes(descriptor, bytes) && ::fsync(descriptor) == 0;
    written = ::close(descriptor) == 0 && written;
    if (!written || ::rename(name.data(), path.c_str()) != 0) {
        ::unlink(name.data());
        return false;
    }
    syncFolder(folder);
    return true;
}

bool keepCorrupt(const std::string& path, const std::string& bytes)
{
    std::string base = path + ".corrupt-" + timeStamp();
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string name = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        if (descriptor < 0)
            return false;
        bool written = writeBytes(descriptor, bytes) && ::fsync(descriptor) == 0;
        written = ::close(descriptor) == 0 && written;
        if (!written)
            ::unlink(name.c_str());
        return written;
    }
    return false;
}

}
