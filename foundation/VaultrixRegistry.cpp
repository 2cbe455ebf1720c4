#include "foundation/VaultrixRegistry.h"

#include "foundation/String.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

constexpr int32_t defaultMacroSecurityLevel = 3;
constexpr int32_t defaultFilesDisplayFormat = 2;
// The longest path the working folder may have, its terminator excluded.
constexpr size_t maximumPathLength = 259;

}

VaultrixRegistry::VaultrixRegistry()
{
    // A missing key only makes every read fall back to its default, so the result does not matter.
    ensureKey(keyPath);
}

int32_t VaultrixRegistry::getMacroSecurityLevel() const
{
    int32_t level = defaultMacroSecurityLevel;
    getInteger(keyPath, "MacroSecurityLevel", level);
    if (level < 1 || level > 3)
        return defaultMacroSecurityLevel;
    return level;
}

VaultrixRegistry::SandboxSetting VaultrixRegistry::getSandboxSetting() const
{
    int32_t value = -1;
    getInteger(keyPath, "Sandbox", value);
    if (value == 1)
        return SandboxSetting::Required;
    if (value == 0)
        return SandboxSetting::Off;
    return SandboxSetting::WhenPossible;
}

int32_t VaultrixRegistry::getPdfArchive() const
{
    int32_t part = 0;
    getInteger(keyPath, "PdfArchive", part);
    return part >= 1 && part <= 3 ? part : 0;
}

uint32_t VaultrixRegistry::getSessions() const
{
    int32_t sessions = 0;
    getInteger(keyPath, "Sessions", sessions);
    return sessions > 0 ? static_cast<uint32_t>(sessions) : 0;
}

bool VaultrixRegistry::getInitialFolder(String& out) const
{
    return getString(keyPath, "InitialFolder", out);
}

bool VaultrixRegistry::setInitialFolder(const char* text) const
{
    return setString(keyPath, "InitialFolder", text);
}

int32_t VaultrixRegistry::getFilesDisplayFormat() const
{
    int32_t format = defaultFilesDisplayFormat;
    getInteger(keyPath, "FilesDisplayFormat", format);
    return format;
}

// The home folder stands in for the user profile folder; a home or path too long for the
// folder's limit gives no working folder rather than a cut-off path.
bool VaultrixRegistry::getWorkingFolder(String& out) const
{
    if (getString(keyPath, "WorkingFolder", out))
        return true;
    const char* home = std::getenv("HOME");
    if (!home || *home == '\0' || std::strlen(home) > maximumPathLength)
        return false;
    char path[maximumPathLength + 1];
    int length = std::snprintf(path, sizeof(path), "%s/sfc", home);
    if (length < 0 || static_cast<size_t>(length) > maximumPathLength)
        return false;
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        std::filesystem::create_directory(path, error);
    if (!std::filesystem::is_directory(path, error))
        return false;
    out.assign(path);
    return true;
}
