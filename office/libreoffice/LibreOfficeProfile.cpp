#include "office/libreoffice/LibreOfficeProfile.h"

#include "platform/LibreOfficeInstallation.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace office {

namespace {

std::string item(const char* path, const char* name, const std::string& value)
{
    return std::string("<item oor:path=\"") + path + "\"><prop oor:name=\"" + name
        + "\" oor:op=\"fuse\"><value>" + value + "</value></prop></item>\n";
}

}

LibreOfficeProfile::LibreOfficeProfile() = default;

LibreOfficeProfile::~LibreOfficeProfile()
{
    remove();
}

bool LibreOfficeProfile::create()
{
    std::error_code failure;
    std::string base = std::filesystem::temp_directory_path(failure).string();
    if (failure)
        base = "/tmp";
    std::string pattern = base + "/pressling-office-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        m_error = "cannot create a profile folder under " + base + ": " + std::strerror(errno);
        return false;
    }
    m_folder = name.data();
    std::filesystem::create_directories(m_folder + "/user", failure);
    std::filesystem::create_directories(m_folder + "/tmp", failure);
    // Who made the folder, so that a later session can remove it once its maker has crashed.
    std::ofstream(m_folder + "/owner") << getpid() << "\n";
    std::ofstream settings(m_folder + "/user/registrymodifications.xcu", std::ios::binary);
    settings << seedSettings();
    settings.close();
    if (failure || !settings) {
        m_error = "cannot seed the profile in " + m_folder;
        return false;
    }
    return true;
}

std::string LibreOfficeProfile::url() const
{
    return "file://" + m_folder;
}

std::string LibreOfficeProfile::seedSettings()
{
    std::string version = platform::LibreOfficeInstallation::productVersion();
    std::string build = platform::LibreOfficeInstallation::buildId();
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                       "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                       "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    // The last version and the compatibility check decide whether LibreOffice migrates the
    // profile and restarts itself; the rest keeps the first-run dialogs and tips away.
    text += item("/org.openoffice.Setup/Product", "ooSetupLastVersion", version.empty() ? "7.4" : version);
    if (!build.empty())
        text += item("/org.openoffice.Setup/Office", "LastCompatibilityCheckID", build);
    text += item("/org.openoffice.Setup/Office", "ooSetupInstCompleted", "true");
    text += item("/org.openoffice.Office.Common/Misc", "FirstRun", "false");
    text += item("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", "false");
    text += item("/org.openoffice.Office.Common/Misc", "CollectUsageInformation", "false");
    text += item("/org.openoffice.Office.Common/Save/Document", "AutoSave", "false");
    // The office only reads the documents and writes new files, which nobody else has open; its
    // lock file beside an output of a long name would pass the longest file name and fail the store.
    text += item("/org.openoffice.Office.Common/Misc", "UseDocumentOOoLockFile", "false");
    text += item("/org.openoffice.Office.Recovery/AutoSave", "Enabled", "false");
    text += item("/org.openoffice.Office.Recovery/RecoveryInfo", "Enabled", "false");
    text += "</oor:items>\n";
    return text;
}

void LibreOfficeProfile::remove()
{
    if (m_folder.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
    m_folder.clear();
}

}
