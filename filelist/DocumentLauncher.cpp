#include "filelist/DocumentLauncher.h"

#include "filelist/OpenCommand.h"
#include "foundation/ClassesRootRegistry.h"
#include "foundation/String.h"
#include "platform/DetachedProcess.h"

#include <cstring>
#include <string>

namespace {

constexpr int32_t noProgram = -1;

}

int32_t DocumentLauncher::open(const char* path)
{
    if (!path)
        return noProgram;
    // The extension runs from the last "." on, wherever it stands; one inside a folder's name
    // names no registered type, so such a path is not opened either.
    const char* extension = std::strrchr(path, '.');
    if (!extension)
        return noProgram;
    ClassesRootRegistry registry;
    String type;
    if (!registry.getString(extension, "", type))
        return noProgram;
    std::string commandKey = std::string(type.getText()) + "\\shell\\open\\command";
    String command;
    if (!registry.getString(commandKey.c_str(), "", command))
        return noProgram;
    std::vector<std::string> arguments = OpenCommand(command.getText()).argumentsFor(path);
    if (arguments.empty() || arguments.front().empty())
        return noProgram;
    return platform::startDetached(arguments);
}
