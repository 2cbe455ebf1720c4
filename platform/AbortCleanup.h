#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Work to be put back if the program is made to end at once (a second Ctrl-C), while it is in
// the middle of something that an orderly end would undo: a backup beside a document, an office
// of our own, a scratch folder. The action is registered for the lifetime of the object, and
// runAll, called just before the program ends, runs every registered action once, newest first.
// Actions run on whichever thread calls runAll while the owners' threads go on, so an action
// must only do what is safe beside them (file system calls, signals), and must not create or
// destroy an AbortCleanup itself.
class AbortCleanup {
public:
    explicit AbortCleanup(std::function<void()> action);
    AbortCleanup(const AbortCleanup&) = delete;
    AbortCleanup& operator=(const AbortCleanup&) = delete;
    // Unregisters the action; while runAll is busy, waits for it to finish.
    ~AbortCleanup();

    // Runs the actions of all live objects, newest first, and keeps each from running again.
    // An exception from one action is swallowed so that the others still run.
    static void runAll();

private:
    uint64_t m_token;
};

}
