#include "tests/platform/CommandOutput.h"

#include "platform/ChildProcess.h"

#include <chrono>

using namespace std::chrono_literals;

std::string commandOutput(const std::vector<std::string>& command)
{
    std::string output = platform::ChildProcess::run(command, 30s).standardOutput;
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}
