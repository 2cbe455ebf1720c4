#pragma once

#include <string>

namespace platform {

// flock(LOCK_EX) held on an open file or folder for the life of the object. This is how the maker
// of something left beside a document (a backup, a scratch folder) says that it is still at work:
// whoever can take the lock knows that the maker is gone; and how writers of one file take turns.
// Each lock opens its own descriptor, so two threads of one process exclude each other as two
// processes do. The descriptor is never inherited by a child process, so that an office started
// meanwhile does not keep the lock alive.
class ExclusiveLock {
public:
    ExclusiveLock() = default;
    // Takes over an open descriptor on which the lock is already held.
    explicit ExclusiveLock(int descriptor);
    ExclusiveLock(ExclusiveLock&& other) noexcept;
    ExclusiveLock& operator=(ExclusiveLock&& other) noexcept;
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    // Closing the descriptor gives the lock back.
    ~ExclusiveLock();

    bool held() const { return m_descriptor >= 0; }

    // Takes the lock on the regular file that path names, without waiting and without following
    // a symlink; not held when it is anything else, cannot be opened, or someone else holds the
    // lock. (A folder's lock is LockedFolder's.)
    static ExclusiveLock tryTake(const std::string& path);
    // Takes the lock on the lock file that path names, creating it when missing, and waits until
    // it is held; not held when the file cannot be opened or locked.
    static ExclusiveLock waitFor(const std::string& path);

private:
    int m_descriptor = -1;
};

}
