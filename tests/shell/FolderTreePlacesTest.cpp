#include "shell/FolderTreePlaces.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A user's home whose desktop names its documents folder in user-dirs.dirs, as xdg-user-dirs
// writes it.
class UserHome {
public:
    explicit UserHome(const std::string& documentsLine)
        : m_home("HOME", m_folder.path())
        , m_config("XDG_CONFIG_HOME", m_folder.path() + "/.config")
    {
        m_folder.write(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + documentsLine + "\"\n");
    }
    QByteArray path() const { return QByteArray::fromStdString(m_folder.path()); }
    void makeFolder(const std::string& name) const { fs::create_directories(m_folder.file(name)); }

private:
    TemporaryFolder m_folder;
    ScopedEnvironment m_home;
    ScopedEnvironment m_config;
};

}

// Catches a documents place taken from the wrong variable, shown when it does not exist, or
// shown twice when it is the home itself.
TEST(FolderTreePlaces, DocumentsFolderOfTheDesktopWhenItIsOneOfItsOwn)
{
    UserHome papers("$HOME/Papers");
    papers.makeFolder("Papers");
    FolderTreePlaces places = FolderTreePlaces::ofThisUser();
    EXPECT_EQ(places.home, papers.path());
    EXPECT_EQ(places.documents, papers.path() + "/Papers");

    UserHome missing("$HOME/Papers");
    EXPECT_TRUE(FolderTreePlaces::ofThisUser().documents.isEmpty());

    UserHome itself("$HOME/");
    EXPECT_TRUE(FolderTreePlaces::ofThisUser().documents.isEmpty());
}

// Catches the mounted volumes missing from the places, or given with a trailing '/'.
TEST(FolderTreePlaces, MountedVolumeIsAPlace)
{
    std::string mountPoint = "/mnt/pressling-tree-" + std::to_string(::getpid());
    std::vector<QByteArray> volumes;
    {
        ScratchMount volume(mountPoint, { "mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs" });
        if (!volume.mounted()) {
            fs::remove(mountPoint);
            GTEST_SKIP() << "cannot mount a file system here: " << volume.reason();
        }
        volumes = FolderTreePlaces::ofThisUser().volumes;
    }
    fs::remove(mountPoint);
    EXPECT_NE(
        std::find(volumes.begin(), volumes.end(), QByteArray::fromStdString(mountPoint)), volumes.end());
}
