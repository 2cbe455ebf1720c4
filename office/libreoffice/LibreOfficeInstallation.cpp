#include "office/libreoffice/LibreOfficeInstallation.h"

#include "platform/FileOperations.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace office {

using namespace platform;

namespace {

// The installation's registry layers are a few megabytes; a file far beyond that is not one.
constexpr uint64_t largestRegistryLayer = 64ull * 1024 * 1024;

// The whole layer, or nothing when it cannot be read.
std::string readLayer(const std::string& path)
{
    std::string bytes;
    if (!fileOperations::readAll(path, bytes, largestRegistryLayer))
        bytes.clear();
    return bytes;
}

// The value of key=value in an ini-style file of the installation.
std::string iniValue(const std::string& path, const std::string& key)
{
    std::ifstream stream(path);
    std::string line;
    while (std::getline(stream, line)) {
        if (line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    }
    return {};
}

}

std::string LibreOfficeInstallation::programFolder()
{
    // Tests and unusual installs can point at another installation.
    if (const char* folder = std::getenv("PRESSLING_LIBREOFFICE_PROGRAM"); folder && *folder)
        return folder;
    return "/usr/lib/libreoffice/program";
}

std::string LibreOfficeInstallation::launcherPath()
{
    return programFolder() + "/soffice";
}

std::string LibreOfficeInstallation::productVersion()
{
    // The release is a default of the setup schema in the installation's main registry layer.
    std::string main = readLayer(programFolder() + "/../share/registry/main.xcd");
    const std::string marker = "<prop oor:name=\"ooSetupVersion\">";
    size_t at = main.find(marker);
    if (at == std::string::npos)
        return {};
    size_t open = main.find("<value>", at);
    size_t close = main.find("</value>", open);
    if (open == std::string::npos || close == std::string::npos)
        return {};
    return main.substr(open + 7, close - open - 7);
}

std::string LibreOfficeInstallation::buildId()
{
    return iniValue(programFolder() + "/versionrc", "buildid");
}

bool LibreOfficeInstallation::readsAndWritesOpenXml() const
{
    if (access(launcherPath().c_str(), X_OK) != 0)
        return false;
    std::string writer = readLayer(programFolder() + "/../share/registry/writer.xcd");
    size_t at = writer.find("<node oor:name=\"MS Word 2007 XML\"");
    if (at == std::string::npos)
        return false;
    size_t end = writer.find("</node>", at);
    std::string filter = writer.substr(at, end == std::string::npos ? std::string::npos : end - at);
    return filter.find("IMPORT") != std::string::npos && filter.find("EXPORT") != std::string::npos;
}

}
