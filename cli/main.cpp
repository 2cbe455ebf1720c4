#include "cli/Command.h"
#include "cli/Commands.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "publishing/OfficeVersion.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void printHelp(const std::vector<std::unique_ptr<Command>>& commands)
{
    std::printf("Usage: pressling-cli COMMAND [ARGUMENTS]\n\n"
                "Publishes Office documents and inspects them, the engine of Pressling for scripts\n"
                "and terminals.\n\nCommands:\n");
    for (const auto& command : commands)
        std::printf("  %-10s %s\n", command->name(), command->summary());
    std::printf("\n\"pressling-cli COMMAND --help\" shows the arguments of one command.\n");
}

}

int main(int argc, char** argv)
{
    // Where no Word is registered, the LibreOffice that publishes stands in for it.
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    std::vector<std::unique_ptr<Command>> commands = makeCommands();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printHelp(commands);
        return argc < 2 ? 2 : 0;
    }
    for (const auto& command : commands) {
        if (std::strcmp(argv[1], command->name()) != 0)
            continue;
        std::vector<std::string> arguments(argv + 2, argv + argc);
        if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
            std::fputs(command->usage(), stdout);
            return 0;
        }
        return command->run(arguments);
    }
    std::fprintf(stderr, "pressling-cli: unknown command '%s'\n", argv[1]);
    printHelp(commands);
    return 2;
}
