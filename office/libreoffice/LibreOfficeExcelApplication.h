#pragma once

#include "office/ExcelApplication.h"
#include "office/libreoffice/LibreOfficeApplicationState.h"

namespace office {

// Excel on LibreOffice Calc. The display settings have nothing to act on in a headless
// office; they are checked for a quit application and kept.
class LibreOfficeExcelApplication : public ExcelApplication {
public:
    explicit LibreOfficeExcelApplication(std::shared_ptr<LibreOfficeSuite> suite);

    void setVisible(bool visible) override { keep(m_visible, visible); }
    void setDisplayAlerts(bool alerts) override { keep(m_displayAlerts, alerts); }
    void setDisplayInfoWindow(bool display) override { keep(m_displayInfoWindow, display); }
    void setInteractive(bool interactive) override { keep(m_interactive, interactive); }
    void setScreenUpdating(bool updating) override { keep(m_screenUpdating, updating); }
    void setAutomationSecurity(int32_t security) override { m_state->setAutomationSecurity(security); }
    std::shared_ptr<ExcelWorkbooks> workbooks() override;
    void quit() override { m_state->quit(); }

    int32_t automationSecurity() const { return m_state->automationSecurity(); }

private:
    void keep(bool& setting, bool value)
    {
        m_state->checkRunning();
        setting = value;
    }

    std::shared_ptr<LibreOfficeApplicationState> m_state;
    bool m_visible = false;
    bool m_displayAlerts = true;
    bool m_displayInfoWindow = true;
    bool m_interactive = true;
    bool m_screenUpdating = true;
};

}
