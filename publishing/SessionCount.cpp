#include "publishing/SessionCount.h"

#include "foundation/Log.h"
#include "foundation/VaultrixRegistry.h"
#include "platform/MachineResources.h"

#include <algorithm>

SessionCount::Choice SessionCount::choose(uint32_t setting, size_t documents, const Machine& machine)
{
    size_t wanted
        = setting > 0 ? std::min<size_t>(setting, most) : std::min(machine.processors, mostByDefault);
    wanted = std::max<size_t>(1, std::min(wanted, documents));
    Choice choice { wanted, wanted };
    if (machine.availableBytes)
        choice.sessions = std::clamp<size_t>(*machine.availableBytes / bytesPerSession, 1, wanted);
    return choice;
}

SessionCount::Machine SessionCount::thisMachine()
{
    return Machine { platform::MachineResources::usableProcessors(),
        platform::MachineResources::availableMemory() };
}

size_t SessionCount::forJob(size_t documents, std::optional<Machine> given)
{
    const Machine machine = given ? *given : thisMachine();
    const Choice choice = choose(VaultrixRegistry().getSessions(), documents, machine);
    if (choice.sessions < choice.wanted)
        logDebug("SessionCount#forJob,1,%zu office sessions instead of %zu: MemAvailable=%llu MB, about %llu "
                 "MB each",
            choice.sessions, choice.wanted,
            static_cast<unsigned long long>(machine.availableBytes.value_or(0) / (1024 * 1024)),
            static_cast<unsigned long long>(bytesPerSession / (1024 * 1024)));
    return choice.sessions;
}
