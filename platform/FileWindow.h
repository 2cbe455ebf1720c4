#pragma once

#include "platform/ReadOnlyFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A regular file read front to back through one window of its bytes, so that a reader walking a
// file of many gigabytes holds no more than the window in memory. The file is read with ordinary
// reads, never mapped: a file that another program cuts short while it is read gives a short
// read, and from then on the file ends where that read ended.
class FileWindow {
public:
    // The most bytes one call of bytesAt hands out, and the stride of find.
    static constexpr size_t Capacity = 1 << 20;
    // What a read that misses the window fetches at the least: the records of an archive lie
    // close together, and a larger read would fetch data that is skipped anyway.
    static constexpr size_t ReadAhead = 64 << 10;

    FileWindow() = default;
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    // False when the file cannot be opened or is not a regular file.
    bool open(const std::string& path);

    // The file's length when it was opened, or where a short read found its end since.
    uint64_t size() const { return m_size; }

    // The length bytes at offset (at most Capacity), valid until the next call; null when the
    // file does not hold them, because they lie past its end or because it has shrunk.
    const uint8_t* bytesAt(uint64_t offset, size_t length);

    // The offset of the first occurrence of pattern at or after from that lies wholly inside the
    // file; nothing when there is none.
    std::optional<uint64_t> find(uint64_t from, const void* pattern, size_t length);

private:
    bool fill(uint64_t offset, size_t minimum, size_t wanted);

    std::optional<ReadOnlyFile> m_file;
    uint64_t m_size = 0;
    std::vector<uint8_t> m_window;
    uint64_t m_windowStart = 0;
    size_t m_windowLength = 0;
};

}
