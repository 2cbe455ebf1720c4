#pragma once

#include "foundation/VaultrixRegistry.h"
#include "office/libreoffice/CallWatchdog.h"
#include "office/libreoffice/LibreOfficeInstance.h"
#include "platform/Sandbox.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace office {

// The office behind one automation session. It starts a LibreOffice when a call needs one,
// runs every call into it under a watchdog, and replaces an office that hung, crashed or was
// killed by a fresh one for the next call: one bad document costs that document only. Like the
// session that owns it, it serves one thread at a time.
class LibreOfficeSuite {
public:
    struct Timeouts {
        std::chrono::milliseconds start { 60000 };
        // A load or save may take base plus perMegabyte for every megabyte of the document.
        std::chrono::milliseconds base { 60000 };
        std::chrono::milliseconds perMegabyte { 15000 };
        // How long the office may take to end by itself; 0 ends it at once.
        std::chrono::milliseconds terminate { 0 };
    };

    LibreOfficeSuite();
    LibreOfficeSuite(const LibreOfficeSuite&) = delete;
    LibreOfficeSuite& operator=(const LibreOfficeSuite&) = delete;
    // Terminates the office, if one runs.
    ~LibreOfficeSuite();

    // PRESSLING_OFFICE_TIMEOUT_MS, when set, replaces the base of the defaults.
    static Timeouts defaultTimeouts();
    void setTimeouts(const Timeouts& timeouts);
    Timeouts timeouts();
    std::chrono::milliseconds timeoutForFile(const std::string& path);

    // The running office, started now when there is none or the last one has ended. Throws
    // ComError when it cannot be started.
    std::shared_ptr<LibreOfficeInstance> instance();
    // The running office or none; never starts one.
    std::shared_ptr<LibreOfficeInstance> currentInstance();
    int startCount();

    // Runs operation, which talks to instance, under the watchdog. A deadline that passes kills
    // the office; a UNO failure, the kill and a crash all leave as ComError naming what.
    void call(const std::shared_ptr<LibreOfficeInstance>& instance, const std::string& what,
        std::chrono::milliseconds timeout, const std::function<void()>& operation);

    // Applications hold the office while they exist; when the last lets go it is terminated
    // (and a later call starts a fresh one).
    void addClient();
    void removeClient();

    void shutDown();

    // How the suite learns whether the system can make the sandbox that the Sandbox setting asks
    // for: the system's own answer unless a test says otherwise.
    void setSandboxSupport(std::function<platform::Sandbox::Support()> support);
    // Who hears what the user must know: that the offices run without a sandbox, or why an office
    // could not be started. Each text is told once; it is logged as well.
    void setNoticeReceiver(std::function<void(const std::string&)> receiver);
    // Whether the running office (or the last one) was started in a sandbox.
    bool sandboxed();

    // The part of PDF/A (1 to 3) that PDFs are written to, or 0 for plain PDF: the PdfArchive
    // setting unless told otherwise.
    void setPdfArchivePart(int part);
    int pdfArchivePart();

private:
    // Decides whether the next office runs in a sandbox; throws ComError when one is required
    // and none can be made.
    bool chooseSandbox();
    void tell(const std::string& text);

    int m_clients = 0;
    std::mutex m_mutex;
    Timeouts m_timeouts;
    std::shared_ptr<LibreOfficeInstance> m_instance;
    int m_startCount = 0;
    VaultrixRegistry::SandboxSetting m_sandboxSetting;
    std::function<platform::Sandbox::Support()> m_sandboxSupport = &platform::Sandbox::support;
    bool m_sandboxed = false;
    int m_pdfArchivePart;
    std::function<void(const std::string&)> m_noticeReceiver;
    std::set<std::string> m_told;
    CallWatchdog m_watchdog;
};

}
