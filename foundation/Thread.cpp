#include "foundation/Thread.h"

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "platform/NativeThread.h"

#include <cxxabi.h>
#include <exception>

Thread::Thread(size_t stackSize)
{
    int error = 0;
    m_handle = platform::NativeThread::create(entry, this, stackSize, error);
    if (!m_handle)
        throw Exception("Thread#Thread,1,Failed to create a thread", error);
    m_threadId = m_handle->id();
}

Thread::~Thread()
{
}

int32_t Thread::start()
{
    if (!m_handle)
        return -1;
    int32_t previous = m_handle->resume();
    m_started = true;
    return previous;
}

void Thread::join()
{
    if (m_handle && m_started)
        m_handle->join();
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
