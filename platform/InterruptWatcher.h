#pragma once

#include <functional>
#include <memory>

namespace platform {

// Turns Ctrl-C (SIGINT) and a termination request (SIGTERM) into a call on a thread of its own,
// where ordinary code may run: a signal handler itself may do next to nothing. While the watcher
// lives, neither signal ends the program at once, so that work in progress can finish cleanly;
// afterwards the previous handling is back. One watcher at a time.
class InterruptWatcher {
public:
    explicit InterruptWatcher(std::function<void()> onInterrupt);
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;
    ~InterruptWatcher();

    struct State;

private:
    std::unique_ptr<State> m_state;
};

// True when the descriptor (1 standard output, 2 standard error) is a terminal.
bool isTerminal(int descriptor);

}
