#include "office/libreoffice/LibreOfficeWordApplication.h"

#include "office/libreoffice/LibreOfficeWordDocuments.h"

namespace office {

LibreOfficeWordApplication::LibreOfficeWordApplication(std::shared_ptr<LibreOfficeSuite> suite)
    : m_state(std::make_shared<LibreOfficeApplicationState>(std::move(suite), DocumentFamily::Word))
{
}

void LibreOfficeWordApplication::setScreenUpdating(bool updating)
{
    m_state->checkRunning();
    m_screenUpdating = updating;
}

void LibreOfficeWordApplication::setDisplayAlerts(int32_t alerts)
{
    m_state->checkRunning();
    m_displayAlerts = alerts;
}

void LibreOfficeWordApplication::setVisible(bool visible)
{
    m_state->checkRunning();
    m_visible = visible;
}

std::shared_ptr<WordDocuments> LibreOfficeWordApplication::documents()
{
    m_state->checkRunning();
    return std::make_shared<LibreOfficeWordDocuments>(m_state);
}

void LibreOfficeWordApplication::quit(std::optional<int32_t>, std::optional<int32_t>, std::optional<bool>)
{
    m_state->quit();
}

}
