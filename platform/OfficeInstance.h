#pragma once

#include <string>
#include <sys/types.h>

namespace platform {

// One running office application that the user has open: what the start-up check shows of it.
struct OfficeInstance {
    // The window's title, or for a process without a window that can be seen, a title made
    // from its command line; UTF-8.
    std::string title;
    // The window class asked for that the application answered to, or the program's name.
    std::string className;
    pid_t pid = 0;
    // The account that runs the process, and as its domain the name of this host.
    std::string account;
    std::string domain;
};

}
