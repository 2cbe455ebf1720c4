#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// How many office sessions one job of the desktop program runs side by side. The Sessions
// setting names the number; without it (or at 0) a job takes one session per processor the
// program may use, at most mostByDefault. Never more sessions than documents, and never more
// than the available memory holds: each session's office costs about 100 to 175 MB, and a
// machine that starts swapping publishes slower with more sessions, not faster.
class SessionCount {
public:
    struct Machine {
        size_t processors = 1;
        // Nothing: unknown, and no limit is taken from it.
        std::optional<uint64_t> availableBytes;
    };
    struct Choice {
        size_t sessions = 1;
        // What the setting and the processors asked for, before memory had its say.
        size_t wanted = 1;
    };

    static constexpr size_t mostByDefault = 4;
    static constexpr size_t most = 32;
    static constexpr uint64_t bytesPerSession = 175ULL * 1024 * 1024;

    static Choice choose(uint32_t setting, size_t documents, const Machine& machine);
    // The choice for a job of documents documents on machine (this one when not given) with the
    // stored setting; a choice that memory cut short is logged with the reason.
    static size_t forJob(size_t documents, std::optional<Machine> machine = std::nullopt);
    static Machine thisMachine();
};
