#include "bench/TimedAutomation.h"

#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "bench/TimedWordApplication.h"
#include "office/WordApplication.h"

TimedAutomation::TimedAutomation(
    std::unique_ptr<office::OfficeAutomation> real, std::shared_ptr<StepClock> clock)
    : m_real(std::move(real))
    , m_clock(std::move(clock))
{
}

TimedAutomation::~TimedAutomation()
{
    m_clock->time(stepName::officeEnd, [&] { m_real.reset(); });
}

office::HResult TimedAutomation::createInstance(
    const std::string& progId, std::shared_ptr<office::AutomationApplication>& application)
{
    office::HResult result
        = m_clock->time(stepName::officeStart, [&] { return m_real->createInstance(progId, application); });
    if (auto word = std::dynamic_pointer_cast<office::WordApplication>(application))
        application = std::make_shared<TimedWordApplication>(std::move(word), m_clock);
    return result;
}
