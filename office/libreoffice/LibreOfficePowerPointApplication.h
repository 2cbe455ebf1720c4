#pragma once

#include "office/libreoffice/LibreOfficeApplicationState.h"
#include "office/PowerPointApplication.h"

namespace office {

// PowerPoint on LibreOffice Impress. A headless office has no main window: its handle is 0 and
// its window state is only remembered.
class LibreOfficePowerPointApplication : public PowerPointApplication {
public:
    explicit LibreOfficePowerPointApplication(std::shared_ptr<LibreOfficeSuite> suite);

    int32_t windowState() override;
    void setWindowState(int32_t state) override;
    void setDisplayAlerts(int32_t alerts) override;
    void setAutomationSecurity(int32_t security) override { m_state->setAutomationSecurity(security); }
    std::shared_ptr<PowerPointPresentations> presentations() override;
    intptr_t hwnd() override;
    void quit() override { m_state->quit(); }

private:
    std::shared_ptr<LibreOfficeApplicationState> m_state;
    // ppWindowNormal.
    int32_t m_windowState = 1;
    int32_t m_displayAlerts = 2;
};

}
