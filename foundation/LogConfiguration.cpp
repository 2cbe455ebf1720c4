#include "foundation/LogConfiguration.h"

#include "foundation/Directory.h"
#include "foundation/Registry.h"
#include "foundation/String.h"
#include "platform/ProgramName.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* ApplicationKey = "SOFTWARE\\Tarnwick\\Application";
constexpr const char* CurrentFolder = "./";

}

const LogConfiguration& LogConfiguration::get()
{
    // The initialisation of a local static runs exactly once even when several threads log
    // first at the same moment. The object is never destroyed, so that a worker thread still
    // logging while the process exits does not read a destroyed configuration.
    static const LogConfiguration* configuration = new LogConfiguration();
    return *configuration;
}

LogConfiguration::LogConfiguration()
{
    std::string programName = platform::programName();
    String folder(CurrentFolder);
    std::string defaultFileName = programName + ".log";
    String fileName(defaultFileName.c_str());

    char key[1024];
    snprintf(key, sizeof(key), "%s\\%s\\Log", ApplicationKey, programName.c_str());
    Registry registry(Registry::Root::CurrentUser);
    registry.getString(key, "dir", folder);
    registry.getString(key, "filename", fileName);
    int32_t value = 0;
    if (registry.getInteger(key, "level", value))
        m_level = value;
    if (registry.getInteger(key, "console", value))
        m_console = value;

    Directory directory(folder.getText());
    if (!directory.exists()) {
        directory.createDirectories();
        if (!directory.exists())
            folder.assign(CurrentFolder);
    }
    setLogFilePath(folder.getText(), fileName.getText());
    m_mutex.setName(m_logFilePath);
}

void LogConfiguration::setLogFilePath(const char* folder, const char* fileName)
{
    // A path that does not fit would be cut into the name of some other file, so a folder that
    // is too long falls back to the current one like an unusable folder, and a file name too
    // long even for that leaves no path at all.
    int length = snprintf(m_logFilePath, sizeof(m_logFilePath), "%s/%s", folder, fileName);
    if (length >= 0 && length <= MaxPathLength)
        return;
    length = snprintf(m_logFilePath, sizeof(m_logFilePath), "%s/%s", CurrentFolder, fileName);
    if (length < 0 || length > MaxPathLength)
        m_logFilePath[0] = '\0';
}
