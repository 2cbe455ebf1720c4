#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A regular file mapped read-only into memory. The pages are read in as they are touched, and
// a reader that walks the file front to back gives back the pages behind it, so that even a
// file of many gigabytes keeps only a few megabytes resident.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // Maps the file; false when it cannot be opened, is not a regular file or cannot be mapped.
    // An empty file opens with no data.
    bool open(const std::string& path);

    const uint8_t* data() const { return m_data; }
    uint64_t size() const { return m_size; }

    // Drops the pages that lie wholly inside [begin, end) from this process's memory. They stay
    // readable: touching one again reads it back in.
    void release(uint64_t begin, uint64_t end);

private:
    void unmap();

    const uint8_t* m_data = nullptr;
    uint64_t m_size = 0;
};

}
