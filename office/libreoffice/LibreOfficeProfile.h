#pragma once

#include "platform/AbortCleanup.h"
#include "platform/LockedFolder.h"

#include <optional>
#include <string>
#include <sys/types.h>

namespace office {

// A private LibreOffice user profile in a fresh folder, seeded so that LibreOffice does not
// take its start for a first start (which costs several times as long and restarts the process
// once). The folder goes away with the object, and also when the program is made to end at
// once. Profiles live in a folder that only our user can enter, so that nothing in them (and
// nothing a later run reads from them to decide what to end and remove) can come from anybody
// else. The maker holds a lock on its profile folder while it exists; a folder that can be
// locked, and holds the owner file written once the lock was taken, was left by a process that
// is gone.
class LibreOfficeProfile {
public:
    LibreOfficeProfile();
    LibreOfficeProfile(const LibreOfficeProfile&) = delete;
    LibreOfficeProfile& operator=(const LibreOfficeProfile&) = delete;
    ~LibreOfficeProfile();

    // False when the folder could not be made; error() says why.
    bool create();
    const std::string& error() const { return m_error; }
    const std::string& folder() const { return m_folder.path(); }
    // Where the office writes what it stores before it is moved beside its target: a folder
    // of its own, since a sandboxed office may write nowhere else.
    std::string outputFolder() const { return m_folder.path() + "/output"; }
    // The folder as the file URL that -env:UserInstallation takes.
    std::string url() const;
    // Notes the process group made for the office, so that a later run that finds the office
    // orphaned ends that group and no other.
    void recordProcessGroup(pid_t group);
    // The text of the seeded registrymodifications.xcu.
    static std::string seedSettings();

    // Where the profiles of our user are kept, and how their folders are named in it.
    static std::string privateFolder();
    static constexpr const char* namePrefix = "profile-";
    // The files that a profile folder's maker leaves in it for a later run.
    static constexpr const char* ownerFile = "owner";
    static constexpr const char* groupFile = "group";

private:
    bool fill();

    std::string m_error;
    platform::LockedFolder m_folder;
    // Goes before the folder, so that a cleanup being run has finished with it.
    std::optional<platform::AbortCleanup> m_abortCleanup;
};

}
