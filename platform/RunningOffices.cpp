#include "platform/RunningOffices.h"

#include "platform/OfficeProcesses.h"
#include "platform/OfficeWindows.h"

#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

}

std::optional<std::vector<OfficeInstance>> RunningOffices::list(const std::vector<std::string>& windowClasses)
{
    // A Wayland session may offer an X display to older programs, but an office that talks to
    // Wayland itself shows no window there; and asking for that display may start its server.
    const char* sessionType = std::getenv("XDG_SESSION_TYPE");
    if (sessionType && std::string_view(sessionType) == "wayland")
        return OfficeProcesses().list();
    if (auto windows = OfficeWindows(windowClasses).list())
        return windows;
    if (isSet("WAYLAND_DISPLAY"))
        return OfficeProcesses().list();
    return std::nullopt;
}

}
