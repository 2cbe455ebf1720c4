#pragma once

#include "cli/Command.h"

// pressling-cli publish: one publishing job over the given documents, shown on the terminal.
class PublishCommand : public Command {
public:
    const char* name() const override { return "publish"; }
    const char* summary() const override;
    const char* usage() const override;
    int run(const std::vector<std::string>& arguments) override;
};
