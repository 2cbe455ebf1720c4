#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One mount as the kernel describes it: which file system is attached where.
struct Mount {
    int id = 0;
    int parentId = 0;
    // The folder of the file system that appears at the mount point: "/" for a whole file
    // system, the bound folder for a bind mount.
    std::string root;
    std::string mountPoint;
    std::string fileSystemType;
    // What was mounted: a device such as "/dev/sdb1", or a name that means nothing on disk
    // ("tmpfs", "proc").
    std::string source;
};

// The mounts of this process's view of the file systems, from the kernel's mountinfo table.
// Paths in the table are byte strings with blanks, tabs, newlines and backslashes written as
// octal escapes; they come out decoded.
class MountTable {
public:
    // A line that does not have the table's shape is left out.
    static MountTable parse(std::string_view mountInfo);
    // The table of this process; empty when it cannot be read.
    static MountTable current();

    const std::vector<Mount>& mounts() const { return m_mounts; }

    // The mount that an absolute path without links lies on: the one reached by walking the
    // path from the root, so that a mount hidden under a later one on a folder above it, or
    // under another on the same folder, is passed over as the kernel passes over it. Nothing
    // when the table has no root.
    std::optional<Mount> mountOf(const std::string& path) const;

    // The mounted volumes a file manager shows its user beside the folders: what is mounted
    // below /media, below /run/media/<user>, or on /mnt and below it, in the order they were
    // mounted, one per mount point, without the kernel's and the system's own file systems.
    std::vector<Mount> userVolumes(const std::string& user) const;

private:
    std::optional<size_t> rootMount() const;
    std::optional<size_t> mountedOn(size_t parent, std::string_view folder) const;

    std::vector<Mount> m_mounts;
};

}
