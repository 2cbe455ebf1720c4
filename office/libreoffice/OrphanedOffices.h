#pragma once

#include <string>

namespace office {

// Ends what a crashed Pressling process left behind. An office session normally kills its
// office, but a process that dies abruptly (a crash, SIGKILL) runs no destructor: its office
// keeps running with its profile in our private profile folder. Only what is provably ours is
// touched: an office process that runs as our user, names a profile directly in that folder
// (which nobody else can enter), and whose profile's maker is gone (its lock is free). Then the
// process group recorded in the profile is ended when the office is really in it (a group we
// made for it), else the office alone; and the profile goes only once the office is gone.
class OrphanedOffices {
public:
    // The pipe name prefix that marks an office started by the process with this id.
    static std::string pipePrefix(long ownerPid);
    // Ends every office whose owner is gone and removes its profile folder, and every other
    // profile folder whose maker is gone and that no office uses. Returns how many offices it
    // ended.
    static int endAll();
};

}
