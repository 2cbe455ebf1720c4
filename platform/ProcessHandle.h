#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// Another process, looked at through /proc and held so that it cannot be mistaken for a later
// process that is given the same number: the /proc entry and a process descriptor stay open,
// and every question and signal goes through them. A process that has ended answers nothing
// and takes no signal.
class ProcessHandle {
public:
    ProcessHandle() = default;
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    ~ProcessHandle();

    // The numbers of the processes that run now, in no particular order.
    static std::vector<pid_t> all();

    // False when no such process runs (or it cannot be looked at).
    bool open(pid_t pid);
    pid_t pid() const { return m_pid; }
    // The command line, one string per argument; empty for a zombie or a process gone.
    std::vector<std::string> arguments() const;
    // True when the process runs with our user id and nothing else: real, effective, saved and
    // file-system ids all ours. A program that another user runs, or a set-user-id program that
    // we started, is not ours to end.
    bool runsAsUs() const;
    // The process group and the session the process is in; -1 when it cannot be read.
    pid_t processGroup() const;
    pid_t session() const;
    // SIGKILL to this process only; false when it has already ended or the signal is refused.
    bool kill();
    // True once the process has ended, waiting at most timeout for it.
    bool waitForExit(std::chrono::milliseconds timeout);

    // SIGKILL to every process of a group; false when there is no such group, when it is our
    // own group, or when the signal is refused. Only for a group the caller made itself: a group
    // number says nothing about who is in it.
    static bool killGroup(pid_t group);

private:
    bool readEntry(const char* name, std::string& text) const;
    bool statusFields(pid_t& group, pid_t& session) const;
    void close();

    pid_t m_pid = -1;
    int m_entry = -1;
    int m_descriptor = -1;
};

}
