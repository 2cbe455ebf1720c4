#include "tests/office/PretendOffice.h"

#include "platform/ProcessHandle.h"

#include <unistd.h>

PretendOffice::PretendOffice(const std::string& arguments)
{
    // A session of its own, so that the sleep goes with it. Its outputs are not the test's: a
    // test that dies must not leave its runner waiting for the sleep to close them.
    platform::ChildProcess::Options options;
    options.newSession = true;
    options.standardOutput.mode = platform::ChildProcess::Output::Discard;
    options.standardError.mode = platform::ChildProcess::Output::Discard;
    m_started = m_process.start(
        { "bash", "-c", "exec -a soffice.bin bash -c '" + std::string(sleepCommand) + "' " + arguments },
        options);
}

bool PretendOffice::renamed()
{
    // The command line is read once per look: while bash executes itself anew it can read
    // empty between two reads. The look goes on as long as the process runs, however busy the
    // machine; the sleep keeps it running far longer than any test takes. A process that ended
    // is reaped here, so that a bash that failed is not waited on as a zombie forever.
    while (m_started && m_process.isRunning()) {
        platform::ProcessHandle handle;
        std::vector<std::string> commandLine;
        if (handle.open(pid()))
            commandLine = handle.arguments();
        if (!commandLine.empty() && commandLine.front() == "soffice.bin")
            return true;
        usleep(10000);
    }
    return false;
}
