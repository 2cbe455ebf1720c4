#pragma once

#include "foundation/Object.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {
class NativeThread;
}

// The base of the program's worker threads. The operating-system thread is created at
// construction but held back until the owner calls start; it then runs the subclass's run.
// Whoever starts a thread keeps its object and waits for it with join before destroying it; a
// thread that outlives its object may only be one that was never joined and touches nothing of it.
class Thread : public Object {
public:
    // A stack size of 0 asks for the system's default. Throws Exception with the system's error
    // number when the thread cannot be created.
    explicit Thread(size_t stackSize = 0);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Never waits for the thread and never stops it. A thread that was never started ends
    // without running run.
    ~Thread() override;

    // The thread's work.
    virtual void run() { }
    // Lets the thread begin. Returns the previous suspend count: 1 the first time, 0 after
    // that, -1 when there is no thread.
    virtual int32_t start();
    // From another thread: waits until run has returned and the thread is gone. Returns at once
    // for a thread that was never started or was joined already.
    void join();

    // The kernel's identifier of the thread, as the logs and /proc name it.
    uint32_t getThreadId() const { return m_threadId; }
    bool hasHandle() const { return m_handle != nullptr; }

private:
    static void entry(void* object);

    uint32_t m_threadId = 0;
    bool m_started = false;
    std::unique_ptr<platform::NativeThread> m_handle;
};
