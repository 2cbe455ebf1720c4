// A file server that answers only when the test lets it: loaded with LD_PRELOAD, this library
// holds every open of a file under PRESSLING_HELD_FOLDER for as long as the file named by
// PRESSLING_HELD_GATE exists, and lets it through once the gate file is removed. A test can so
// keep the list's protection tests in hand for exactly as long as it needs, without timing.
// Listing a folder opens nothing, so rows still come while their protection is held.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

const char* variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? strdup(value) : nullptr;
}

void holdIfHeld(const char* path)
{
    static const char* folder = variable("PRESSLING_HELD_FOLDER");
    static const char* gate = variable("PRESSLING_HELD_GATE");
    if (!folder || !gate || !path || std::strncmp(path, folder, std::strlen(folder)) != 0)
        return;
    while (::access(gate, F_OK) == 0) {
        timespec pause { 0, 1'000'000 };
        ::nanosleep(&pause, nullptr);
    }
}

}

void beforeOpen(int, const char* path)
{
    holdIfHeld(path);
}

#include "tests/support/OpenInterposer.h"
