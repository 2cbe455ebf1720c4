#include "platform/MachineResources.h"

#include "platform/FileOperations.h"

#include <algorithm>
#include <charconv>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

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

std::optional<uint64_t> MachineResources::availableMemoryIn(std::string_view meminfo)
{
    std::optional<uint64_t> kilobytes = kilobytesIn(meminfo, "MemAvailable:");
    return kilobytes ? std::optional<uint64_t>(*kilobytes * 1024) : std::nullopt;
}

// "MemAvailable:    8123456 kB": the kernel writes the number in decimal digits whatever the
// locale, so it is read as such.
std::optional<uint64_t> MachineResources::kilobytesIn(std::string_view table, std::string_view label)
{
    for (size_t start = 0; start < table.size();) {
        const size_t end = std::min(table.find('\n', start), table.size());
        std::string_view line = table.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, label.size()) != label)
            continue;
        line.remove_prefix(std::min(line.size(), line.find_first_not_of(' ', label.size())));
        uint64_t kilobytes = 0;
        auto [rest, failure] = std::from_chars(line.data(), line.data() + line.size(), kilobytes);
        if (failure != std::errc() || std::string_view(rest, line.data() + line.size()) != " kB")
            return std::nullopt;
        return kilobytes;
    }
    return std::nullopt;
}

void MachineResources::yieldToForeground()
{
    // Niceness is the thread's own on Linux; raising it needs no privilege. A thread that cannot
    // be lowered simply keeps its place.
    constexpr int backgroundNiceness = 10;
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), backgroundNiceness);
}

}
