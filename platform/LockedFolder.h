#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A folder that its maker holds an exclusive flock on for as long as it works in it, so that
// anyone who can take the lock knows that the maker is gone. The lock is held on a descriptor
// that is closed on exec, so that no program the maker starts inherits it. Everything done
// inside goes through that descriptor and never follows a symbolic link: a link planted in the
// folder is removed as a link, and a folder that was moved away and replaced by a link or by
// another folder is not taken for ours.
class LockedFolder {
public:
    LockedFolder() = default;
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    // Lets go of the lock; the folder stays unless remove() took it away.
    ~LockedFolder();

    // Makes a new folder (mode 0700) from pattern, whose last six characters are XXXXXX as
    // mkdtemp takes them, and locks it. False with error set.
    bool create(const std::string& pattern, int& error);
    // Locks the folder at path when it is a real folder (not a link) owned by our user whose
    // maker has let go of it. False when it is anything else or its maker still holds it.
    bool takeAbandoned(const std::string& path);
    bool isHeld() const { return m_descriptor >= 0; }
    const std::string& path() const { return m_path; }

    // Removes everything in the folder, then the folder itself when its name still leads to
    // it. Only file-system calls on descriptors, so it may run on another thread beside the
    // owner (as an abort cleanup does). True when the folder is gone.
    bool remove();
    // The names of what is in the folder now.
    std::vector<std::string> entries() const;
    // Renames name, directly in the folder, to target in one step, in place of whatever target
    // names: a file or a link there is replaced, never written through. False with error set.
    bool moveOut(const std::string& name, const std::string& target, int& error) const;
    // The bytes of a regular file directly in the folder, not followed through a link. False
    // when there is no such file or it holds more than limit bytes.
    bool readFile(const std::string& name, std::string& bytes, uint64_t limit) const;

private:
    enum class Wait { No, Yes };

    bool lockOpened(Wait wait, int& error);
    // The folder that holds ours, opened, with our name in it; -1 when it cannot be opened.
    int openParent(std::string& name) const;
    bool stillNamed() const;
    bool namesHeld(int parent, const std::string& name) const;
    void release();

    std::string m_path;
    int m_descriptor = -1;
};

}
