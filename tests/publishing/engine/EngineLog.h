#pragma once

#include <cstdint>
#include <string>

// What the engine logged since the capture began. Logging reads its settings once per process,
// at its first line, so the tests that link this log every level into a file of their own from
// the start.
class EngineLog {
public:
    EngineLog();

    std::string text() const;
    bool contains(const std::string& line) const;
    int count(const std::string& line) const;

private:
    uint64_t m_start;
};
