#include "office/libreoffice/LibreOfficeProfile.h"

#include "office/libreoffice/LibreOfficeInstallation.h"
#include "platform/PrivateFolder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

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
    m_abortCleanup.reset();
    m_folder.remove();
}

std::string LibreOfficeProfile::privateFolder()
{
    return platform::PrivateFolder::pathFor("pressling-office");
}

bool LibreOfficeProfile::create()
{
    std::string base = privateFolder();
    std::string refusal;
    if (base.empty()) {
        m_error = "cannot keep a LibreOffice profile: no private folder can be made in the temporary folder";
        return false;
    }
    if (!platform::PrivateFolder::ensure(base, refusal)) {
        m_error = "cannot keep a LibreOffice profile: " + refusal;
        return false;
    }
    int error = 0;
    if (!m_folder.create(base + "/" + namePrefix + "XXXXXX", error)) {
        m_error = "cannot create a profile folder in " + base + ": " + std::strerror(error);
        return false;
    }
    m_abortCleanup.emplace([this] { m_folder.remove(); });
    if (!fill()) {
        m_error = "cannot seed the profile in " + m_folder.path();
        return false;
    }
    return true;
}

bool LibreOfficeProfile::fill()
{
    const std::string& folder = m_folder.path();
    std::error_code failure;
    std::filesystem::create_directory(folder + "/user", failure);
    if (!failure)
        std::filesystem::create_directory(folder + "/tmp", failure);
    if (!failure)
        std::filesystem::create_directory(outputFolder(), failure);
    // Written only now that the lock is held: a folder without it may be one whose maker has
    // not taken its lock yet.
    std::ofstream owner(folder + "/" + ownerFile);
    owner << getpid() << "\n";
    owner.close();
    std::ofstream settings(folder + "/user/registrymodifications.xcu", std::ios::binary);
    settings << seedSettings();
    settings.close();
    return !failure && owner && settings;
}

std::string LibreOfficeProfile::url() const
{
    return "file://" + m_folder.path();
}

void LibreOfficeProfile::recordProcessGroup(pid_t group)
{
    std::ofstream(m_folder.path() + "/" + groupFile) << group << "\n";
}

std::string LibreOfficeProfile::seedSettings()
{
    std::string version = LibreOfficeInstallation::productVersion();
    std::string build = LibreOfficeInstallation::buildId();
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
    // A document never makes the office fetch what it links to (pictures, style sheets, other
    // documents), nor update its links: where no sandbox can be made, this is what keeps a
    // document from reaching out of the machine or telling anyone that it was opened.
    text += item("/org.openoffice.Office.Common/Security/Scripting", "BlockUntrustedRefererLinks", "true");
    text += item("/org.openoffice.Office.Writer/Content/Update", "Link", "0");
    text += item("/org.openoffice.Office.Calc/Content/Update", "Link", "1");
    // What the setting above leaves (a page's style sheet) goes through a proxy on a local port
    // that nothing serves, and so nowhere: the office has no business on the network.
    for (const char* scheme : { "HTTP", "HTTPS", "FTP" }) {
        text += item("/org.openoffice.Inet/Settings", (std::string("ooInet") + scheme + "ProxyName").c_str(), "127.0.0.1");
        text += item("/org.openoffice.Inet/Settings", (std::string("ooInet") + scheme + "ProxyPort").c_str(), "1");
    }
    text += item("/org.openoffice.Inet/Settings", "ooInetNoProxy", "");
    text += item("/org.openoffice.Inet/Settings", "ooInetProxyType", "1");
    text += item("/org.openoffice.Office.Recovery/RecoveryInfo", "Enabled", "false");
    text += "</oor:items>\n";
    return text;
}

}
