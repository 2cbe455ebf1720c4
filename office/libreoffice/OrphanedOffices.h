#pragma once

#include <string>

namespace office {

// Ends what a crashed Pressling process left behind. An office session normally kills its
// office, but a process that dies abruptly (a crash, SIGKILL) runs no destructor: its office
// keeps running with its profile in the temporary folder. Every office we start carries its
// owner's process id in its pipe name, so a later session can tell such leftovers from the
// offices of live sessions and of the user.
class OrphanedOffices {
public:
    // The pipe name prefix that marks an office started by the process with this id.
    static std::string pipePrefix(long ownerPid);
    // Kills the process group of every office whose owner is gone and removes its profile
    // folder, and any other profile folder whose maker is gone. Returns how many offices it
    // ended.
    static int endAll();
};

}
