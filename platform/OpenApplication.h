#pragma once

#include <string>
#include <sys/types.h>

namespace platform {

// One running application that the user has open: one of its main windows, or where the
// desktop lets nobody see windows, its process.
struct OpenApplication {
    // The window's title, or for a process, the title its caller made from its command line;
    // UTF-8.
    std::string title;
    // The window class asked for that the application answered to, or the program's name.
    std::string className;
    pid_t pid = 0;
    // The account that runs the process, and as its domain the name of this host.
    std::string account;
    std::string domain;
};

}
