#pragma once

#include "platform/MountTable.h"

#include <string>

namespace platform {

// What kind of drive a folder lies on, as far as the start-up choice of a folder needs to know:
// a folder on a medium that may be gone by the next start is not opened again.
enum class DriveType { Unknown, Fixed, Removable, CdRom };

// Drive types from the mount a path lies on and the block device behind it, read from the
// kernel's device tree (sysfs) under a root that tests may point elsewhere.
class DriveTypes {
public:
    explicit DriveTypes(std::string sysfsRoot = "/sys");

    // The type of the drive that path lies on in this process's mounts. Links in the path are
    // followed first, and a path that does not exist (yet) counts as lying where its nearest
    // existing folder lies. Unknown when no mount can be found.
    DriveType typeOfPath(const std::string& path) const;
    DriveType typeOfPath(const std::string& path, const MountTable& table) const;

    // CD and DVD file systems are CD-ROMs; a block device that the kernel marks removable (for
    // a partition, its disk; for a mapped device such as an encrypted volume, a device beneath
    // it) is removable; anything else mounted is fixed.
    DriveType typeOf(const Mount& mount) const;

private:
    bool isRemovableDevice(const std::string& deviceFolder, int depth) const;

    std::string m_sysfsRoot;
};

}
