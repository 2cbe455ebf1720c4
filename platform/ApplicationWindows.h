#pragma once

#include "platform/OpenApplication.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

class X11Display;

// The main windows of the applications looked for that are open on an X display: top-level windows
// that are shown (minimized ones too), belong to no other window, and whose window class is
// one asked for. A window whose process, or the account running it, cannot be told is left
// out. Works with a window manager that puts each window into a frame of its own, and with
// none.
class ApplicationWindows {
public:
    // classNames are compared with both parts of a window's class without regard to case.
    explicit ApplicationWindows(std::vector<std::string> classNames);

    // The windows on the display that DISPLAY names (or on displayName); nothing when there is
    // no display to look at, as opposed to an empty list when none is open.
    std::optional<std::vector<OpenApplication>> list(const char* displayName = nullptr) const;

private:
    std::optional<std::string> matchedClass(const std::string& windowClass) const;

    std::vector<std::string> m_classNames;
};

}
