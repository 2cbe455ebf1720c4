#pragma once

#include <string>
#include <vector>

// One verb of pressling-cli. Each command reads its own arguments and returns the exit code.
class Command {
public:
    virtual ~Command() = default;
    virtual const char* name() const = 0;
    // One line for the overview of --help.
    virtual const char* summary() const = 0;
    // The full usage text of the verb, printed by "pressling-cli VERB --help" and on usage errors.
    virtual const char* usage() const = 0;
    virtual int run(const std::vector<std::string>& arguments) = 0;
};
