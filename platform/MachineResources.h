#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What this machine lends the program: its processors and its free memory.
class MachineResources {
public:
    // The processors this process may run on (its affinity, which a container or taskset may
    // narrow), at least 1.
    static size_t usableProcessors();
    // The memory that can be given to new programs without swapping (the kernel's MemAvailable),
    // in bytes; nothing where the kernel does not say. meminfo: the file to read.
    static std::optional<uint64_t> availableMemory(const std::string& meminfo = "/proc/meminfo");
    // The MemAvailable line of a meminfo text, in bytes.
    static std::optional<uint64_t> availableMemoryIn(std::string_view meminfo);
    // The figure of the line that starts with label ("Pss:", "MemAvailable:") in one of the
    // kernel's "label   N kB" tables (meminfo, smaps_rollup, status), in kB.
    static std::optional<uint64_t> kilobytesIn(std::string_view table, std::string_view label);
    // Makes the calling thread give way to the others of the program whenever they want the
    // processor, for work in the background that must never slow the window down.
    static void yieldToForeground();
};

}
