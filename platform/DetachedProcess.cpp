#include "platform/DetachedProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// Everything the started program needs is prepared before the fork: between fork and exec a
// process with threads may only make async-signal-safe calls, so no allocation happens there.
struct Launch {
    std::vector<std::string> arguments;
    std::vector<char*> argumentPointers;
    // The files that exec tries in turn, as execvp would walk PATH.
    std::vector<std::string> candidates;
    int highestDescriptor = 1024;
};

std::vector<std::string> candidatesFor(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return { program };
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/bin:/usr/bin";
    std::vector<std::string> candidates;
    size_t start = 0;
    for (;;) {
        size_t end = folders.find(':', start);
        std::string folder
            = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // An empty entry of PATH is the current folder.
        candidates.push_back((folder.empty() ? "." : folder) + "/" + program);
        if (end == std::string::npos)
            return candidates;
        start = end + 1;
    }
}

Launch prepare(const std::vector<std::string>& argv)
{
    Launch launch;
    launch.arguments = argv;
    for (std::string& argument : launch.arguments)
        launch.argumentPointers.push_back(argument.data());
    launch.argumentPointers.push_back(nullptr);
    launch.candidates = candidatesFor(argv[0]);
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        launch.highestDescriptor = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
    return launch;
}

[[noreturn]] void reportAndExit(int reportDescriptor, int error)
{
    ssize_t ignored = write(reportDescriptor, &error, sizeof(error));
    (void)ignored;
    _exit(127);
}

// Closes every descriptor from 3 up except keep; where the kernel has no close_range, one by one
// up to the limit of descriptors.
void closeInherited(int keep, int highestDescriptor)
{
    bool closed = (keep == 3 || close_range(3, keep - 1, 0) == 0) && close_range(keep + 1, ~0U, 0) == 0;
    if (closed)
        return;
    for (int descriptor = 3; descriptor < highestDescriptor; ++descriptor) {
        if (descriptor != keep)
            close(descriptor);
    }
}

// Signals this process blocks or ignores (SIGPIPE, typically) would stay so in the program.
void resetSignals()
{
    sigset_t none;
    sigemptyset(&none);
    pthread_sigmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard { };
    standard.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP)
            sigaction(signal, &standard, nullptr);
    }
}

// The grandchild: becomes the program or reports why it could not.
[[noreturn]] void becomeProgram(const Launch& launch, int reportDescriptor)
{
    setsid();
    resetSignals();
    int input = open("/dev/null", O_RDONLY);
    if (input < 0)
        reportAndExit(reportDescriptor, errno);
    if (input != 0) {
        dup2(input, 0);
        close(input);
    }
    closeInherited(reportDescriptor, launch.highestDescriptor);
    // The same choice of error as execvp makes: a file that exists but may not be run says
    // more than the folders of PATH that do not have it.
    int error = ENOENT;
    for (const std::string& candidate : launch.candidates) {
        execve(candidate.c_str(), launch.argumentPointers.data(), environ);
        if (errno == EACCES)
            error = EACCES;
        else if (errno != ENOENT && errno != ENOTDIR) {
            error = errno;
            break;
        }
    }
    reportAndExit(reportDescriptor, error);
}

int readReport(int descriptor)
{
    int error = 0;
    size_t received = 0;
    while (received < sizeof(error)) {
        ssize_t count
            = read(descriptor, reinterpret_cast<char*>(&error) + received, sizeof(error) - received);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        received += static_cast<size_t>(count);
    }
    // Nothing at all means the program's exec closed the pipe: it runs.
    return received == sizeof(error) ? error : received == 0 ? 0 : EIO;
}

void reap(pid_t child)
{
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
}

}

// Two forks: the child we start leaves at once and is reaped here, so the program becomes a
// child of the system's and never waits as a zombie of ours, however long it runs.
int startDetached(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv[0].empty())
        return EINVAL;
    Launch launch = prepare(argv);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;
    pid_t child = fork();
    if (child < 0) {
        int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0) {
        close(report[0]);
        pid_t program = fork();
        if (program < 0)
            reportAndExit(report[1], errno);
        if (program == 0)
            becomeProgram(launch, report[1]);
        _exit(0);
    }
    close(report[1]);
    reap(child);
    int result = readReport(report[0]);
    close(report[0]);
    return result;
}

}
