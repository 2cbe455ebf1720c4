#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What tells two names of one file apart from names of two files: its device and inode, the
// same for every hard link and every symlink that leads to it.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;

    // The identity of what path leads to; nothing when there is nothing there (or it cannot be
    // reached).
    static std::optional<FileIdentity> of(const std::string& path);
    static std::optional<FileIdentity> ofDescriptor(int descriptor);
};

struct FileIdentityHash {
    size_t operator()(const FileIdentity& identity) const
    {
        return static_cast<size_t>(identity.device * 0x9e3779b97f4a7c15ULL ^ identity.inode);
    }
};

}
