#pragma once

#include "cli/Command.h"

// pressling-cli inspect: the protection kind of each path, as the file list shows it, and with
// --owner the owner of a rights-protected document's licence and whether the user holds a
// client licensor certificate for that owner.
class InspectCommand : public Command {
public:
    const char* name() const override { return "inspect"; }
    const char* summary() const override;
    const char* usage() const override;
    int run(const std::vector<std::string>& arguments) override;
};
