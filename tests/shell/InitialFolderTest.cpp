#include "foundation/VaultrixRegistry.h"
#include "platform/MountTable.h"
#include "shell/InitialFolder.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A machine with a fixed disk at the root, a USB stick and a disc mounted inside the test's
// folder, described by its mount table and its kernel device tree.
class MachineWithMedia {
public:
    MachineWithMedia()
    {
        blockDevice("pci/ata1/block/sda", "0");
        blockDevice("pci/usb1/block/sdb", "1");
        blockDevice("pci/ata2/block/sr0", "1");
        const std::string base = m_places.path();
        m_table = platform::MountTable::parse("1 0 8:1 / / rw - ext4 /dev/sda rw\n"
                                              "2 1 8:17 / "
            + base + "/stick rw - vfat /dev/sdb rw\n" + "3 1 11:0 / " + base + "/disc ro - iso9660 /dev/sr0 ro\n");
        fs::create_directories(base + "/stick/letters");
        fs::create_directories(base + "/disc/photos");
        fs::create_directories(base + "/disk/work");
    }

    InitialFolder::DriveTypeOf driveTypeOf() const
    {
        return [this](const std::string& path) {
            return platform::DriveTypes(m_sysfs.path()).typeOfPath(path, m_table);
        };
    }

    std::string place(const std::string& name) const { return m_places.file(name); }

private:
    void blockDevice(const std::string& path, const std::string& removable)
    {
        fs::create_directories(m_sysfs.path() + "/devices/" + path);
        fs::create_directories(m_sysfs.path() + "/class/block");
        m_sysfs.write("devices/" + path + "/removable", removable + "\n");
        fs::create_directory_symlink(
            "../../devices/" + path, m_sysfs.path() + "/class/block/" + fs::path(path).filename().string());
    }

    TemporaryFolder m_sysfs;
    TemporaryFolder m_places;
    platform::MountTable m_table;
};

std::optional<QByteArray> chosenAfter(const std::string& stored, const MachineWithMedia& machine)
{
    VaultrixRegistry().setInitialFolder(stored.c_str());
    return InitialFolder(machine.driveTypeOf()).choose();
}

}

// Catches a folder of the last run on a stick or a disc being opened again (its medium may be
// gone), and a folder on the fixed disk being replaced as if it were.
TEST(InitialFolder, FolderOnRemovableMediaGivesWayToTheDocumentsFolder)
{
    TemporaryRegistry registry;
    TemporaryFolder home;
    // The desktop's own folders are named in the user's user-dirs.dirs.
    home.write(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    ScopedEnvironment homeVariable("HOME", home.path());
    ScopedEnvironment configuration("XDG_CONFIG_HOME", home.file(".config"));
    MachineWithMedia machine;
    const QByteArray documentsFolder = InitialFolder::documentsFolder();
    EXPECT_EQ(documentsFolder, QByteArray((home.path() + "/Papers").c_str()));

    EXPECT_EQ(chosenAfter(machine.place("stick/letters/"), machine), documentsFolder);
    EXPECT_EQ(chosenAfter(machine.place("disc/photos/"), machine), documentsFolder);
    const std::string fixed = machine.place("disk/work/");
    EXPECT_EQ(chosenAfter(fixed, machine), QByteArray(fixed.c_str()));
}

// Catches a first run (nothing stored) that still invents a folder, so that the window's own
// choice never applies.
TEST(InitialFolder, NothingStoredGivesNothing)
{
    TemporaryRegistry registry;
    MachineWithMedia machine;
    EXPECT_FALSE(InitialFolder(machine.driveTypeOf()).choose().has_value());
    VaultrixRegistry().setInitialFolder("   ");
    EXPECT_FALSE(InitialFolder(machine.driveTypeOf()).choose().has_value());
}
