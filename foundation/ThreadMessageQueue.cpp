#include "foundation/ThreadMessageQueue.h"

#include <chrono>
#include <new>
#include <unordered_map>

namespace {

// The queues reachable by thread identifier. Posting holds the registry's lock while it stores
// the message, so a queue cannot be destroyed halfway through a post from another thread.
struct QueueRegistry {
    std::mutex lock;
    std::unordered_map<uint32_t, ThreadMessageQueue*> queues;
};

QueueRegistry& queueRegistry()
{
    // Never destroyed: a detached thread may still post while the process exits.
    static QueueRegistry* registry = new QueueRegistry();
    return *registry;
}

}

ThreadMessageQueue::~ThreadMessageQueue()
{
    if (!m_threadId)
        return;
    QueueRegistry& registry = queueRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    // The kernel may have given the identifier to a newer thread whose queue took the entry.
    auto entry = registry.queues.find(m_threadId);
    if (entry != registry.queues.end() && entry->second == this)
        registry.queues.erase(entry);
}

bool ThreadMessageQueue::post(const ThreadMessage& message)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        try {
            m_messages.push_back(message);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    m_arrived.notify_all();
    return true;
}

bool ThreadMessageQueue::peek(ThreadMessage& out, bool remove)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_messages.empty())
        return false;
    out = m_messages.front();
    if (remove)
        m_messages.pop_front();
    return true;
}

bool ThreadMessageQueue::wait(int timeoutMilliseconds)
{
    std::unique_lock<std::mutex> guard(m_lock);
    auto waiting = [this] { return !m_messages.empty(); };
    if (timeoutMilliseconds < 0) {
        m_arrived.wait(guard, waiting);
        return true;
    }
    return m_arrived.wait_for(guard, std::chrono::milliseconds(timeoutMilliseconds), waiting);
}

void ThreadMessageQueue::registerThread(uint32_t threadId)
{
    QueueRegistry& registry = queueRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    try {
        registry.queues[threadId] = this;
        m_threadId = threadId;
    } catch (const std::bad_alloc&) {
        // Unreachable by identifier; posts to the object itself still work.
    }
}

bool ThreadMessageQueue::postToThread(uint32_t threadId, const ThreadMessage& message)
{
    QueueRegistry& registry = queueRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    auto entry = registry.queues.find(threadId);
    return entry != registry.queues.end() && entry->second->post(message);
}
