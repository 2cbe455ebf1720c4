#include "platform/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The environment of this process with the given variables added or replaced.
std::vector<std::string> mergedEnvironment(const std::vector<std::pair<std::string, std::string>>& extra)
{
    std::vector<std::string> result;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text(*entry);
        std::string_view name = text.substr(0, text.find('='));
        bool replaced = std::any_of(extra.begin(), extra.end(), [&](const auto& pair) { return pair.first == name; });
        if (!replaced)
            result.emplace_back(text);
    }
    for (const auto& [name, value] : extra)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& text : strings)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

using Pipe = ChildProcess::Pipe;

// Wires one output stream of the child; a captured stream gets a pipe.
bool addOutputAction(posix_spawn_file_actions_t& actions, const ChildProcess::Stream& stream, int descriptor,
    Pipe& pipe, std::string& error)
{
    switch (stream.mode) {
    case ChildProcess::Output::Inherit:
        break;
    case ChildProcess::Output::Discard:
        posix_spawn_file_actions_addopen(&actions, descriptor, "/dev/null", O_WRONLY, 0);
        break;
    case ChildProcess::Output::File:
        posix_spawn_file_actions_addopen(&actions, descriptor, stream.path.c_str(),
            O_WRONLY | O_CREAT | O_TRUNC, 0644);
        break;
    case ChildProcess::Output::Capture: {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            error = std::string("cannot create a pipe: ") + std::strerror(errno);
            return false;
        }
        pipe = Pipe { ends[0], ends[1] };
        // dup2 onto 1 or 2 clears close-on-exec for the child's copy only.
        posix_spawn_file_actions_adddup2(&actions, ends[1], descriptor);
        break;
    }
    }
    return true;
}

// Reads what is there without blocking. False at end of file or on an error.
bool readAvailable(int descriptor, std::string& into)
{
    char buffer[16384];
    for (;;) {
        ssize_t count = read(descriptor, buffer, sizeof(buffer));
        if (count > 0) {
            into.append(buffer, static_cast<size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

}

ChildProcess::~ChildProcess()
{
    if (!m_reaped)
        kill();
    closeDescriptors();
}

bool ChildProcess::start(const std::vector<std::string>& argv, const Options& options)
{
    if (!m_reaped) {
        m_error = "a program is still running in this child process";
        return false;
    }
    closeDescriptors();
    m_output.clear();
    m_errors.clear();
    m_error.clear();
    m_sandboxFailure.clear();
    m_status = {};
    m_pid = -1;
    if (argv.empty() || argv[0].empty()) {
        m_error = "no program to start";
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    Pipe outputPipe;
    Pipe errorPipe;
    bool wired = addOutputAction(actions, options.standardOutput, 1, outputPipe, m_error)
        && addOutputAction(actions, options.standardError, 2, errorPipe, m_error);
    if (!options.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.workingFolder.c_str());
    // Descriptors that someone opened without close-on-exec must not leak into the program.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    // Signals this process ignores (SIGPIPE, typically) would stay ignored in the program.
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (options.newSession)
        flags |= POSIX_SPAWN_SETSID;
    posix_spawnattr_setflags(&attributes, flags);

    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = mergedEnvironment(options.environment);
    std::vector<char*> argumentPointers = pointers(arguments);
    std::vector<char*> environmentPointers = pointers(environment);

    int result = -1;
    if (wired && options.sandbox)
        result = spawnSandboxed(arguments, environment, options, outputPipe, errorPipe);
    else if (wired)
        result = posix_spawnp(&m_pid, argv[0].c_str(), &actions, &attributes, argumentPointers.data(),
            environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    for (int descriptor : { outputPipe.writeEnd, errorPipe.writeEnd }) {
        if (descriptor >= 0)
            close(descriptor);
    }
    if (result != 0) {
        if (m_error.empty())
            m_error = "cannot start " + argv[0] + ": " + std::strerror(result);
        for (int descriptor : { outputPipe.readEnd, errorPipe.readEnd }) {
            if (descriptor >= 0)
                close(descriptor);
        }
        m_pid = -1;
        return false;
    }

    m_reaped = false;
    m_newSession = options.newSession;
    m_outputPipe = outputPipe.readEnd;
    m_errorPipe = errorPipe.readEnd;
    for (int descriptor : { m_outputPipe, m_errorPipe }) {
        if (descriptor >= 0)
            fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    }
    // A process descriptor lets poll() wake on the exit itself; without one we poll in slices.
    m_pidDescriptor = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (m_pidDescriptor >= 0)
        fcntl(m_pidDescriptor, F_SETFD, FD_CLOEXEC);
    return true;
}

int ChildProcess::spawnSandboxed(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
    const Options& options, Pipe& outputPipe, Pipe& errorPipe)
{
    // Everything the child needs is made here, before the fork: after it, in a copy of a process
    // with threads, the child may only make system calls.
    if (argv[0].find('/') == std::string::npos) {
        m_error = "cannot start " + argv[0] + " in a sandbox: it is not named by its path";
        return EINVAL;
    }
    std::vector<std::string> arguments = argv;
    std::vector<std::string> variables = environment;
    std::vector<char*> argumentPointers = pointers(arguments);
    std::vector<char*> environmentPointers = pointers(variables);
    SandboxEntry entry(*options.sandbox);

    // The descriptors that become the child's 0, 1 and 2; -1 keeps ours.
    int streams[3] = { ::open("/dev/null", O_RDONLY | O_CLOEXEC), -1, -1 };
    const Stream* outputs[2] = { &options.standardOutput, &options.standardError };
    const Pipe* pipes[2] = { &outputPipe, &errorPipe };
    for (int index = 0; index < 2; ++index) {
        switch (outputs[index]->mode) {
        case Output::Inherit:
            break;
        case Output::Discard:
            streams[index + 1] = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
            break;
        case Output::File:
            streams[index + 1]
                = ::open(outputs[index]->path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            break;
        case Output::Capture:
            streams[index + 1] = pipes[index]->writeEnd;
            break;
        }
    }
    auto closeOpened = [&] {
        for (int index = 0; index < 3; ++index) {
            bool ours = index == 0 || outputs[index - 1]->mode == Output::Discard
                || outputs[index - 1]->mode == Output::File;
            if (ours && streams[index] >= 0)
                ::close(streams[index]);
        }
    };
    for (int index = 0; index < 3; ++index) {
        bool wanted = index == 0 || outputs[index - 1]->mode != Output::Inherit;
        if (wanted && streams[index] < 0) {
            int error = errno;
            closeOpened();
            m_error = "cannot start " + argv[0] + ": " + std::strerror(error);
            return error;
        }
    }
    // The child reports a failure before exec through this pipe; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        int error = errno;
        closeOpened();
        m_error = "cannot start " + argv[0] + ": " + std::strerror(error);
        return error;
    }

    pid_t child = ::fork();
    if (child == 0) {
        struct Failure {
            char step[32];
            int error;
        } failure {};
        auto failWith = [&](const char* step, int error) {
            std::strncpy(failure.step, step, sizeof failure.step - 1);
            failure.error = error;
            ssize_t ignored = ::write(report[1], &failure, sizeof failure);
            (void)ignored;
            ::_exit(127);
        };
        sigset_t signals;
        sigemptyset(&signals);
        ::sigprocmask(SIG_SETMASK, &signals, nullptr);
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        for (int signal = 1; signal < NSIG; ++signal)
            ::sigaction(signal, &standard, nullptr);
        if (options.newSession)
            ::setsid();
        for (int index = 0; index < 3; ++index) {
            if (streams[index] >= 0 && ::dup2(streams[index], index) < 0)
                failWith("dup2", errno);
        }
        if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0)
            failWith("chdir", errno);
        const char* step = "";
        int error = 0;
        if (!entry.enter(step, error))
            failWith(step, error);
        // Descriptors that someone opened without close-on-exec must not leak into the program.
        ::syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
        ::execve(arguments[0].c_str(), argumentPointers.data(), environmentPointers.data());
        failWith("exec", errno);
    }
    int forkError = errno;
    ::close(report[1]);
    closeOpened();
    if (child < 0) {
        ::close(report[0]);
        m_error = "cannot start " + argv[0] + ": " + std::strerror(forkError);
        return forkError;
    }
    struct {
        char step[32];
        int error;
    } failure {};
    ssize_t count;
    do
        count = ::read(report[0], &failure, sizeof failure);
    while (count < 0 && errno == EINTR);
    ::close(report[0]);
    if (count != static_cast<ssize_t>(sizeof failure)) {
        m_pid = child;
        return 0;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    failure.step[sizeof failure.step - 1] = 0;
    std::string step = failure.step;
    if (step == "exec" || step == "dup2" || step == "chdir")
        m_error = "cannot start " + argv[0] + ": " + std::strerror(failure.error);
    else {
        m_sandboxFailure = SandboxEntry::failure(step, failure.error);
        m_error = "cannot start " + argv[0] + " in its sandbox: " + m_sandboxFailure;
    }
    return failure.error ? failure.error : EPERM;
}

bool ChildProcess::start(const std::vector<std::string>& argv)
{
    return start(argv, Options {});
}

bool ChildProcess::isRunning()
{
    if (m_reaped)
        return false;
    pollOnce(0);
    return !reap(false);
}

ChildProcess::Status ChildProcess::waitFor(std::chrono::milliseconds timeout)
{
    if (m_pid < 0)
        return m_status;
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (reap(false)) {
            drainAndClose();
            return m_status;
        }
        auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0)
            return Status { Outcome::TimedOut, -1, 0 };
        long slice = m_pidDescriptor >= 0 ? remaining.count() : std::min<long>(remaining.count(), 10);
        pollOnce(static_cast<int>(std::min<long>(slice, 1000)));
    }
}

ChildProcess::Status ChildProcess::kill(std::chrono::milliseconds grace)
{
    if (m_pid < 0)
        return m_status;
    if (!m_reaped) {
        signalAll(SIGTERM);
        waitFor(grace);
    }
    // Whatever ignored the polite request, including programs the child started, goes now.
    signalAll(SIGKILL);
    reap(true);
    drainAndClose();
    return m_status;
}

ChildProcess::RunResult ChildProcess::run(const std::vector<std::string>& argv,
    std::chrono::milliseconds timeout, Options options)
{
    options.newSession = true;
    options.standardOutput.mode = Output::Capture;
    options.standardError.mode = Output::Capture;
    RunResult result;
    ChildProcess child;
    result.started = child.start(argv, options);
    if (!result.started) {
        result.error = child.errorMessage();
        return result;
    }
    result.status = child.waitFor(timeout);
    if (result.status.outcome == Outcome::TimedOut) {
        child.kill();
        result.error = argv[0] + " did not finish within " + std::to_string(timeout.count()) + " ms";
    }
    result.standardOutput = child.standardOutput();
    result.standardError = child.standardError();
    return result;
}

ChildProcess::RunResult ChildProcess::run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    return run(argv, timeout, Options {});
}

bool ChildProcess::pollOnce(int timeoutMilliseconds)
{
    pollfd descriptors[3];
    nfds_t count = 0;
    for (int descriptor : { m_outputPipe, m_errorPipe, m_pidDescriptor }) {
        if (descriptor >= 0)
            descriptors[count++] = pollfd { descriptor, POLLIN, 0 };
    }
    if (count == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMilliseconds));
        return false;
    }
    if (poll(descriptors, count, timeoutMilliseconds) <= 0)
        return false;
    if (m_outputPipe >= 0 && !readAvailable(m_outputPipe, m_output)) {
        close(m_outputPipe);
        m_outputPipe = -1;
    }
    if (m_errorPipe >= 0 && !readAvailable(m_errorPipe, m_errors)) {
        close(m_errorPipe);
        m_errorPipe = -1;
    }
    return true;
}

bool ChildProcess::reap(bool block)
{
    if (m_reaped)
        return true;
    int status = 0;
    pid_t result;
    do
        result = waitpid(m_pid, &status, block ? 0 : WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result == 0)
        return false;
    m_reaped = true;
    if (result < 0)
        m_status = Status { Outcome::Exited, -1, 0 }; // reaped by someone else; the code is lost
    else if (WIFSIGNALED(status))
        m_status = Status { Outcome::Signalled, -1, WTERMSIG(status) };
    else
        m_status = Status { Outcome::Exited, WEXITSTATUS(status), 0 };
    if (m_pidDescriptor >= 0) {
        close(m_pidDescriptor);
        m_pidDescriptor = -1;
    }
    return true;
}

void ChildProcess::signalAll(int signal)
{
    // The group outlives its leader when the leader exits first, so it is signalled even after
    // the leader has been reaped: its pid cannot be reused while the group exists.
    if (m_newSession)
        ::kill(-m_pid, signal);
    if (!m_reaped)
        ::kill(m_pid, signal);
}

void ChildProcess::drainAndClose()
{
    // A program the child left running may still hold the pipe; take what is there and go.
    if (m_outputPipe >= 0)
        readAvailable(m_outputPipe, m_output);
    if (m_errorPipe >= 0)
        readAvailable(m_errorPipe, m_errors);
    closeDescriptors();
}

void ChildProcess::closeDescriptors()
{
    for (int* descriptor : { &m_outputPipe, &m_errorPipe, &m_pidDescriptor }) {
        if (*descriptor >= 0)
            close(*descriptor);
        *descriptor = -1;
    }
}

}
