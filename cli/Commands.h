#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

// Every verb of pressling-cli, in the order --help lists them.
std::vector<std::unique_ptr<Command>> makeCommands();
