#include "platform/RunningApplications.h"

#include "platform/ApplicationWindows.h"

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

std::optional<std::vector<OpenApplication>> RunningApplications::list(
    const std::vector<std::string>& windowClasses, const ApplicationProcesses::Recogniser& recognise)
{
    // A Wayland session may offer an X display to older programs, but an application that
    // talks to Wayland itself shows no window there; and asking for that display may start its
    // server.
    const char* sessionType = std::getenv("XDG_SESSION_TYPE");
    if (sessionType && std::string_view(sessionType) == "wayland")
        return ApplicationProcesses(recognise).list();
    if (auto windows = ApplicationWindows(windowClasses).list())
        return windows;
    if (isSet("WAYLAND_DISPLAY"))
        return ApplicationProcesses(recognise).list();
    return std::nullopt;
}

}
