#include "office/libreoffice/LibreOfficeProcess.h"

#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/LibreOfficeProfile.h"
#include "platform/ProcessHandle.h"

#include <algorithm>

namespace office {

LibreOfficeProcess::~LibreOfficeProcess()
{
    kill();
}

bool LibreOfficeProcess::start(const LibreOfficeProfile& profile, const std::string& pipeName, bool sandboxed)
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> argv { LibreOfficeInstallation::launcherPath(), "--headless", "--invisible",
        "--norestore", "--nologo", "--nodefault", "--nolockcheck", "--accept=pipe,name=" + pipeName + ";urp;",
        "-env:UserInstallation=" + profile.url() };
    platform::ChildProcess::Options options;
    options.newSession = true;
    // The office's own temporary files go inside the profile, so that an office that is killed
    // leaves nothing behind in the system's temporary folder.
    options.environment.emplace_back("TMPDIR", profile.folder() + "/tmp");
    // What LibreOffice prints is kept beside its profile for when a start fails.
    options.standardOutput = { platform::ChildProcess::Output::File, profile.folder() + "/soffice.log" };
    options.standardError = { platform::ChildProcess::Output::File, profile.folder() + "/soffice.err" };
    if (sandboxed) {
        // The office makes its pipe in /tmp, whatever its TMPDIR says, and we connect to it there.
        options.sandbox = platform::Sandbox { { profile.folder(), "/tmp" } };
    }
    if (!m_child.start(argv, options)) {
        m_error = m_child.errorMessage();
        return false;
    }
    m_started = true;
    m_group = m_child.pid();
    // Nothing here may wait for the lock: the cleanup runs on another thread while this one
    // may be inside a call.
    m_abortCleanup.emplace([group = m_group] { platform::ProcessHandle::killGroup(group); });
    return true;
}

bool LibreOfficeProcess::isRunning()
{
    std::lock_guard lock(m_mutex);
    return m_started && m_child.isRunning();
}

bool LibreOfficeProcess::waitForExit(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(m_mutex);
    if (!m_started)
        return true;
    return m_child.waitFor(timeout).outcome != platform::ChildProcess::Outcome::TimedOut;
}

void LibreOfficeProcess::kill()
{
    std::lock_guard lock(m_mutex);
    if (!m_started)
        return;
    m_abortCleanup.reset();
    // No grace: a hung office does not answer SIGTERM, and its documents are only ever read.
    m_child.kill(std::chrono::milliseconds(0));
    m_started = false;
}

std::vector<pid_t> LibreOfficeProcess::officeProcessesOf(const std::string& profileUrl)
{
    std::vector<pid_t> found;
    const std::string profileArgument = "-env:UserInstallation=" + profileUrl;
    for (pid_t pid : platform::ProcessHandle::all()) {
        platform::ProcessHandle process;
        if (!process.open(pid))
            continue;
        // A zombie has an empty command line.
        std::vector<std::string> arguments = process.arguments();
        if (arguments.empty() || arguments[0].find("soffice.bin") == std::string::npos)
            continue;
        if (std::find(arguments.begin(), arguments.end(), profileArgument) != arguments.end())
            found.push_back(pid);
    }
    return found;
}

}
