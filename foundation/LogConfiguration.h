#pragma once

#include "foundation/Mutex.h"
#include "foundation/Object.h"

#include <cstdint>

// Where the log goes and how much of it: read once per process from the program's "Log" key
// under the current user, by the first log call of whichever thread comes first. Later calls only
// read the fields, which never change again, so they take no lock.
class LogConfiguration : public Object {
public:
    LogConfiguration(const LogConfiguration&) = delete;
    LogConfiguration& operator=(const LogConfiguration&) = delete;

    static const LogConfiguration& get();

    // Empty when no usable path fits, which drops every line.
    const char* getLogFilePath() const { return m_logFilePath; }
    int32_t getLevel() const { return m_level; }
    int32_t getConsole() const { return m_console; }

    static constexpr int MaxPathLength = 259;

private:
    LogConfiguration();
    void setLogFilePath(const char* folder, const char* fileName);

    char m_logFilePath[MaxPathLength + 1] = "";
    int32_t m_level = 0;
    int32_t m_console = 0;
    // Named after the log file, as the other processes of the program would name theirs.
    Mutex m_mutex;
};
