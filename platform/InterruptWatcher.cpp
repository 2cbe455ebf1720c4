#include "platform/InterruptWatcher.h"

#include "platform/AbortCleanup.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<int> interruptPipe { -1 };

void onSignal(int signal)
{
    int saved = errno;
    int descriptor = interruptPipe.load();
    if (descriptor >= 0) {
        char byte = static_cast<char>(signal);
        // Async-signal-safe; a full pipe already holds a pending interrupt.
        [[maybe_unused]] ssize_t ignored = ::write(descriptor, &byte, 1);
    }
    errno = saved;
}

// The second signal: what the work in progress registered is put back, and the program ends
// without running the destructors and exit handlers of threads that are still busy.
[[noreturn]] void endAtOnce(char signal)
{
    AbortCleanup::runAll();
    ::_exit(128 + static_cast<unsigned char>(signal));
}

}

struct InterruptWatcher::State {
    int signalPipe[2] = { -1, -1 };
    int stopPipe[2] = { -1, -1 };
    struct sigaction previousInterrupt { };
    struct sigaction previousTerminate { };
    std::thread thread;
};

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt)
    : m_state(std::make_unique<State>())
{
    State& state = *m_state;
    if (::pipe2(state.signalPipe, O_CLOEXEC | O_NONBLOCK) != 0 || ::pipe2(state.stopPipe, O_CLOEXEC) != 0)
        return;
    interruptPipe.store(state.signalPipe[1]);
    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &state.previousInterrupt);
    ::sigaction(SIGTERM, &action, &state.previousTerminate);
    int signalRead = state.signalPipe[0];
    int stopRead = state.stopPipe[0];
    state.thread = std::thread([signalRead, stopRead, onInterrupt = std::move(onInterrupt)] {
        int signalsSeen = 0;
        for (;;) {
            pollfd descriptors[2] = { { signalRead, POLLIN, 0 }, { stopRead, POLLIN, 0 } };
            if (::poll(descriptors, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (descriptors[1].revents)
                return;
            char bytes[16];
            for (ssize_t count; (count = ::read(signalRead, bytes, sizeof bytes)) > 0;) {
                for (ssize_t i = 0; i < count; ++i) {
                    if (++signalsSeen == 1)
                        onInterrupt();
                    else
                        endAtOnce(bytes[i]);
                }
            }
        }
    });
}

InterruptWatcher::~InterruptWatcher()
{
    State& state = *m_state;
    if (state.thread.joinable()) {
        ::sigaction(SIGINT, &state.previousInterrupt, nullptr);
        ::sigaction(SIGTERM, &state.previousTerminate, nullptr);
        interruptPipe.store(-1);
        char byte = 1;
        [[maybe_unused]] ssize_t ignored = ::write(state.stopPipe[1], &byte, 1);
        state.thread.join();
    }
    for (int descriptor :
        { state.signalPipe[0], state.signalPipe[1], state.stopPipe[0], state.stopPipe[1] }) {
        if (descriptor >= 0)
            ::close(descriptor);
    }
}

}
