#include "tests/support/ScratchMount.h"

#include "platform/ChildProcess.h"

#include <chrono>
#include <filesystem>

using namespace std::chrono_literals;

ScratchMount::ScratchMount(const std::string& folder, std::vector<std::string> command)
    : m_folder(folder)
{
    std::filesystem::create_directory(folder);
    command.push_back(folder);
    auto result = platform::ChildProcess::run(command, 60s);
    m_mounted = result.succeeded();
    m_reason = result.error + result.standardError;
}

ScratchMount::~ScratchMount()
{
    if (m_mounted)
        platform::ChildProcess::run({ "umount", m_folder }, 60s);
}
