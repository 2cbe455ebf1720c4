#include "shell/StartupCancel.h"

#include <atomic>

namespace {

std::atomic<bool> cancelled { false };

}

void StartupCancel::set()
{
    cancelled = true;
}

void StartupCancel::clear()
{
    cancelled = false;
}

bool StartupCancel::isSet()
{
    return cancelled;
}
