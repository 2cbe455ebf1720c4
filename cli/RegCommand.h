#pragma once

#include "cli/Command.h"

#include <cstdio>
#include <istream>

struct RegCommandArguments;

// "pressling-cli reg": reads and changes the registry store as reg.exe does the registry, with
// its syntax, output and questions.
class RegCommand : public Command {
public:
    RegCommand();
    // Answers to the overwrite and delete questions come from input; tests give their own.
    RegCommand(std::istream& input, std::FILE* output, std::FILE* errors);

    const char* name() const override { return "reg"; }
    const char* summary() const override { return "query, add or delete registry keys and values"; }
    const char* usage() const override;
    int run(const std::vector<std::string>& arguments) override;

private:
    int query(const RegCommandArguments& arguments);
    int add(const RegCommandArguments& arguments);
    int remove(const RegCommandArguments& arguments);
    bool confirm(const std::string& question);
    int notFound();

    std::istream& m_input;
    std::FILE* m_output;
    std::FILE* m_errors;
};
