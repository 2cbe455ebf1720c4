#include "platform/MachineResources.h"

#include "platform/FileOperations.h"

#include <algorithm>
#include <charconv>
#include <sched.h>
#include <thread>

namespace platform {

size_t MachineResources::usableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<size_t>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

std::optional<uint64_t> MachineResources::availableMemory(const std::string& meminfo)
{
    // meminfo is a few dozen short lines.
    std::string text;
    if (!fileOperations::readAll(meminfo, text, 64 * 1024))
        return std::nullopt;
    return availableMemoryIn(text);
}

// "MemAvailable:    8123456 kB": the kernel writes the number in decimal digits whatever the
// locale, so it is read as such.
std::optional<uint64_t> MachineResources::availableMemoryIn(std::string_view meminfo)
{
    constexpr std::string_view label = "MemAvailable:";
    size_t start = meminfo.rfind(label, 0) == 0 ? 0 : meminfo.find("\n" + std::string(label));
    if (start == std::string_view::npos)
        return std::nullopt;
    std::string_view line = meminfo.substr(meminfo.find(label, start) + label.size());
    line = line.substr(0, line.find('\n'));
    line.remove_prefix(std::min(line.size(), line.find_first_not_of(' ')));
    uint64_t kilobytes = 0;
    auto [end, failure] = std::from_chars(line.data(), line.data() + line.size(), kilobytes);
    if (failure != std::errc() || std::string_view(end, line.data() + line.size()) != " kB")
        return std::nullopt;
    return kilobytes * 1024;
}

}
