#include "platform/MountTable.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using platform::Mount;
using platform::MountTable;

namespace {

// A table as a desktop system has it: the root, the kernel's file systems, a home partition,
// a stick mounted by the desktop, and a second disk mounted by hand with a chroot on it.
const char* desktopTable = "24 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                           "25 24 0:22 / /proc rw,nosuid - proc proc rw\n"
                           "26 24 0:23 / /sys rw,nosuid shared:7 - sysfs sysfs rw\n"
                           "27 24 0:25 / /run rw,nosuid shared:5 - tmpfs tmpfs rw,mode=755\n"
                           "28 27 0:40 / /run/user/1000 rw shared:300 - tmpfs tmpfs rw,uid=1000\n"
                           "29 24 8:3 / /home rw,relatime shared:30 - ext4 /dev/sda3 rw\n"
                           "30 26 0:26 / /sys/fs/cgroup rw shared:9 - cgroup2 cgroup2 rw\n"
                           "37 24 0:50 / /media rw - tmpfs tmpfs rw\n"
                           "31 37 0:41 / /media/usb rw - autofs systemd-1 rw\n"
                           "32 31 8:17 / /media/usb rw,nosuid shared:400 - vfat /dev/sdb1 rw\n"
                           "33 27 8:33 / /run/media/alice/Holiday\\040Photos rw - exfat /dev/sdc1 rw\n"
                           "34 27 8:49 / /run/media/bob/Backup rw - ext4 /dev/sdd1 rw\n"
                           "35 24 8:65 / /mnt rw - ext4 /dev/sde1 rw\n"
                           "36 35 7:0 / /mnt/image rw - iso9660 /dev/loop0 ro\n"
                           "38 35 0:60 / /mnt/chroot/proc rw - proc proc rw\n"
                           "39 35 0:61 / /mnt/chroot/dev/pts rw - devpts devpts rw\n";

std::string mountPointOf(const MountTable& table, const std::string& path)
{
    std::optional<Mount> mount = table.mountOf(path);
    return mount ? mount->mountPoint : "(none)";
}

}

// Catches fields taken from the wrong place when a line has several optional fields or none,
// and escapes left in the paths: a folder with blanks would never match the path that names it.
TEST(MountTable, ParsesFieldsAroundOptionalOnesAndDecodesEscapes)
{
    MountTable table = MountTable::parse(
        "24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
        "40 24 8:17 /shared\\134stuff /srv/my\\040disk\\011tab rw shared:4 master:2 propagate_from:1 - "
        "ext4 /dev/disk\\040one rw,errors=remount-ro");
    ASSERT_EQ(table.mounts().size(), 2u);
    const Mount& mount = table.mounts()[1];
    EXPECT_EQ(mount.id, 40);
    EXPECT_EQ(mount.parentId, 24);
    EXPECT_EQ(mount.root, "/shared\\stuff");
    EXPECT_EQ(mount.mountPoint, "/srv/my disk\ttab");
    EXPECT_EQ(mount.fileSystemType, "ext4");
    EXPECT_EQ(mount.source, "/dev/disk one");
    EXPECT_EQ(table.mounts()[0].source, "/dev/sda2");
}

// Catches a parser that stops at, or trips over, a line it cannot read: every good line around
// a broken one is still there, and nothing of the broken ones.
TEST(MountTable, LeavesOutLinesOfAnotherShape)
{
    MountTable table = MountTable::parse("\n"
                                         "24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                         "25 24 0:22 / /proc rw proc proc rw\n"
                                         "x 24 0:22 / /sys rw - sysfs sysfs rw\n"
                                         "26 24 0:23 / relative rw - tmpfs tmpfs rw\n"
                                         "27 24 0:24 / /dev rw -\n"
                                         "28 24 0:25 / /tmp rw - tmpfs tmpfs rw");
    ASSERT_EQ(table.mounts().size(), 2u);
    EXPECT_EQ(table.mounts()[0].mountPoint, "/");
    EXPECT_EQ(table.mounts()[1].mountPoint, "/tmp");
    EXPECT_TRUE(MountTable::parse("").mounts().empty());
}

// Catches a prefix compared by bytes rather than by folders (/homework is not on /home),
// a shorter mount winning over a nested one, and a path with doubled or trailing slashes.
TEST(MountTable, PathLiesOnTheDeepestMountAboveIt)
{
    MountTable table = MountTable::parse(desktopTable);
    EXPECT_EQ(mountPointOf(table, "/"), "/");
    EXPECT_EQ(mountPointOf(table, "/etc/passwd"), "/");
    EXPECT_EQ(mountPointOf(table, "/home"), "/home");
    EXPECT_EQ(mountPointOf(table, "/home/alice/Documents/report.doc"), "/home");
    EXPECT_EQ(mountPointOf(table, "/homework/report.doc"), "/");
    EXPECT_EQ(mountPointOf(table, "/run/user/1000/x"), "/run/user/1000");
    EXPECT_EQ(mountPointOf(table, "/run/media/alice/Holiday Photos/2023"), "/run/media/alice/Holiday Photos");
    EXPECT_EQ(mountPointOf(table, "/mnt/image/README"), "/mnt/image");
    EXPECT_EQ(mountPointOf(table, "/mnt/images"), "/mnt");
    EXPECT_EQ(mountPointOf(table, "//home///alice/"), "/home");
    EXPECT_EQ(mountPointOf(table, "relative/path"), "(none)");
}

// Catches a walk that takes the first mount listed on a folder: the stick mounted over the
// desktop's automount point, and a file system mounted twice on one folder, are found on top.
TEST(MountTable, MountStackedOnAFolderCoversTheOneBelow)
{
    MountTable table = MountTable::parse(desktopTable);
    EXPECT_EQ(table.mountOf("/media/usb/song.ogg")->fileSystemType, "vfat");
    MountTable twice = MountTable::parse("30 24 0:31 / /srv rw - tmpfs first rw\n"
                                         "24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                         "41 42 0:33 / /srv rw - tmpfs third rw\n"
                                         "42 30 0:32 / /srv rw - tmpfs second rw\n");
    EXPECT_EQ(twice.mountOf("/srv/data")->source, "third");
}

// Catches the plain longest-prefix rule, which the kernel does not follow: a mount made later on
// a folder above an earlier one hides it, so a path there lies on the later mount. A bind mount
// keeps the folder it shows.
TEST(MountTable, MountOnAFolderAboveHidesTheMountsBeneathIt)
{
    MountTable table = MountTable::parse("24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                         "50 24 8:17 / /data/stick rw - vfat /dev/sdb1 rw\n"
                                         "51 24 8:3 /exports/data /data rw - ext4 /dev/sda3 rw\n");
    std::optional<Mount> mount = table.mountOf("/data/stick/file");
    ASSERT_TRUE(mount);
    EXPECT_EQ(mount->source, "/dev/sda3");
    EXPECT_EQ(mount->root, "/exports/data");
}

// Catches a walk that never ends, or invents a root, on a table that cannot be true: mounts that
// name each other as parents, and a table whose root is missing.
TEST(MountTable, ImpossibleTablesGiveAnAnswerOrNone)
{
    MountTable unreachable = MountTable::parse("24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                               "60 61 0:40 / /x rw - tmpfs a rw\n"
                                               "61 60 0:41 / /x rw - tmpfs b rw\n");
    EXPECT_EQ(unreachable.mountOf("/x/y")->source, "/dev/sda2");
    // The same number given twice makes each of two mounts the other's parent.
    MountTable loop = MountTable::parse("24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                        "62 24 0:42 / /x rw - tmpfs a rw\n"
                                        "63 62 0:43 / /x rw - tmpfs b rw\n"
                                        "62 63 0:44 / /x rw - tmpfs c rw\n");
    std::optional<Mount> looped = loop.mountOf("/x/y");
    ASSERT_TRUE(looped);
    EXPECT_EQ(looped->mountPoint, "/x");
    MountTable rootless = MountTable::parse("25 24 0:22 / /proc rw - proc proc rw\n");
    EXPECT_FALSE(rootless.mountOf("/proc/1"));
    EXPECT_FALSE(MountTable().mountOf("/"));
}

// Catches volumes of another user, the kernel's and the system's own mounts (a chroot's among
// them), the root, the /media folder itself, and an automount point shown beside the stick
// mounted on it.
TEST(MountTable, UserVolumesAreWhatAFileManagerShows)
{
    std::vector<Mount> volumes = MountTable::parse(desktopTable).userVolumes("alice");
    std::vector<std::string> shown;
    for (const Mount& volume : volumes)
        shown.push_back(volume.mountPoint + " " + volume.fileSystemType);
    EXPECT_EQ(shown,
        (std::vector<std::string> {
            "/media/usb vfat", "/run/media/alice/Holiday Photos exfat", "/mnt ext4", "/mnt/image iso9660" }));
    std::vector<Mount> nobodys = MountTable::parse(desktopTable).userVolumes("");
    ASSERT_EQ(nobodys.size(), 3u);
    EXPECT_EQ(nobodys[0].mountPoint, "/media/usb");
}

// Catches a volume listed twice when it is mounted again on the same folder: the later mount is
// what the folder shows.
TEST(MountTable, VolumeMountedAgainOnItsFolderIsListedOnce)
{
    std::vector<Mount> volumes = MountTable::parse("24 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                                   "70 24 8:17 / /media/stick rw - vfat /dev/sdb1 rw\n"
                                                   "71 70 8:33 / /media/stick rw - ntfs3 /dev/sdc1 rw\n")
                                     .userVolumes("alice");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].source, "/dev/sdc1");
}

// Catches a reader of this process's own table that finds nothing, or that fails on the escapes
// the kernel really writes: a memory file system mounted on a folder with a blank in its name
// is found as it was mounted.
TEST(MountTable, CurrentTableHoldsARealMountOnAFolderWithABlank)
{
    MountTable table = MountTable::current();
    ASSERT_TRUE(table.mountOf("/")) << "this process's table has no root";
    EXPECT_EQ(table.mountOf("/proc")->fileSystemType, "proc");
    TemporaryFolder folder;
    std::string point = std::filesystem::canonical(folder.path()).string() + "/with blank\ttab";
    ScratchMount mount(point, { "mount", "-t", "tmpfs", "-o", "size=64k", "pressling\\test" });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    std::optional<Mount> found = MountTable::current().mountOf(point + "/document.doc");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->mountPoint, point);
    EXPECT_EQ(found->fileSystemType, "tmpfs");
    EXPECT_EQ(found->source, "pressling\\test");
}
