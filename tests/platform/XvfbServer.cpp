#include "tests/platform/XvfbServer.h"

#include <chrono>
#include <filesystem>

using namespace std::chrono_literals;

XvfbServer::XvfbServer()
{
    if (!std::filesystem::exists("/usr/bin/Xvfb")) {
        m_reason = "Xvfb is not installed";
        return;
    }
    // The server picks a free display itself and writes its number once it takes clients, so
    // that tests running side by side never meet on one display.
    platform::ChildProcess::Options options;
    options.standardOutput.mode = platform::ChildProcess::Output::Capture;
    options.standardError.mode = platform::ChildProcess::Output::Discard;
    if (!m_server.start(
            { "/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24" },
            options)) {
        m_reason = m_server.errorMessage();
        return;
    }
    for (auto waited = 0ms; waited < 30s; waited += 50ms) {
        const std::string& output = m_server.standardOutput();
        if (output.find('\n') != std::string::npos) {
            m_name = ":" + output.substr(0, output.find('\n'));
            return;
        }
        if (m_server.waitFor(50ms).outcome != platform::ChildProcess::Outcome::TimedOut)
            break;
    }
    m_reason = "Xvfb named no display";
    m_server.kill();
}

void XvfbServer::stop()
{
    m_server.kill();
}
