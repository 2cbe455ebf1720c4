#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What a folder's listing tells of one of its entries. A symbolic link is described by what it
// names, as the user sees the document behind it.
struct FolderEntry {
    // The name as the file system holds it: bytes, not necessarily valid UTF-8.
    std::string name;
    bool isDirectory = false;
    uint64_t size = 0;
    // The time of the last write, in seconds since the epoch.
    int64_t modified = 0;
    // What tells this file's present contents apart from what was there before: the file
    // system's identity of the file and the time of its last change (a write or a rename in
    // place), in nanoseconds since the epoch.
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t changed = 0;
};

// The listing of a folder's entries, of only their names or of its sub-folders, and the look-up
// of one entry by its path. Paths are byte
// strings and are passed through untouched. Nothing here opens a file, so a FIFO or a device
// among the entries is listed without waiting on it.
class FolderEntries {
public:
    // The names in folder ("" is the current one), without "." and "..", each entry's name
    // whatever it is or leads to, a symlink that leads nowhere too; empty when the folder cannot
    // be read. Nothing is looked up, so this is the listing to ask which names are taken.
    static std::vector<std::string> names(const std::string& folder);
    // The names of the folders in folder, hidden ones and links that lead to a folder among them,
    // without "." and ".."; nullopt when the folder cannot be read. The listing itself tells the
    // kind of most entries, so only a link, or an entry of a file system that does not say, is
    // looked up: a folder of thousands of documents on a slow mount costs its reading only.
    static std::optional<std::vector<std::string>> subFolderNames(const std::string& folder);
    // The entry that path names, its name being what follows the last '/'; nullopt when
    // nothing can be described there.
    static std::optional<FolderEntry> lookUp(const std::string& path);
    // Visits, as the folder is read, the entries whose names wanted accepts and that are not
    // folders, each described; readdir's kinds spare a look-up of every other entry. visit
    // returns false to stop. False when the folder cannot be read.
    static bool visitFiles(const std::string& folder,
        const std::function<bool(std::string_view name)>& wanted,
        const std::function<bool(FolderEntry& entry)>& visit);
};

}
