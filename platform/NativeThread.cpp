#include "platform/NativeThread.h"

#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cxxabi.h>
#include <exception>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace platform {

struct NativeThread::Gate {
    enum class State { Closed, Open, Cancelled };

    std::mutex lock;
    std::condition_variable changed;
    State state = State::Closed;
    bool idKnown = false;
    uint32_t id = 0;
    Entry entry = nullptr;
    void* argument = nullptr;
};

namespace {

// An exception that left the thread would end the whole program. The layers above turn their
// failures into results or log lines; what still gets here goes to standard error, the one
// report that needs nothing of them.
void runGuarded(NativeThread::Entry entry, void* argument)
{
    try {
        entry(argument);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "NativeThread: the work of thread %d ended with an exception: %s\n",
            static_cast<int>(gettid()), failure.what());
    } catch (abi::__forced_unwind&) {
        // The unwinding of a thread that is being cancelled must go on to its end.
        throw;
    } catch (...) {
        std::fprintf(stderr,
            "NativeThread: the work of thread %d ended with an exception of an unknown type\n",
            static_cast<int>(gettid()));
    }
}

void* threadMain(void* raw)
{
    // The thread holds its own reference to the gate, so the gate outlives an owner that is
    // destroyed before the thread wakes up, or from inside the entry itself.
    std::unique_ptr<std::shared_ptr<NativeThread::Gate>> holder(
        static_cast<std::shared_ptr<NativeThread::Gate>*>(raw));
    std::shared_ptr<NativeThread::Gate> gate = std::move(*holder);
    holder.reset();

    NativeThread::Entry entry;
    void* argument;
    {
        std::unique_lock<std::mutex> guard(gate->lock);
        gate->id = static_cast<uint32_t>(gettid());
        gate->idKnown = true;
        gate->changed.notify_all();
        gate->changed.wait(guard, [&] { return gate->state != NativeThread::Gate::State::Closed; });
        if (gate->state == NativeThread::Gate::State::Cancelled)
            return nullptr;
        entry = gate->entry;
        argument = gate->argument;
    }
    gate.reset();
    runGuarded(entry, argument);
    // The exit code of a thread whose work ran to its end.
    return reinterpret_cast<void*>(1);
}

int prepareAttributes(pthread_attr_t& attributes, size_t stackSize)
{
    int error = pthread_attr_init(&attributes);
    if (error)
        return error;
    error = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_JOINABLE);
    // A small request is rounded up to the least stack the system allows, as a request for a few
    // pages still gets a working thread; an impossible one fails in the creation itself.
    const size_t leastStack = static_cast<size_t>(PTHREAD_STACK_MIN);
    if (!error && stackSize > 0)
        error = pthread_attr_setstacksize(&attributes, stackSize < leastStack ? leastStack : stackSize);
    if (error)
        pthread_attr_destroy(&attributes);
    return error;
}

}

std::unique_ptr<NativeThread> NativeThread::create(Entry entry, void* argument, size_t stackSize, int& error)
{
    auto gate = std::make_shared<Gate>();
    gate->entry = entry;
    gate->argument = argument;

    pthread_attr_t attributes;
    error = prepareAttributes(attributes, stackSize);
    if (error)
        return nullptr;
    auto* holder = new std::shared_ptr<Gate>(gate);
    pthread_t thread;
    error = pthread_create(&thread, &attributes, threadMain, holder);
    pthread_attr_destroy(&attributes);
    if (error) {
        delete holder;
        return nullptr;
    }

    // The identifier is the kernel's, which only the new thread can read; it tells it at once,
    // before it stops at the gate.
    std::unique_lock<std::mutex> guard(gate->lock);
    gate->changed.wait(guard, [&] { return gate->idKnown; });
    uint32_t id = gate->id;
    guard.unlock();
    static_assert(sizeof(pthread_t) == sizeof(unsigned long));
    return std::unique_ptr<NativeThread>(new NativeThread(std::move(gate), thread, id));
}

NativeThread::NativeThread(std::shared_ptr<Gate> gate, unsigned long thread, uint32_t id)
    : m_gate(std::move(gate))
    , m_thread(thread)
    , m_id(id)
{
}

NativeThread::~NativeThread()
{
    cancelIfClosed();
    // A thread nobody waited for still gives its resources back when it ends; this may be the
    // thread itself, when its work destroys its own object.
    if (!m_joined)
        pthread_detach(static_cast<pthread_t>(m_thread));
}

void NativeThread::cancelIfClosed()
{
    std::lock_guard<std::mutex> guard(m_gate->lock);
    if (m_gate->state == Gate::State::Closed) {
        m_gate->state = Gate::State::Cancelled;
        m_gate->changed.notify_all();
    }
}

void NativeThread::join()
{
    if (m_joined)
        return;
    cancelIfClosed();
    pthread_join(static_cast<pthread_t>(m_thread), nullptr);
    m_joined = true;
}

int32_t NativeThread::resume()
{
    std::lock_guard<std::mutex> guard(m_gate->lock);
    if (m_gate->state != Gate::State::Closed)
        return 0;
    m_gate->state = Gate::State::Open;
    m_gate->changed.notify_all();
    return 1;
}

}
