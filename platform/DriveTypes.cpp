#include "platform/DriveTypes.h"

#include "platform/FileOperations.h"
#include "platform/FolderEntries.h"

#include <cstdlib>
#include <memory>
#include <optional>

namespace platform {

namespace {

// Attributes of the device tree are a line each.
constexpr uint64_t largestAttribute = 64 * 1024;
// A partition's disk, or a mapped device's devices, are one or two levels down; a tree that
// claims more is not followed further.
constexpr int deepestDevice = 4;

std::optional<std::string> resolved(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

// The path with its links followed; for a path that does not exist, its nearest existing
// folder, which lies on the same mount as the path would.
std::optional<std::string> resolvedOrNearest(std::string path)
{
    for (;;) {
        if (auto real = resolved(path))
            return real;
        size_t slash = path.find_last_of('/');
        if (path == "/" || slash == std::string::npos)
            return std::nullopt;
        path.resize(slash == 0 ? 1 : slash);
    }
}

std::string parentOf(const std::string& folder)
{
    size_t slash = folder.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : folder.substr(0, slash);
}

// The device tree names a block device as /dev does, with '!' where /dev has a subfolder.
std::optional<std::string> blockDeviceName(const std::string& source)
{
    const std::string devices = "/dev/";
    if (source.compare(0, devices.size(), devices) != 0)
        return std::nullopt;
    std::string device = resolved(source).value_or(source);
    if (device.compare(0, devices.size(), devices) != 0)
        return std::nullopt;
    std::string name = device.substr(devices.size());
    for (char& c : name) {
        if (c == '/')
            c = '!';
    }
    return name;
}

}

DriveTypes::DriveTypes(std::string sysfsRoot)
    : m_sysfsRoot(std::move(sysfsRoot))
{
}

DriveType DriveTypes::typeOfPath(const std::string& path) const
{
    return typeOfPath(path, MountTable::current());
}

DriveType DriveTypes::typeOfPath(const std::string& path, const MountTable& table) const
{
    std::optional<std::string> real = resolvedOrNearest(path);
    if (!real)
        return DriveType::Unknown;
    std::optional<Mount> mount = table.mountOf(*real);
    return mount ? typeOf(*mount) : DriveType::Unknown;
}

// GIO's mount functions guess a drive's kind from the names of its device and file system, not
// from the kernel's removable flag, which is what marks a USB stick or a card reader; so the
// device tree is asked here.
DriveType DriveTypes::typeOf(const Mount& mount) const
{
    if (mount.fileSystemType == "iso9660" || mount.fileSystemType == "udf")
        return DriveType::CdRom;
    std::optional<std::string> name = blockDeviceName(mount.source);
    if (!name)
        return DriveType::Fixed;
    std::optional<std::string> device = resolved(m_sysfsRoot + "/class/block/" + *name);
    return device && isRemovableDevice(*device, 0) ? DriveType::Removable : DriveType::Fixed;
}

bool DriveTypes::isRemovableDevice(const std::string& deviceFolder, int depth) const
{
    if (depth > deepestDevice)
        return false;
    std::string flag;
    if (fileOperations::readAll(deviceFolder + "/removable", flag, largestAttribute) && !flag.empty()
        && flag.front() == '1')
        return true;
    // A partition has no flag of its own; its folder lies inside its disk's.
    if (fileOperations::exists(deviceFolder + "/partition"))
        return isRemovableDevice(parentOf(deviceFolder), depth + 1);
    // A mapped device (an encrypted volume, a logical volume) is as removable as what it maps.
    const std::string slaves = deviceFolder + "/slaves";
    for (const std::string& slave : FolderEntries::names(slaves)) {
        std::optional<std::string> below = resolved(slaves + "/" + slave);
        if (below && isRemovableDevice(*below, depth + 1))
            return true;
    }
    return false;
}

}
