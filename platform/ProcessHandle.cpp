#include "platform/ProcessHandle.h"

#include "platform/FileOperations.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

// A command line is bounded by the system's argument limit, a few megabytes at most; the other
// entries read here are a line or two.
constexpr uint64_t largestEntry = 16ull * 1024 * 1024;

// The decimal number at the start of text, after blanks; false when there is none.
bool leadingNumber(std::string_view& text, long& value)
{
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return false;
    text.remove_prefix(start);
    auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc())
        return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return true;
}

}

ProcessHandle::~ProcessHandle()
{
    close();
}

std::vector<pid_t> ProcessHandle::all()
{
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (!proc)
        return found;
    while (dirent* entry = readdir(proc)) {
        std::string_view name(entry->d_name);
        long pid = 0;
        auto [end, failure] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (failure == std::errc() && end == name.data() + name.size() && pid > 0)
            found.push_back(static_cast<pid_t>(pid));
    }
    closedir(proc);
    return found;
}

bool ProcessHandle::open(pid_t pid)
{
    close();
    if (pid <= 0)
        return false;
    std::string folder = "/proc/" + std::to_string(pid);
    m_entry = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_entry < 0)
        return false;
    m_descriptor = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    m_pid = pid;
    // The descriptor names whatever process has the number now. While the /proc entry opened
    // before it still answers, that is the same process: its number cannot have been given to
    // another one before it ended.
    std::string stat;
    if (m_descriptor < 0 || !readEntry("stat", stat) || stat.empty()) {
        close();
        return false;
    }
    fcntl(m_descriptor, F_SETFD, FD_CLOEXEC);
    return true;
}

std::vector<std::string> ProcessHandle::arguments() const
{
    std::vector<std::string> result;
    std::string text;
    if (!readEntry("cmdline", text))
        return result;
    // Arguments are separated (and ended) by NUL bytes.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

bool ProcessHandle::runsAsUs() const
{
    std::string status;
    if (!readEntry("status", status))
        return false;
    const std::string marker = "\nUid:";
    size_t at = status.find(marker);
    if (at == std::string::npos)
        return false;
    std::string_view line(status);
    line = line.substr(at + marker.size());
    line = line.substr(0, line.find('\n'));
    const long ours = static_cast<long>(geteuid());
    int count = 0;
    long uid = 0;
    while (leadingNumber(line, uid)) {
        if (uid != ours)
            return false;
        ++count;
    }
    return count == 4;
}

bool ProcessHandle::statusFields(pid_t& group, pid_t& session) const
{
    std::string stat;
    if (!readEntry("stat", stat))
        return false;
    // The command name in parentheses may hold blanks and parentheses itself; the fields after
    // the last closing one are state, parent, process group and session.
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return false;
    std::string_view fields(stat);
    fields.remove_prefix(close + 1);
    size_t state = fields.find_first_not_of(' ');
    if (state == std::string_view::npos)
        return false;
    fields.remove_prefix(state + 1);
    long parent = 0;
    long groupNumber = 0;
    long sessionNumber = 0;
    if (!leadingNumber(fields, parent) || !leadingNumber(fields, groupNumber)
        || !leadingNumber(fields, sessionNumber))
        return false;
    group = static_cast<pid_t>(groupNumber);
    session = static_cast<pid_t>(sessionNumber);
    return true;
}

pid_t ProcessHandle::processGroup() const
{
    pid_t group = -1;
    pid_t session = -1;
    return statusFields(group, session) ? group : -1;
}

pid_t ProcessHandle::session() const
{
    pid_t group = -1;
    pid_t session = -1;
    return statusFields(group, session) ? session : -1;
}

bool ProcessHandle::kill()
{
    return m_descriptor >= 0 && syscall(SYS_pidfd_send_signal, m_descriptor, SIGKILL, nullptr, 0) == 0;
}

bool ProcessHandle::waitForExit(std::chrono::milliseconds timeout)
{
    if (m_descriptor < 0)
        return true;
    // The descriptor becomes readable when the process ends, whoever reaps it.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd watched { m_descriptor, POLLIN, 0 };
        int ready = poll(&watched, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool ProcessHandle::killGroup(pid_t group)
{
    // Group 1 and below would mean init's group or every process we may signal; our own group
    // would take us along.
    return group > 1 && group != getpgrp() && ::kill(-group, SIGKILL) == 0;
}

bool ProcessHandle::readEntry(const char* name, std::string& text) const
{
    if (m_entry < 0)
        return false;
    // Through the descriptor of the entry, so that the answer is about the process opened.
    std::string path = "/proc/self/fd/" + std::to_string(m_entry) + "/" + name;
    return fileOperations::readAll(path, text, largestEntry);
}

void ProcessHandle::close()
{
    for (int* descriptor : { &m_entry, &m_descriptor }) {
        if (*descriptor >= 0)
            ::close(*descriptor);
        *descriptor = -1;
    }
    m_pid = -1;
}

}
