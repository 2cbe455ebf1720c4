#include "office/libreoffice/LibreOfficeProcess.h"

#include "office/libreoffice/LibreOfficeProfile.h"
#include "platform/FileOperations.h"
#include "platform/LibreOfficeInstallation.h"

#include <cstdlib>
#include <dirent.h>

namespace office {

LibreOfficeProcess::~LibreOfficeProcess()
{
    kill();
}

bool LibreOfficeProcess::start(const LibreOfficeProfile& profile, const std::string& pipeName)
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> argv { platform::LibreOfficeInstallation::launcherPath(), "--headless",
        "--invisible", "--norestore", "--nologo", "--nodefault", "--nolockcheck",
        "--accept=pipe,name=" + pipeName + ";urp;", "-env:UserInstallation=" + profile.url() };
    platform::ChildProcess::Options options;
    options.newSession = true;
    // The office's own temporary files go inside the profile, so that an office that is killed
    // leaves nothing behind in the system's temporary folder.
    options.environment.emplace_back("TMPDIR", profile.folder() + "/tmp");
    // What LibreOffice prints is kept beside its profile for when a start fails.
    options.standardOutput = { platform::ChildProcess::Output::File, profile.folder() + "/soffice.log" };
    options.standardError = { platform::ChildProcess::Output::File, profile.folder() + "/soffice.err" };
    if (!m_child.start(argv, options)) {
        m_error = m_child.errorMessage();
        return false;
    }
    m_started = true;
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
    // No grace: a hung office does not answer SIGTERM, and its documents are only ever read.
    m_child.kill(std::chrono::milliseconds(0));
    m_started = false;
}

std::vector<pid_t> LibreOfficeProcess::officeProcessesOf(const std::string& profileUrl)
{
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (!proc)
        return found;
    const std::string profileArgument = "-env:UserInstallation=" + profileUrl;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end)
            continue;
        // A command line is bounded by the system's argument limit, a few megabytes at most.
        std::string commandLine;
        if (!platform::fileOperations::readAll(
                std::string("/proc/") + entry->d_name + "/cmdline", commandLine, 16ull * 1024 * 1024))
            continue;
        // Arguments are separated by NUL bytes; a zombie has an empty command line.
        size_t first = commandLine.find('\0');
        std::string program = commandLine.substr(0, first);
        if (program.find("soffice.bin") == std::string::npos)
            continue;
        size_t at = commandLine.find(profileArgument);
        size_t after = at + profileArgument.size();
        if (at != std::string::npos && (after == commandLine.size() || commandLine[after] == '\0'))
            found.push_back(static_cast<pid_t>(pid));
    }
    closedir(proc);
    return found;
}

}
