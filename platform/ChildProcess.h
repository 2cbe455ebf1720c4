#pragma once

#include "platform/Sandbox.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform {

// One program started by us, watched and always reaped. The program reads nothing (its
// standard input is /dev/null); its output goes where the options say. A child started in
// a session of its own takes everything it starts along when it is killed, which is what an
// office suite that hands over to a second process needs.
class ChildProcess {
public:
    struct Pipe {
        int readEnd = -1;
        int writeEnd = -1;
    };

    enum class Output { Inherit, Discard, Capture, File };

    struct Stream {
        Output mode = Output::Inherit;
        // The file written when mode is File; it is created or truncated.
        std::string path;
    };

    struct Options {
        // Added to (or replacing in) the environment of this process.
        std::vector<std::pair<std::string, std::string>> environment;
        // Empty: the current working folder.
        std::string workingFolder;
        // Start the program as the leader of a new session and process group (setsid).
        bool newSession = false;
        Stream standardOutput;
        Stream standardError;
        // Run the program in this sandbox; a sandbox that cannot be made fails the start. The
        // program is then named by its path: PATH is not searched.
        std::optional<Sandbox> sandbox;
    };

    enum class Outcome { NotStarted, Exited, Signalled, TimedOut };

    struct Status {
        Outcome outcome = Outcome::NotStarted;
        int exitCode = -1; // when Exited
        int signal = 0; // when Signalled
    };

    struct RunResult {
        // False when the program could not be started; error says why.
        bool started = false;
        std::string error;
        Status status;
        std::string standardOutput;
        std::string standardError;
        bool succeeded() const { return status.outcome == Outcome::Exited && status.exitCode == 0; }
    };

    static constexpr std::chrono::milliseconds defaultGrace { 2000 };

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A child still running is killed and reaped: nothing we start outlives its owner.
    ~ChildProcess();

    // argv[0] is looked up in PATH when it has no '/'. False (with errorMessage()) when the
    // program cannot be started, for instance because it does not exist.
    bool start(const std::vector<std::string>& argv, const Options& options);
    bool start(const std::vector<std::string>& argv);
    const std::string& errorMessage() const { return m_error; }
    // Why the sandbox of the last start could not be made; empty when that was not the failure.
    const std::string& sandboxFailure() const { return m_sandboxFailure; }

    pid_t pid() const { return m_pid; }
    bool isRunning();

    // Waits up to timeout for the program to end, collecting captured output meanwhile.
    // TimedOut leaves the program running.
    Status waitFor(std::chrono::milliseconds timeout);

    // SIGTERM to the program (its whole process group when it has a session of its own), then
    // SIGKILL when it has not ended after grace. Reaps it. Returns how it ended.
    Status kill(std::chrono::milliseconds grace = defaultGrace);

    // What the program wrote so far, when captured.
    const std::string& standardOutput() const { return m_output; }
    const std::string& standardError() const { return m_errors; }

    // Starts argv in a session of its own, capturing both outputs, and kills it (with all it
    // started) when it has not ended within timeout.
    static RunResult run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
        Options options);
    static RunResult run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

private:
    // posix_spawn cannot run code in the child; a sandbox needs a fork of our own.
    int spawnSandboxed(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
        const Options& options, Pipe& outputPipe, Pipe& errorPipe);
    bool pollOnce(int timeoutMilliseconds);
    bool reap(bool block);
    void signalAll(int signal);
    void drainAndClose();
    void closeDescriptors();

    pid_t m_pid = -1;
    bool m_newSession = false;
    bool m_reaped = true;
    Status m_status;
    int m_outputPipe = -1;
    int m_errorPipe = -1;
    int m_pidDescriptor = -1;
    std::string m_output;
    std::string m_errors;
    std::string m_error;
    std::string m_sandboxFailure;
};

}
