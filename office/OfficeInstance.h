#pragma once

#include <string>
#include <sys/types.h>

namespace office {

// One running office application that the user has open: what the start-up check shows of it.
struct OfficeInstance {
    // The window's title, or for a process without a window that can be seen, a title made
    // from its command line; UTF-8.
    std::string title;
    // The document extension (".doc") whose registered program gives the application its
    // icon; empty when the application is not one of the word processor, spreadsheet and
    // presentation program.
    std::string documentExtension;
    pid_t pid = 0;
    // The account that runs the process, and as its domain the name of this host.
    std::string account;
    std::string domain;
};

}
