#pragma once

#include "office/OfficeInstance.h"
#include "platform/ChildProcess.h"
#include "tests/support/TemporaryFolder.h"

#include <optional>

// A real LibreOffice Writer on the display, with a profile of its own, started in a session of its
// own so that killing it takes every process it started along.
class RealWriter {
public:
    RealWriter();
    ~RealWriter();

    bool started() const { return m_started; }
    void close();

    // Waits, as long as a first start with a fresh profile may take, until Writer's main window is
    // on the display, and returns it as the platform lists it.
    std::optional<office::OfficeInstance> waitForWindow();

private:
    TemporaryFolder m_profile;
    platform::ChildProcess m_process;
    bool m_started = false;
};
