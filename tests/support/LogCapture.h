#pragma once

#include <cstdint>
#include <string>

// What the program logged since the capture began. Logging reads its settings once per process,
// at its first line, so a test program that uses this logs every level into a file of its own
// from the start.
class LogCapture {
public:
    LogCapture();

    std::string text() const;
    bool contains(const std::string& line) const;
    int count(const std::string& line) const;

private:
    uint64_t m_start;
};
