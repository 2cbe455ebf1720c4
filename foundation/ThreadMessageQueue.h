#pragma once

#include "foundation/Object.h"
#include "foundation/ThreadMessage.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

// The message queue of one thread: any thread may post to it, the owning thread takes the
// messages out in the order they were posted. A queue that has been given its thread's
// identifier can also be reached by that identifier alone, which is all a window on another
// thread knows of the thread it talks to.
class ThreadMessageQueue : public Object {
public:
    ThreadMessageQueue() = default;
    ThreadMessageQueue(const ThreadMessageQueue&) = delete;
    ThreadMessageQueue& operator=(const ThreadMessageQueue&) = delete;
    ~ThreadMessageQueue() override;

    // False when the message could not be stored.
    bool post(const ThreadMessage& message);
    // True and the oldest message in out when there is one; remove takes it off the queue.
    bool peek(ThreadMessage& out, bool remove);
    // Waits until a message is there or the time is up; a negative time waits without limit.
    // True when a message is there.
    bool wait(int timeoutMilliseconds);

    // Makes the queue reachable by threadId until it is destroyed.
    void registerThread(uint32_t threadId);
    // Posts to the queue registered for threadId; false when there is none.
    static bool postToThread(uint32_t threadId, const ThreadMessage& message);

private:
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<ThreadMessage> m_messages;
    uint32_t m_threadId = 0;
};
