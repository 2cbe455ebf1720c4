#include "platform/FileWindow.h"

#include <algorithm>
#include <cstring>

namespace platform {

bool FileWindow::open(const std::string& path)
{
    m_file.emplace(path);
    m_windowLength = 0;
    if (!m_file->isOpen()) {
        m_file.reset();
        m_size = 0;
        return false;
    }
    m_size = m_file->size();
    return true;
}

// Reads up to wanted bytes from offset (which the file holds at least minimum bytes past) into
// the window. A read that brings fewer than the file should hold means the file has shrunk: its
// end is taken to be where the read stopped.
bool FileWindow::fill(uint64_t offset, size_t minimum, size_t wanted)
{
    if (!m_file)
        return false;
    uint64_t available = m_size - offset;
    size_t length = available < wanted ? static_cast<size_t>(available) : wanted;
    // The window grows to what the reads ask for, so that a small file costs only its size.
    if (m_window.size() < length)
        m_window.resize(length);
    m_windowStart = offset;
    m_windowLength = m_file->readAt(offset, m_window.data(), length);
    if (m_windowLength < length)
        m_size = offset + m_windowLength;
    return m_windowLength >= minimum;
}

const uint8_t* FileWindow::bytesAt(uint64_t offset, size_t length)
{
    // A window read before the file shrank still holds bytes that the file has lost since.
    if (length > Capacity || offset > m_size || m_size - offset < length)
        return nullptr;
    bool inWindow = offset >= m_windowStart && offset - m_windowStart <= m_windowLength
        && m_windowLength - (offset - m_windowStart) >= length;
    if (!inWindow && !fill(offset, length, std::max(length, ReadAhead)))
        return nullptr;
    return m_window.data() + (offset - m_windowStart);
}

std::optional<uint64_t> FileWindow::find(uint64_t from, const void* pattern, size_t length)
{
    if (length == 0 || length > Capacity)
        return std::nullopt;
    // Searched a window at a time, each window overlapping the next by all but one byte of the
    // pattern, so that an occurrence across the seam is found. A read that comes back short
    // lowers the size, so the loop ends however the file changes.
    while (from <= m_size && m_size - from >= length) {
        uint64_t left = m_size - from;
        size_t span = left < Capacity ? static_cast<size_t>(left) : Capacity;
        const uint8_t* bytes = bytesAt(from, span);
        if (!bytes)
            continue;
        if (const void* found = ::memmem(bytes, span, pattern, length))
            return from + static_cast<uint64_t>(static_cast<const uint8_t*>(found) - bytes);
        from += span - (length - 1);
    }
    return std::nullopt;
}

}
