#pragma once

#include <string>

namespace office {

// A private LibreOffice user profile in a fresh folder under the system's temporary folder,
// seeded so that LibreOffice does not take its start for a first start (which costs several
// times as long and restarts the process once). The folder goes away with the object.
class LibreOfficeProfile {
public:
    LibreOfficeProfile();
    LibreOfficeProfile(const LibreOfficeProfile&) = delete;
    LibreOfficeProfile& operator=(const LibreOfficeProfile&) = delete;
    ~LibreOfficeProfile();

    // False when the folder could not be made; error() says why.
    bool create();
    const std::string& error() const { return m_error; }
    const std::string& folder() const { return m_folder; }
    // The folder as the file URL that -env:UserInstallation takes.
    std::string url() const;
    // The text of the seeded registrymodifications.xcu.
    static std::string seedSettings();

private:
    void remove();

    std::string m_folder;
    std::string m_error;
};

}
