#pragma once

#include "platform/ApplicationProcesses.h"
#include "platform/OpenApplication.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The applications that the user has open, found the way the desktop session allows: their
// main windows on an X display, or, in a Wayland session, where no program may see another's
// windows, their processes that the caller recognises.
class RunningApplications {
public:
    // windowClasses are the X window classes of the applications looked for, and recognise
    // tells their processes. The session is told by XDG_SESSION_TYPE, or, where the X display
    // cannot be reached, by WAYLAND_DISPLAY. Nothing when the session offers no way to look, as
    // opposed to an empty list when none is open.
    static std::optional<std::vector<OpenApplication>> list(
        const std::vector<std::string>& windowClasses, const ApplicationProcesses::Recogniser& recognise);
};

}
