#pragma once

#include "office/AutomationApplication.h"
#include "office/PowerPointPresentations.h"

#include <cstdint>
#include <memory>

namespace office {

// PowerPoint's Application object. Every call throws ComError on failure.
class PowerPointApplication : public AutomationApplication {
public:
    virtual int32_t windowState() = 0;
    virtual void setWindowState(int32_t state) = 0;
    // ppAlertsNone (1) or ppAlertsAll (2).
    virtual void setDisplayAlerts(int32_t alerts) = 0;
    // msoAutomationSecurity: applies to every presentation opened afterwards.
    virtual void setAutomationSecurity(int32_t security) = 0;
    virtual std::shared_ptr<PowerPointPresentations> presentations() = 0;
    // The main window's handle; 0 when the application shows no window.
    virtual intptr_t hwnd() = 0;
    virtual void quit() = 0;
};

}
