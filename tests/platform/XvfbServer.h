#pragma once

#include "platform/ChildProcess.h"

#include <string>

// A virtual X display of the test's own, with no window manager, running for the life of the
// object. Nothing is started when Xvfb is not installed.
class XvfbServer {
public:
    XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return !m_name.empty(); }
    // Why the display could not be started.
    const std::string& reason() const { return m_reason; }
    // The display's name as DISPLAY writes it (":3").
    const std::string& name() const { return m_name; }
    // Ends the server; its name then answers no more.
    void stop();

private:
    platform::ChildProcess m_server;
    std::string m_name;
    std::string m_reason;
};
