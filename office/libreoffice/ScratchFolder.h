#pragma once

#include "platform/AbortCleanup.h"
#include "platform/LockedFolder.h"

#include <optional>
#include <string>
#include <vector>

namespace office {

// A hidden folder beside a target file for what one export writes before it is put in place
// (the output itself, the images of an HTML page, the HTML behind a web archive, the PDF behind
// an XPS package), removed with everything in it, also when the program is made to end at once.
// Beside the target rather than in /tmp, so that the final rename stays on one file system.
// Its maker holds a lock on it for as long as it exists, so that a folder left by a process
// that died can be told from one in use and swept away.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& targetFile);
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    bool create();
    const std::string& error() const { return m_error; }
    const std::string& path() const { return m_folder.path(); }
    std::string file(const std::string& name) const { return m_folder.path() + "/" + name; }
    // The names of what is in the folder now.
    std::vector<std::string> entries() const;
    // Renames name out of the folder to target, in place of whatever target names: a file or a
    // link there is replaced, never written through. False with the system's error.
    bool moveOut(const std::string& name, const std::string& target, int& error);

    // The folder's name for a target: .~pressling-<target name>-XXXXXX, the target's name cut
    // (at a character boundary) so that the whole fits in a file name.
    static std::string namePattern(const std::string& targetName);

private:
    std::string m_target;
    std::string m_error;
    platform::LockedFolder m_folder;
    // Goes before the folder, so that a cleanup being run has finished with it.
    std::optional<platform::AbortCleanup> m_abortCleanup;
};

}
