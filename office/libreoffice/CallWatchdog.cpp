#include "office/libreoffice/CallWatchdog.h"

#include "foundation/Log.h"

#include <exception>

namespace office {

namespace {

// Nothing may leave the watchdog's thread: an exception there would end the program. An action
// that failed still counts as run, so that the call it guarded fails as timed out.
void runGuarded(const std::function<void()>& action)
{
    try {
        if (action)
            action();
    } catch (const std::exception& error) {
        logError("CallWatchdog#watch,1,Exception in the action after a missed deadline: %s", error.what());
    } catch (...) {
        logError("CallWatchdog#watch,2,Unknown exception in the action after a missed deadline");
    }
}

}

CallWatchdog::CallWatchdog()
    : m_thread([this] {
        try {
            watch();
        } catch (...) {
            logError("CallWatchdog#watch,3,The watchdog stopped on an unknown exception");
        }
    })
{
}

CallWatchdog::~CallWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CallWatchdog::arm(std::chrono::milliseconds timeout, std::function<void()> onExpiry)
{
    {
        std::lock_guard lock(m_mutex);
        m_deadline = std::chrono::steady_clock::now() + timeout;
        m_onExpiry = std::move(onExpiry);
        m_armed = true;
        m_fired = false;
    }
    m_changed.notify_all();
}

bool CallWatchdog::disarm()
{
    std::unique_lock lock(m_mutex);
    m_armed = false;
    m_changed.wait(lock, [this] { return !m_firing; });
    m_changed.notify_all();
    bool fired = m_fired;
    m_fired = false;
    m_onExpiry = nullptr;
    return fired;
}

void CallWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_changed.wait(lock);
            continue;
        }
        if (m_changed.wait_until(lock, m_deadline) != std::cv_status::timeout)
            continue;
        if (!m_armed || std::chrono::steady_clock::now() < m_deadline)
            continue;
        m_armed = false;
        m_firing = true;
        std::function<void()> action = m_onExpiry;
        lock.unlock();
        runGuarded(action);
        lock.lock();
        m_firing = false;
        m_fired = true;
        m_changed.notify_all();
    }
}

}
