#pragma once

#include <string>

namespace platform {

// An exclusive advisory lock (flock) on a lock file, held for the life of the object. Each lock
// opens its own descriptor, so two threads of one process exclude each other as two processes do.
class FileLock {
public:
    // Creates the lock file when missing and blocks until the lock is held; locked() tells whether
    // that worked.
    explicit FileLock(const std::string& path);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    bool locked() const { return m_descriptor >= 0; }

private:
    int m_descriptor = -1;
};

}
