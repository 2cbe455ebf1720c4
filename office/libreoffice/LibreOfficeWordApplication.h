#pragma once

#include "office/libreoffice/LibreOfficeApplicationState.h"
#include "office/WordApplication.h"

namespace office {

// Word on LibreOffice Writer. The display settings have nothing to act on in a headless
// office; they are checked for a quit application like every other call and then kept.
class LibreOfficeWordApplication : public WordApplication {
public:
    explicit LibreOfficeWordApplication(std::shared_ptr<LibreOfficeSuite> suite);

    void setScreenUpdating(bool updating) override;
    void setDisplayAlerts(int32_t alerts) override;
    void setAutomationSecurity(int32_t security) override { m_state->setAutomationSecurity(security); }
    void setVisible(bool visible) override;
    std::shared_ptr<WordDocuments> documents() override;
    void quit(std::optional<int32_t> saveChanges = {}, std::optional<int32_t> originalFormat = {},
        std::optional<bool> routeDocument = {}) override;

    int32_t automationSecurity() const { return m_state->automationSecurity(); }

private:
    std::shared_ptr<LibreOfficeApplicationState> m_state;
    bool m_screenUpdating = true;
    int32_t m_displayAlerts = -1;
    bool m_visible = false;
};

}
