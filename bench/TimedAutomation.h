#pragma once

#include "office/OfficeAutomation.h"

#include <memory>

class StepClock;

// The automation of a session with the office's start and end timed, and Word handed out as a
// timed Word, so that every Word call that the job makes lands in its step. Other applications
// are handed out as they are.
class TimedAutomation : public office::OfficeAutomation {
public:
    TimedAutomation(std::unique_ptr<office::OfficeAutomation> real, std::shared_ptr<StepClock> clock);
    // Ending the real automation ends its office, which is timed too.
    ~TimedAutomation() override;

    office::HResult createInstance(
        const std::string& progId, std::shared_ptr<office::AutomationApplication>& application) override;

private:
    std::unique_ptr<office::OfficeAutomation> m_real;
    std::shared_ptr<StepClock> m_clock;
};
