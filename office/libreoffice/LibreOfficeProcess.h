#pragma once

#include "platform/AbortCleanup.h"
#include "platform/ChildProcess.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace office {

class LibreOfficeProfile;

// One headless soffice started in a session of its own, so that killing it takes soffice.bin
// (which the launcher starts) along. Safe to kill from a watchdog thread while another thread
// waits on a call into the process. While it runs, a program made to end at once kills its
// process group on the way out.
class LibreOfficeProcess {
public:
    LibreOfficeProcess() = default;
    LibreOfficeProcess(const LibreOfficeProcess&) = delete;
    LibreOfficeProcess& operator=(const LibreOfficeProcess&) = delete;
    ~LibreOfficeProcess();

    // Starts soffice listening on the named pipe with the given profile, in a sandbox where it
    // can write only in its profile and the temporary folder its pipe lives in, and reach no
    // network; false with error().
    bool start(const LibreOfficeProfile& profile, const std::string& pipeName, bool sandboxed);
    const std::string& error() const { return m_error; }
    bool isRunning();
    // True when the process ended by itself within timeout (it is then reaped).
    bool waitForExit(std::chrono::milliseconds timeout);
    // Ends the whole process group at once and reaps the launcher.
    void kill();
    // The process group made for the office (its launcher leads it); -1 before the start.
    pid_t processGroup() const { return m_group; }

    // The soffice.bin processes that run with the given profile URL, whoever started them.
    static std::vector<pid_t> officeProcessesOf(const std::string& profileUrl);

private:
    std::mutex m_mutex;
    platform::ChildProcess m_child;
    bool m_started = false;
    pid_t m_group = -1;
    std::string m_error;
    std::optional<platform::AbortCleanup> m_abortCleanup;
};

}
