#pragma once

#include "office/libreoffice/LibreOfficeProcess.h"
#include "office/libreoffice/LibreOfficeProfile.h"

#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <atomic>
#include <chrono>
#include <string>

namespace office {

// One private headless LibreOffice: its own profile, its own pipe, its own process group, and
// the desktop object reached over the pipe. Nothing it starts outlives it.
class LibreOfficeInstance {
public:
    LibreOfficeInstance();
    LibreOfficeInstance(const LibreOfficeInstance&) = delete;
    LibreOfficeInstance& operator=(const LibreOfficeInstance&) = delete;
    // Terminates the office if it still runs.
    ~LibreOfficeInstance();

    // Starts the office (in a sandbox when asked) and connects to it, retrying until its pipe
    // answers or timeout has passed. Throws ComError.
    void start(std::chrono::milliseconds timeout, bool sandboxed);
    const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return m_desktop; }
    // The office's type detection, made once with the connection: every document is detected
    // before it is loaded, and making the service anew would cost each of them two more calls.
    const css::uno::Reference<css::document::XTypeDetection>& typeDetection() const
    {
        return m_typeDetection;
    }

    // Kills the process group at once; safe from any thread. Calls in progress then fail.
    void kill();
    // With a timeout, asks the office to end and gives it that long; then (or at once, for a
    // timeout of 0) makes sure the whole process group is gone and the launcher reaped. Never
    // throws.
    void terminate(std::chrono::milliseconds timeout);
    // False once the instance was killed or terminated, or its process ended by itself.
    bool isAlive();
    const std::string& profileUrl() const { return m_profileUrl; }
    const std::string& pipeName() const { return m_pipeName; }
    // The only folder beside its profile that the office writes documents into.
    std::string outputFolder() const { return m_profile.outputFolder(); }

private:
    std::string startFailure(const std::string& reason) const;

    LibreOfficeProfile m_profile;
    LibreOfficeProcess m_process;
    std::string m_pipeName;
    std::string m_profileUrl;
    std::atomic<bool> m_alive { false };
    css::uno::Reference<css::uno::XComponentContext> m_remoteContext;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    css::uno::Reference<css::document::XTypeDetection> m_typeDetection;
};

}
