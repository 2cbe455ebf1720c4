#include "office/libreoffice/LibreOfficePowerPointApplication.h"

#include "office/libreoffice/LibreOfficePowerPointPresentations.h"

namespace office {

LibreOfficePowerPointApplication::LibreOfficePowerPointApplication(std::shared_ptr<LibreOfficeSuite> suite)
    : m_state(std::make_shared<LibreOfficeApplicationState>(std::move(suite), DocumentFamily::PowerPoint))
{
}

int32_t LibreOfficePowerPointApplication::windowState()
{
    m_state->checkRunning();
    return m_windowState;
}

void LibreOfficePowerPointApplication::setWindowState(int32_t state)
{
    m_state->checkRunning();
    m_windowState = state;
}

void LibreOfficePowerPointApplication::setDisplayAlerts(int32_t alerts)
{
    m_state->checkRunning();
    m_displayAlerts = alerts;
}

std::shared_ptr<PowerPointPresentations> LibreOfficePowerPointApplication::presentations()
{
    m_state->checkRunning();
    return std::make_shared<LibreOfficePowerPointPresentations>(m_state);
}

intptr_t LibreOfficePowerPointApplication::hwnd()
{
    m_state->checkRunning();
    return 0;
}

}
