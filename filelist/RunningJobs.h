#pragma once

#include <cstdint>

// The publishing jobs that the file lists of this program have started and that have not ended.
// A job lives on after the window that started it (it waits for its notifier to be closed and
// ends its office first), so the program must not end under it: it would leave the job's
// backups and its private office behind. Used on the GUI thread only.
class RunningJobs {
public:
    // The job whose thread has that identifier has been started.
    static void add(uint32_t jobThread);
    // The jobs whose threads are still there.
    static int count();
    // Lets the GUI thread go on with its events (the notifiers' windows, the jobs' queued calls)
    // until every job has ended and its thread is gone.
    static void waitUntilAllEnded();
};
