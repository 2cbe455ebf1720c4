#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// An operating-system thread that is created held behind a start gate, so that its owner can
// finish setting up before the work begins. The thread is detached from the start: nobody ever
// waits for it, and it releases its own resources when it ends.
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
    // The kernel's identifier of the thread.
    uint32_t id() const { return m_id; }

    struct Gate;

private:
    NativeThread(std::shared_ptr<Gate> gate, uint32_t id);

    std::shared_ptr<Gate> m_gate;
    uint32_t m_id;
};

}
