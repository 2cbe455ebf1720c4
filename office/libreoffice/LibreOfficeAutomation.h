#pragma once

#include "office/OfficeAutomation.h"

#include "platform/Sandbox.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace office {

class LibreOfficeSuite;

// Office automation on one private headless LibreOffice, shared by the Word, Excel and
// PowerPoint objects this creates. The office starts with the first application and ends when
// the last application is quit or released, or with this object. Its offices run in a sandbox
// (no network, nothing writable but their own folders) as the Sandbox setting asks.
class LibreOfficeAutomation : public OfficeAutomation {
public:
    LibreOfficeAutomation();
    ~LibreOfficeAutomation() override;

    HResult createInstance(
        const std::string& progId, std::shared_ptr<AutomationApplication>& application) override;

    // How long a load or save may take: base plus perMegabyte for each megabyte of the
    // document; beyond it the office is stopped and the call fails.
    void setCallTimeout(std::chrono::milliseconds base, std::chrono::milliseconds perMegabyte);
    void setStartTimeout(std::chrono::milliseconds timeout);

    // Who hears that the offices run without a sandbox, or why one could not be started.
    void setNoticeReceiver(std::function<void(const std::string&)> receiver);
    // For tests: what the system is taken to allow, instead of its own answer.
    void setSandboxSupport(std::function<platform::Sandbox::Support()> support);
    bool officeSandboxed() const;
    // PDFs follow this part of PDF/A (1 to 3), or none for 0, instead of the PdfArchive setting.
    void setPdfArchivePart(int part);

    // For tests and diagnostics: the profile URL of the running office (empty when none runs),
    // its launcher's process group, and how many offices this session has started.
    std::string runningProfileUrl() const;
    int officeStartCount() const;
    // Kills the running office as a crash would.
    void killOffice();

private:
    std::shared_ptr<LibreOfficeSuite> m_suite;
};

}
