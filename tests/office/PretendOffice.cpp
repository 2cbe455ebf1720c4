#include "tests/office/PretendOffice.h"

#include "platform/ProcessHandle.h"

#include <unistd.h>

PretendOffice::PretendOffice(const std::string& arguments)
{
    // A session of its own, so that the sleep goes with it.
    platform::ChildProcess::Options options;
    options.newSession = true;
    m_started = m_process.start(
        { "bash", "-c", "exec -a soffice.bin bash -c 'sleep 30; true' " + arguments }, options);
}

bool PretendOffice::renamed() const
{
    for (int attempt = 0; m_started && attempt < 500; ++attempt) {
        platform::ProcessHandle handle;
        if (handle.open(pid()) && !handle.arguments().empty() && handle.arguments()[0] == "soffice.bin")
            return true;
        usleep(10000);
    }
    return false;
}
