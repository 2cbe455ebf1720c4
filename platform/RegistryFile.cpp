#include "platform/RegistryFile.h"

#include "platform/FileOperations.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
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
    int error = 0;
    if (fileOperations::readAll(path, bytes, maximumSize, error))
        return ReadResult::Read;
    return error == ENOENT || error == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
}

bool createFolders(const std::string& folder)
{
    // A folder made meanwhile by another writer is as good as one made here; what counts is that
    // a folder is there in the end.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

bool replace(const std::string& path, const std::string& bytes)
{
    // A replaced file keeps its permissions; a new one is readable by all, as settings files are.
    int ignored = 0;
    return fileOperations::writeFileAtomically(
        path, bytes, fileOperations::modeOrDefault(path, 0644), ignored);
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
