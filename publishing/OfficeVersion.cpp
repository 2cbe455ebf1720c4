#include "publishing/OfficeVersion.h"

#include "foundation/CurrentUserRegistry.h"
#include "foundation/LocalMachineRegistry.h"
#include "foundation/Log.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr size_t valueSize = 1024;
constexpr int32_t newestVersion = 30;
constexpr int32_t oldestVersion = 8;
// The version the stand-in office counts as: Word 2016 and later read and write what it does.
constexpr int32_t libreOfficeVersion = 16;

// Process-wide and written by whichever thread asks first; both compute the same values, so
// a race only repeats the scan. Atomics keep that repetition well defined.
std::atomic<int32_t> cachedWordVersion { -1 };
std::atomic<bool> word12Convertible { false };

// Set by the program before the first job starts and only read afterwards.
std::shared_ptr<const office::OfficeInstallation> installedOffice;

const char* const exportConverterKey = "Software\\Microsoft\\Shared Tools\\Text Converters\\Export\\Word12";
const char* const importConverterKey = "Software\\Microsoft\\Shared Tools\\Text Converters\\Import\\Word12";
const char* const office12Folder = "\\Microsoft Office\\Office12\\";

}

int32_t OfficeVersion::getWordVersion()
{
    LocalMachineRegistry machine;
    CurrentUserRegistry user;
    int32_t wordVersion = -1;
    for (int32_t version = newestVersion; version >= oldestVersion && wordVersion < 0; --version) {
        char key[256];
        char value[valueSize];
        std::snprintf(key, sizeof key, "Software\\Microsoft\\Office\\%d.0\\Word\\InstallRoot", version);
        if (!machine.getStringBuffer(key, "Path", value, sizeof value))
            continue;
        std::snprintf(key, sizeof key, "Software\\Microsoft\\Office\\%d.0\\Word", version);
        if (user.getStringBuffer(key, "WordName", value, sizeof value))
            wordVersion = version;
    }
    if (wordVersion < 0 && installedOffice && installedOffice->readsAndWritesOpenXml())
        wordVersion = libreOfficeVersion;
    logTrace("OfficeVersion#getWordVersion,1,wordVersion=%d", wordVersion);
    return wordVersion;
}

bool OfficeVersion::isOfficeWord12ConverterInstalled()
{
    logTrace("OfficeVersion#isOfficeWord12ConverterInstalled,1,Start");
    LocalMachineRegistry machine;
    char exportPath[valueSize];
    char importPath[valueSize];
    if (!machine.getStringBuffer(exportConverterKey, "Path", exportPath, sizeof exportPath)
        || !machine.getStringBuffer(importConverterKey, "Path", importPath, sizeof importPath))
        return false;
    logTrace("OfficeVersion#isOfficeWord12ConverterInstalled,2,r1=%s r2=%s", exportPath, importPath);
    return std::strstr(exportPath, office12Folder) && std::strstr(importPath, office12Folder);
}

bool OfficeVersion::isOfficeWord12Convertible()
{
    if (cachedWordVersion < 0) {
        int32_t version = getWordVersion();
        cachedWordVersion = version;
        logTrace("OfficeVersion#isOfficeWord12Convertible,1,Start, version=%d", version);
        if (version >= 12 || (version == 11 && isOfficeWord12ConverterInstalled()))
            word12Convertible = true;
    } else {
        logTrace("OfficeVersion#isOfficeWord12Convertible,2,Cached version=%d", cachedWordVersion.load());
    }
    bool convertible = word12Convertible;
    logTrace("OfficeVersion#isOfficeWord12Convertible,3,End rc=%d", convertible ? 1 : 0);
    return convertible;
}

void OfficeVersion::setInstalledOffice(std::shared_ptr<const office::OfficeInstallation> installation)
{
    installedOffice = std::move(installation);
}

void OfficeVersion::resetCache()
{
    cachedWordVersion = -1;
    word12Convertible = false;
}
