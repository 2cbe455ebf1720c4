#pragma once

#include "platform/OpenApplication.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The processes of the applications looked for, found in the process table. This is what
// stands in for their windows where the desktop lets no program see another's windows
// (Wayland). Which command lines belong to such an application, and what title each shows, is
// the caller's knowledge. The table's root is a parameter so that tests can craft one.
class ApplicationProcesses {
public:
    // The title for a process whose command line (arguments, the program first) is one looked
    // for; nothing for any other process.
    using Recogniser = std::function<std::optional<std::string>(const std::vector<std::string>& arguments)>;

    explicit ApplicationProcesses(Recogniser recognise, std::string processRoot = "/proc");

    // One entry for each recognised process of any user whose account can be named; its class
    // is the program's name.
    std::vector<OpenApplication> list() const;

private:
    std::vector<std::string> argumentsOf(const std::string& pid) const;

    Recogniser m_recognise;
    std::string m_processRoot;
};

}
