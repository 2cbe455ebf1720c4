#pragma once

#include <cstdint>
#include <functional>

class LinkedList;

// Starts the publishing jobs of a file list. The list hands over the paths (copied at once) and
// the publish command; ended runs on the GUI thread once the job is over (its notifier closed),
// so that the list can show what was published. Throws Exception when no job could be started.
class PublishJobStarter {
public:
    virtual ~PublishJobStarter() = default;
    virtual void startJob(const LinkedList& paths, int32_t command, std::function<void()> ended) = 0;
};
