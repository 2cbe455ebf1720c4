#include "platform/FolderEntries.h"

#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>

namespace platform {

namespace {

FolderEntry entryOf(std::string name, const struct stat& status)
{
    FolderEntry entry;
    entry.name = std::move(name);
    entry.isDirectory = S_ISDIR(status.st_mode);
    entry.size = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
    entry.modified = static_cast<int64_t>(status.st_mtim.tv_sec);
    entry.device = static_cast<uint64_t>(status.st_dev);
    entry.inode = static_cast<uint64_t>(status.st_ino);
    entry.changed = static_cast<int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    return entry;
}

// Closes the folder on every way out of the listing.
struct FolderStream {
    DIR* stream;
    ~FolderStream()
    {
        if (stream)
            ::closedir(stream);
    }
};

}

std::vector<std::string> FolderEntries::names(const std::string& folder)
{
    std::vector<std::string> names;
    FolderStream folderStream { ::opendir(folder.empty() ? "." : folder.c_str()) };
    if (!folderStream.stream)
        return names;
    while (const struct dirent* record = ::readdir(folderStream.stream)) {
        std::string_view name = record->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    return names;
}

std::optional<std::vector<std::string>> FolderEntries::subFolderNames(const std::string& folder)
{
    FolderStream folderStream { ::opendir(folder.c_str()) };
    if (!folderStream.stream)
        return std::nullopt;
    int descriptor = ::dirfd(folderStream.stream);
    std::vector<std::string> names;
    while (const struct dirent* record = ::readdir(folderStream.stream)) {
        std::string_view name = record->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = record->d_type == DT_DIR;
        if (record->d_type == DT_LNK || record->d_type == DT_UNKNOWN) {
            // Following the link, as a link to a folder opens as that folder.
            struct stat status;
            isFolder = ::fstatat(descriptor, record->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
        }
        if (isFolder)
            names.emplace_back(name);
    }
    return names;
}

bool FolderEntries::visitFiles(const std::string& folder,
    const std::function<bool(std::string_view name)>& wanted,
    const std::function<bool(FolderEntry& entry)>& visit)
{
    FolderStream folderStream { ::opendir(folder.c_str()) };
    if (!folderStream.stream)
        return false;
    int descriptor = ::dirfd(folderStream.stream);
    while (const struct dirent* record = ::readdir(folderStream.stream)) {
        if (record->d_type == DT_DIR || !wanted(record->d_name))
            continue;
        // Following links, so that a link to a document shows that document's size and time.
        struct stat status;
        if (::fstatat(descriptor, record->d_name, &status, 0) != 0 || S_ISDIR(status.st_mode))
            continue;
        FolderEntry entry = entryOf(record->d_name, status);
        if (!visit(entry))
            break;
    }
    return true;
}

std::optional<FolderEntry> FolderEntries::lookUp(const std::string& path)
{
    struct stat status;
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    size_t slash = path.rfind('/');
    return entryOf(slash == std::string::npos ? path : path.substr(slash + 1), status);
}

}
