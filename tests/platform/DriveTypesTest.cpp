#include "platform/DriveTypes.h"
#include "platform/ChildProcess.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using platform::DriveType;
using platform::DriveTypes;
using platform::Mount;
using platform::MountTable;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A device tree laid out as the kernel lays it out: each block device is a folder under
// devices/, its partitions are folders inside it, and class/block holds a link to every one.
class DeviceTree {
public:
    DeviceTree()
    {
        disk("pci/ata1/block/sda", "0");
        partition("pci/ata1/block/sda/sda1");
        disk("pci/usb1/block/sdb", "1");
        partition("pci/usb1/block/sdb/sdb1");
        disk("pci/usb2/block/sdc", "1");
        partition("pci/usb2/block/sdc/sdc1");
        // An encrypted volume on the second stick's partition, and one on the fixed disk.
        disk("virtual/block/dm-0", "0");
        fs::create_directories(root() + "/devices/virtual/block/dm-0/slaves");
        fs::create_directory_symlink(
            "../../../../pci/usb2/block/sdc/sdc1", root() + "/devices/virtual/block/dm-0/slaves/sdc1");
        disk("virtual/block/dm-1", "0");
        fs::create_directories(root() + "/devices/virtual/block/dm-1/slaves");
        fs::create_directory_symlink(
            "../../../../pci/ata1/block/sda/sda1", root() + "/devices/virtual/block/dm-1/slaves/sda1");
        disk("virtual/block/cciss!c0d0", "1");
    }

    std::string root() const { return m_folder.path(); }

private:
    void disk(const std::string& path, const std::string& removable)
    {
        link(path);
        m_folder.write("devices/" + path + "/removable", removable + "\n");
    }
    void partition(const std::string& path)
    {
        link(path);
        m_folder.write("devices/" + path + "/partition", "1\n");
    }
    void link(const std::string& path)
    {
        fs::create_directories(root() + "/devices/" + path);
        fs::create_directories(root() + "/class/block");
        std::string name = fs::path(path).filename().string();
        fs::create_directory_symlink("../../devices/" + path, root() + "/class/block/" + name);
    }

    TemporaryFolder m_folder;
};

Mount mountOf(const std::string& type, const std::string& source)
{
    Mount mount;
    mount.mountPoint = "/media/volume";
    mount.fileSystemType = type;
    mount.source = source;
    return mount;
}

}

// Catches a partition judged by a flag of its own, which it does not have (so that every stick
// would count as fixed), and a disk's flag read from the wrong device.
TEST(DriveTypes, PartitionOfARemovableDiskIsRemovable)
{
    DeviceTree tree;
    DriveTypes types(tree.root());
    EXPECT_EQ(types.typeOf(mountOf("vfat", "/dev/sdb1")), DriveType::Removable);
    EXPECT_EQ(types.typeOf(mountOf("vfat", "/dev/sdb")), DriveType::Removable);
    EXPECT_EQ(types.typeOf(mountOf("ext4", "/dev/sda1")), DriveType::Fixed);
    EXPECT_EQ(types.typeOf(mountOf("ext4", "/dev/sda")), DriveType::Fixed);
}

// Catches an encrypted stick counted as fixed because the mapped device itself is never
// removable, and a mapped device on a fixed disk counted as removable.
TEST(DriveTypes, MappedDeviceIsAsRemovableAsWhatItMaps)
{
    DeviceTree tree;
    DriveTypes types(tree.root());
    EXPECT_EQ(types.typeOf(mountOf("ext4", "/dev/dm-0")), DriveType::Removable);
    EXPECT_EQ(types.typeOf(mountOf("ext4", "/dev/dm-1")), DriveType::Fixed);
    EXPECT_EQ(types.typeOf(mountOf("ext4", "/dev/cciss/c0d0")), DriveType::Removable);
}

// Catches disc file systems judged by their device, and file systems without a device (memory,
// network, a device the tree does not know) taken for anything but fixed.
TEST(DriveTypes, DiscsAreCdRomsAndWhatHasNoDeviceIsFixed)
{
    DeviceTree tree;
    DriveTypes types(tree.root());
    EXPECT_EQ(types.typeOf(mountOf("iso9660", "/dev/sr0")), DriveType::CdRom);
    EXPECT_EQ(types.typeOf(mountOf("udf", "/dev/sdb1")), DriveType::CdRom);
    EXPECT_EQ(types.typeOf(mountOf("tmpfs", "tmpfs")), DriveType::Fixed);
    EXPECT_EQ(types.typeOf(mountOf("nfs4", "server:/export")), DriveType::Fixed);
    EXPECT_EQ(types.typeOf(mountOf("ext4", "/dev/nosuch9")), DriveType::Fixed);
    EXPECT_EQ(types.typeOf(mountOf("vfat", "/devices/sdb1")), DriveType::Fixed);
}

// Catches a path judged by the name it was given rather than by where it leads: a link into a
// disc's folder lies on the disc, and so does a folder below it that does not exist (yet).
TEST(DriveTypes, PathIsJudgedWhereItsLinksLead)
{
    DeviceTree tree;
    TemporaryFolder folder;
    std::string base = fs::canonical(folder.path()).string();
    fs::create_directories(base + "/disc/docs");
    fs::create_directory_symlink(base + "/disc/docs", base + "/shortcut");
    MountTable table = MountTable::parse("24 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                         "40 24 11:0 / "
        + base + "/disc rw - iso9660 /dev/sr0 ro\n");
    DriveTypes types(tree.root());
    EXPECT_EQ(types.typeOfPath(base + "/shortcut", table), DriveType::CdRom);
    EXPECT_EQ(types.typeOfPath(base + "/shortcut/not/there/yet", table), DriveType::CdRom);
    EXPECT_EQ(types.typeOfPath(base + "/disc", table), DriveType::CdRom);
    EXPECT_EQ(types.typeOfPath(base + "/elsewhere", table), DriveType::Fixed);
    EXPECT_EQ(types.typeOfPath("/", MountTable()), DriveType::Unknown);
    EXPECT_EQ(types.typeOfPath("not-a-path-here", table), DriveType::Unknown);
}

// Catches a real memory file system, or a disk image on a loop device, counted as anything but
// fixed, and this process's own mounts not consulted at all.
TEST(DriveTypes, RealMemoryAndLoopMountsAreFixed)
{
    TemporaryFolder folder;
    ScratchMount memory(folder.file("memory"), { "mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs" });
    if (!memory.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << memory.reason();
    DriveTypes types;
    EXPECT_EQ(types.typeOfPath(folder.file("memory/report.doc")), DriveType::Fixed);
    std::string image = folder.file("disk.img");
    fs::resize_file(folder.write("disk.img", ""), 4 << 20);
    auto formatted = platform::ChildProcess::run({ "mkfs.ext2", "-q", "-F", image }, 60s);
    if (!formatted.succeeded())
        GTEST_SKIP() << "cannot make a file system: " << formatted.error << formatted.standardError;
    ScratchMount disk(folder.file("disk"), { "mount", "-o", "loop", image });
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a disk image here: " << disk.reason();
    std::optional<Mount> mount = MountTable::current().mountOf(fs::canonical(folder.file("disk")).string());
    ASSERT_TRUE(mount);
    EXPECT_EQ(mount->source.rfind("/dev/loop", 0), 0u) << mount->source;
    EXPECT_EQ(types.typeOfPath(folder.file("disk")), DriveType::Fixed);
}
