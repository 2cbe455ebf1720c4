#pragma once

#include "platform/ChildProcess.h"

#include <string>

// A real process whose command line reads as an office's, "soffice.bin" followed by the
// arguments given: bash renames itself with exec -a and then waits on a sleep. It ends with
// the object.
class PretendOffice {
public:
    // What the renamed bash runs; an office's title counts it as the document.
    static constexpr const char* sleepCommand = "sleep 600; true";

    explicit PretendOffice(const std::string& arguments);

    pid_t pid() const { return m_process.pid(); }
    // True once the process shows its new name, which takes bash a moment; false when it
    // never started or ended first.
    bool renamed();

private:
    platform::ChildProcess m_process;
    bool m_started = false;
};
