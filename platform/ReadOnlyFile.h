#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// True when the attributes of path can be read: it exists and every folder on the way can be
// searched.
bool fileAttributesReadable(const std::string& path);

// A regular file opened for reading only, closed by the destructor. Opening never waits: a FIFO
// or a device that carries a document's name is refused instead of blocking the caller.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path);
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    bool isOpen() const { return m_descriptor >= 0; }
    uint64_t size() const { return m_size; }
    int descriptor() const { return m_descriptor; }

    // Reads up to length bytes from offset and returns how many arrived; 0 at the end of the
    // file or on a failure.
    size_t readAt(uint64_t offset, void* buffer, size_t length) const;

    // Hands the descriptor over to the caller, who closes it from then on.
    int release();

private:
    int m_descriptor = -1;
    uint64_t m_size = 0;
};

}
