#include "classify/ClientLicensorCertificate.h"

#include "foundation/StringBuffer.h"

#include <cstdlib>
#include <filesystem>

namespace {

bool isAbsolute(const char* path)
{
    return path && path[0] == '/';
}

}

std::string localApplicationDataFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (isAbsolute(dataHome))
        return dataHome;
    const char* home = std::getenv("HOME");
    if (isAbsolute(home))
        return std::string(home) + "/.local/share";
    return std::string();
}

bool matchesWildcard(const char* pattern, const char* name)
{
    // The classic greedy match with one backtracking point: the last "*" seen.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool findCLC(const char* owner)
{
    if (!owner)
        return false;
    std::string dataFolder = localApplicationDataFolder();
    if (dataFolder.empty())
        return false;
    std::string folder = dataFolder + "/Microsoft/DRM";

    // The client writes every "-" of the owner as ";k", so that the dashes around it separate.
    StringBuffer escaped(1024, 256);
    for (const char* character = owner; *character; ++character) {
        bool appended = *character == '-' ? escaped.append(";k") : escaped.append(*character);
        if (!appended)
            return false;
    }
    std::string pattern = std::string("CLC-") + escaped.getBuffer() + "-*.drm";

    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return false;
    for (const auto& entry : entries) {
        std::string name = entry.path().filename().string();
        if (name == "." || !matchesWildcard(pattern.c_str(), name.c_str()))
            continue;
        std::error_code typeError;
        if (!entry.is_directory(typeError))
            return true;
    }
    return false;
}
