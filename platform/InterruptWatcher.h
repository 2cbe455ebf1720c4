#pragma once

#include <functional>
#include <memory>

namespace platform {

// Turns Ctrl-C (SIGINT) and a termination request (SIGTERM) into a call on a thread of its own,
// where ordinary code may run: a signal handler itself may do next to nothing. While the watcher
// lives, the first of these signals does not end the program, so that work in progress can
// finish cleanly. A second one means the user will not wait (a document may keep the work busy
// for good): the watcher puts back what AbortCleanup holds and ends the program at once with the
// shell's status for that signal, 128 plus its number (130, 143). Afterwards the previous
// handling is back. One watcher at a time.
class InterruptWatcher {
public:
    // onInterrupt runs on the watcher's thread at the first signal.
    explicit InterruptWatcher(std::function<void()> onInterrupt);
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;
    ~InterruptWatcher();

    struct State;

private:
    std::unique_ptr<State> m_state;
};

}
