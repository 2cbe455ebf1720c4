#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// An operating-system thread that is created held behind a start gate, so that its owner can
// finish setting up before the work begins. The owner may wait for its end with join; a thread
// that is let go without a join releases its own resources when it ends.
class NativeThread {
public:
    using Entry = void (*)(void* argument);

    // Creates the thread, held at its gate. On failure returns null and sets error to the
    // system's error number.
    static std::unique_ptr<NativeThread> create(Entry entry, void* argument, size_t stackSize, int& error);

    NativeThread(const NativeThread&) = delete;
    NativeThread& operator=(const NativeThread&) = delete;
    // Never waits. A thread whose gate was never opened is let go without calling its entry.
    ~NativeThread();

    // Opens the gate. Returns the previous suspend count: 1 the first time, 0 after that.
    int32_t resume();
    // Waits until the thread has ended, once; never from the thread itself. A thread whose gate
    // was never opened is let go and ends without calling its entry.
    void join();
    // The kernel's identifier of the thread.
    uint32_t id() const { return m_id; }

    struct Gate;

private:
    NativeThread(std::shared_ptr<Gate> gate, unsigned long thread, uint32_t id);
    void cancelIfClosed();

    std::shared_ptr<Gate> m_gate;
    // The pthread_t, kept as its integral type so that this header needs no system header.
    unsigned long m_thread;
    uint32_t m_id;
    bool m_joined = false;
};

}
