#pragma once

#include "platform/OfficeInstance.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The office applications that the user has open, found the way the desktop session allows:
// their main windows on an X display, or, in a Wayland session, where no program may see
// another's windows, the office processes that have a display.
class RunningOffices {
public:
    // windowClasses are the X window classes of the applications looked for. The session is
    // told by XDG_SESSION_TYPE, or, where the X display cannot be reached, by WAYLAND_DISPLAY.
    // Nothing when the session offers no way to look, as opposed to an empty list when none
    // is open.
    static std::optional<std::vector<OfficeInstance>> list(const std::vector<std::string>& windowClasses);
};

}
