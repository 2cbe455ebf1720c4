#include "platform/PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr mode_t privateMode = 0700;

bool isPrivateStatus(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 07777) == privateMode;
}

// A folder that others may write into without the sticky bit, or that belongs to somebody
// else, lets them rename our folder away and put their own in its place.
bool parentIsSafe(const std::string& path)
{
    std::string parent = std::filesystem::path(path).parent_path().string();
    struct stat status { };
    if (::stat(parent.empty() ? "." : parent.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    bool othersWrite = (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    bool ownerTrusted = status.st_uid == 0 || status.st_uid == geteuid();
    return ownerTrusted && (!othersWrite || (status.st_mode & S_ISVTX) != 0);
}

// namePrefix followed by the six letters or digits that mkdtemp fills in.
bool hasMadeName(const std::string& name, const std::string& namePrefix)
{
    if (name.size() != namePrefix.size() + 6 || name.compare(0, namePrefix.size(), namePrefix) != 0)
        return false;
    for (size_t index = namePrefix.size(); index < name.size(); ++index) {
        char c = name[index];
        bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit)
            return false;
    }
    return true;
}

}

std::string PrivateFolder::pathFor(const std::string& stem)
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        struct stat status { };
        if (::stat(runtime, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid()
            && (status.st_mode & 077) == 0)
            return std::string(runtime) + "/" + stem;
    }
    std::error_code failure;
    std::string base = std::filesystem::temp_directory_path(failure).string();
    if (failure || base.empty())
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    const std::string prefix = stem + "-" + std::to_string(geteuid()) + "-";
    if (DIR* directory = ::opendir(base.c_str())) {
        std::string found;
        while (dirent* entry = ::readdir(directory)) {
            std::string candidate = base + "/" + entry->d_name;
            if (found.empty() && hasMadeName(entry->d_name, prefix) && isPrivate(candidate))
                found = candidate;
        }
        ::closedir(directory);
        if (!found.empty())
            return found;
    }
    std::string pattern = base + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    // The umask may have taken bits away; the folder is made exactly private.
    int descriptor = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool fixed = descriptor >= 0 && ::fchmod(descriptor, privateMode) == 0;
    if (descriptor >= 0)
        ::close(descriptor);
    return fixed ? pattern : std::string();
}

bool PrivateFolder::ensure(const std::string& path, std::string& error)
{
    if (!parentIsSafe(path)) {
        error = "the folder above " + path + " lets other users replace what is in it";
        return false;
    }
    if (::mkdir(path.c_str(), privateMode) == 0) {
        // The umask may have taken bits away; the folder is made exactly private.
        int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        bool fixed = descriptor >= 0 && ::fchmod(descriptor, privateMode) == 0;
        if (descriptor >= 0)
            ::close(descriptor);
        if (!fixed) {
            error = "cannot make " + path + " private: " + std::strerror(errno);
            return false;
        }
    } else if (errno != EEXIST) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!isPrivate(path)) {
        error = path
            + " is not a private folder of this user (a link, another owner or other permissions);"
              " it is left alone";
        return false;
    }
    return true;
}

bool PrivateFolder::isPrivate(const std::string& path)
{
    struct stat status { };
    return ::lstat(path.c_str(), &status) == 0 && isPrivateStatus(status);
}

std::vector<std::string> PrivateFolder::entries(const std::string& folder)
{
    std::vector<std::string> names;
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return names;
    struct stat status { };
    DIR* directory
        = ::fstat(descriptor, &status) == 0 && isPrivateStatus(status) ? fdopendir(descriptor) : nullptr;
    if (!directory) {
        ::close(descriptor);
        return names;
    }
    while (dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(directory);
    return names;
}

bool PrivateFolder::isDirectEntry(
    const std::string& folder, const std::string& candidate, const std::string& namePrefix)
{
    if (folder.empty() || candidate.size() <= folder.size() + 1
        || candidate.compare(0, folder.size(), folder) != 0 || candidate[folder.size()] != '/')
        return false;
    std::string name = candidate.substr(folder.size() + 1);
    if (!hasMadeName(name, namePrefix))
        return false;
    return namePrefix.find('/') == std::string::npos && isPrivate(folder);
}

}
