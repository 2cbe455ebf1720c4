#pragma once

#include "office/WordApplication.h"

#include <memory>

class StepClock;

// Word's Application object with every call timed and forwarded to the real one. It is an
// application of automation itself, so that the session takes it for Word as it takes the real
// object; the documents it hands out are timed too.
class TimedWordApplication : public office::WordApplication {
public:
    TimedWordApplication(std::shared_ptr<office::WordApplication> real, std::shared_ptr<StepClock> clock);

    void setScreenUpdating(bool updating) override;
    void setDisplayAlerts(int32_t alerts) override;
    void setAutomationSecurity(int32_t security) override;
    void setVisible(bool visible) override;
    std::shared_ptr<office::WordDocuments> documents() override;
    void quit(std::optional<int32_t> saveChanges, std::optional<int32_t> originalFormat,
        std::optional<bool> routeDocument) override;

private:
    std::shared_ptr<office::WordApplication> m_real;
    std::shared_ptr<StepClock> m_clock;
};
