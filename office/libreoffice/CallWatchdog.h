#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace office {

// Runs an action on its own thread when a call has not finished by its deadline. The action
// (killing the office process) is what makes the blocked call return, so the caller's thread
// never needs to be interrupted.
class CallWatchdog {
public:
    CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;
    ~CallWatchdog();

    void arm(std::chrono::milliseconds timeout, std::function<void()> onExpiry);
    // Returns true when the deadline passed and the action ran (or is running, in which case
    // this waits for it to finish).
    bool disarm();

private:
    void watch();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::chrono::steady_clock::time_point m_deadline;
    std::function<void()> m_onExpiry;
    bool m_armed = false;
    bool m_firing = false;
    bool m_fired = false;
    bool m_stopping = false;
    std::thread m_thread;
};

// Arms a watchdog for the life of a scope.
class WatchdogScope {
public:
    WatchdogScope(CallWatchdog& watchdog, std::chrono::milliseconds timeout, std::function<void()> onExpiry)
        : m_watchdog(watchdog)
    {
        m_watchdog.arm(timeout, std::move(onExpiry));
    }
    ~WatchdogScope() { finish(); }
    // Disarms now; true when the deadline had passed.
    bool finish()
    {
        if (!m_finished) {
            m_expired = m_watchdog.disarm();
            m_finished = true;
        }
        return m_expired;
    }

private:
    CallWatchdog& m_watchdog;
    bool m_finished = false;
    bool m_expired = false;
};

}
