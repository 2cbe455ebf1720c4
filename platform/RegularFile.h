#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A user's file opened for reading, only when it is a regular file (a symlink to one counts).
// Opening never waits and never reads what is not a file: a FIFO under a document's name would
// block an ordinary open until some writer came, and a device such as /dev/zero never ends, so
// both are refused (error EINVAL) instead. The descriptor is closed by the destructor and is
// never inherited by a child process.
class RegularFile {
public:
    explicit RegularFile(const std::string& path);
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    bool isOpen() const { return m_descriptor >= 0; }
    // The system's error when the file could not be opened: ENOENT, EACCES, EINVAL for no
    // regular file.
    int error() const { return m_error; }
    int descriptor() const { return m_descriptor; }

    // The permission bits and the owner as they were when the file was opened.
    uint32_t mode() const { return m_mode; }
    uint32_t owner() const { return m_owner; }
    uint32_t group() const { return m_group; }

private:
    int m_descriptor = -1;
    int m_error = 0;
    uint32_t m_mode = 0;
    uint32_t m_owner = 0;
    uint32_t m_group = 0;
};

}
