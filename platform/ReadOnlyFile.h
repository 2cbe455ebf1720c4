#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A user's file opened for reading only, when it is a regular file (a symlink to one counts),
// closed by the destructor and never inherited by a child process. Opening never waits and never
// reads what is not a file: a FIFO under a document's name would block an ordinary open until
// some writer came, and a device such as /dev/zero never ends, so both are refused (error
// EINVAL) instead.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path);
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    bool isOpen() const { return m_descriptor >= 0; }
    // The system's error when the file could not be opened: ENOENT, EACCES, EINVAL for no
    // regular file.
    int error() const { return m_error; }
    uint64_t size() const { return m_size; }
    int descriptor() const { return m_descriptor; }

    // The permission bits and the owner as they were when the file was opened.
    uint32_t mode() const { return m_mode; }
    uint32_t owner() const { return m_owner; }
    uint32_t group() const { return m_group; }

    // Reads up to length bytes from offset and returns how many arrived; 0 at the end of the
    // file or on a failure.
    size_t readAt(uint64_t offset, void* buffer, size_t length) const;

    // Hands the descriptor over to the caller, who closes it from then on.
    int release();

private:
    int m_descriptor = -1;
    int m_error = 0;
    uint64_t m_size = 0;
    uint32_t m_mode = 0;
    uint32_t m_owner = 0;
    uint32_t m_group = 0;
};

}
