#include "cli/Commands.h"

#include "cli/InspectCommand.h"
#include "cli/PublishCommand.h"
#include "cli/RegCommand.h"

std::vector<std::unique_ptr<Command>> makeCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<PublishCommand>());
    commands.push_back(std::make_unique<InspectCommand>());
    commands.push_back(std::make_unique<RegCommand>());
    return commands;
}
