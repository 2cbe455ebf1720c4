#pragma once

#include "platform/OfficeInstance.h"

#include <string>
#include <vector>

namespace platform {

// The LibreOffice processes that run with a display, found in the process table. This is what
// stands in for the office windows where the desktop lets no program see another's windows
// (Wayland). Offices started headless or invisible, Pressling's own among them, show the user
// nothing and are never listed. The table's root is a parameter so that tests can craft one.
class OfficeProcesses {
public:
    explicit OfficeProcesses(std::string processRoot = "/proc");

    // One entry for each such process of any user whose account can be named.
    std::vector<OfficeInstance> list() const;

    // True when a command line is that of a LibreOffice the user can see.
    static bool isShownOffice(const std::vector<std::string>& arguments);
    // "report.odt - LibreOffice Writer" from the document and the module that the command line
    // asks for, or "LibreOffice" when it names neither.
    static std::string titleFor(const std::vector<std::string>& arguments);

private:
    std::vector<std::string> argumentsOf(const std::string& pid) const;

    std::string m_processRoot;
};

}
