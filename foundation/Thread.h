#pragma once

#include "foundation/Object.h"
#include "foundation/ThreadMessage.h"
#include "foundation/ThreadMessageQueue.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {
class NativeThread;
}

// The base of the program's worker threads. The operating-system thread is created at
// construction but held back until the owner calls start; it then runs the subclass's run. Each
// thread object carries a message queue of its own through which other threads reach it.
class Thread : public Object {
public:
    // window is whatever the subclass's work reports to (a window of the user interface); the
    // thread itself never looks at it. A stack size of 0 asks for the system's default. Throws
    // Exception with the system's error number when the thread cannot be created.
    Thread(void* window, size_t stackSize, int32_t parameter);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Never waits for the thread and never stops it. A thread that was never started ends
    // without running run.
    ~Thread() override;

    // The thread's work; run may destroy its own object as its last act.
    virtual void run() { }
    // Lets the thread begin. Returns the previous suspend count: 1 the first time, 0 after
    // that, -1 when there is no thread.
    virtual int32_t start();

    void* getWindow() const { return m_window; }
    void setWindow(void* window) { m_window = window; }
    int32_t getParameter() const { return m_parameter; }
    uint32_t getThreadId() const { return m_threadId; }
    bool hasHandle() const { return m_handle != nullptr; }

    // From any thread. False when the message could not be stored.
    bool postMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // From any thread, to the live thread object whose thread has the identifier threadId; false
    // when there is none.
    static bool postThreadMessage(uint32_t threadId, uint32_t message, uintptr_t wParam, intptr_t lParam);
    // On the thread itself: the oldest message, taken off the queue when remove is set.
    bool peekMessage(ThreadMessage& out, bool remove);
    // On the thread itself: waits until a message is there or the time is up (negative: no
    // limit); true when a message is there.
    bool waitMessage(int timeoutMilliseconds);

private:
    static void entry(void* object);

    void* m_window;
    int32_t m_parameter;
    uint32_t m_threadId = 0;
    std::unique_ptr<platform::NativeThread> m_handle;
    ThreadMessageQueue m_queue;
};
