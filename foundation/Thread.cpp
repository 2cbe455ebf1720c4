#include "foundation/Thread.h"

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "platform/NativeThread.h"

#include <cxxabi.h>
#include <exception>

Thread::Thread(void* window, size_t stackSize, int32_t parameter)
    : m_window(window)
    , m_parameter(parameter)
{
    int error = 0;
    m_handle = platform::NativeThread::create(entry, this, stackSize, error);
    if (!m_handle)
        throw Exception("Thread#Thread,1,Failed to create a thread", error);
    m_threadId = m_handle->id();
    m_queue.registerThread(m_threadId);
}

Thread::~Thread()
{
    // Taken out first: when run destroys its own object, the thread is still active and simply
    // lets go of its handle.
    std::unique_ptr<platform::NativeThread> handle = std::move(m_handle);
}

int32_t Thread::start()
{
    return m_handle ? m_handle->resume() : -1;
}

void Thread::entry(void* object)
{
    // Nothing may touch the object after run, which may have destroyed it. An exception that
    // left the thread would end the whole program, so it ends here with a line in the log.
    try {
        static_cast<Thread*>(object)->run();
    } catch (const Exception& failure) {
        logError("Thread#entry,1,Uncaught Exception %d %s", failure.getErrorCode(), failure.getMessage());
    } catch (const std::exception& failure) {
        logError("Thread#entry,2,Uncaught exception %s", failure.what());
    } catch (abi::__forced_unwind&) {
        // The unwinding of a thread that is being cancelled must go on to its end.
        throw;
    } catch (...) {
        logError("Thread#entry,3,Uncaught exception of an unknown type");
    }
}

bool Thread::postMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return m_queue.post(ThreadMessage { message, wParam, lParam });
}

bool Thread::postThreadMessage(uint32_t threadId, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return ThreadMessageQueue::postToThread(threadId, ThreadMessage { message, wParam, lParam });
}

bool Thread::peekMessage(ThreadMessage& out, bool remove)
{
    return m_queue.peek(out, remove);
}

bool Thread::waitMessage(int timeoutMilliseconds)
{
    return m_queue.wait(timeoutMilliseconds);
}
