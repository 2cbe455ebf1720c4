#include "bench/TimedWordApplication.h"

#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "bench/TimedWordDocuments.h"

TimedWordApplication::TimedWordApplication(
    std::shared_ptr<office::WordApplication> real, std::shared_ptr<StepClock> clock)
    : m_real(std::move(real))
    , m_clock(std::move(clock))
{
}

void TimedWordApplication::setScreenUpdating(bool updating)
{
    m_clock->time(stepName::alertsAndVisibility, [&] { m_real->setScreenUpdating(updating); });
}

void TimedWordApplication::setDisplayAlerts(int32_t alerts)
{
    m_clock->time(stepName::alertsAndVisibility, [&] { m_real->setDisplayAlerts(alerts); });
}

void TimedWordApplication::setAutomationSecurity(int32_t security)
{
    m_clock->time(stepName::macroSecurity, [&] { m_real->setAutomationSecurity(security); });
}

void TimedWordApplication::setVisible(bool visible)
{
    m_clock->time(stepName::alertsAndVisibility, [&] { m_real->setVisible(visible); });
}

std::shared_ptr<office::WordDocuments> TimedWordApplication::documents()
{
    std::shared_ptr<office::WordDocuments> documents
        = m_clock->time(stepName::documents, [&] { return m_real->documents(); });
    if (!documents)
        return nullptr;
    return std::make_shared<TimedWordDocuments>(std::move(documents), m_clock);
}

void TimedWordApplication::quit(std::optional<int32_t> saveChanges, std::optional<int32_t> originalFormat,
    std::optional<bool> routeDocument)
{
    m_clock->time(stepName::quit, [&] { m_real->quit(saveChanges, originalFormat, routeDocument); });
}
