#pragma once

#include "office/AutomationApplication.h"
#include "office/ExcelWorkbooks.h"

#include <memory>

namespace office {

// Excel's Application object. Every call throws ComError on failure.
class ExcelApplication : public AutomationApplication {
public:
    virtual void setVisible(bool visible) = 0;
    virtual void setDisplayAlerts(bool alerts) = 0;
    virtual void setDisplayInfoWindow(bool display) = 0;
    virtual void setInteractive(bool interactive) = 0;
    virtual void setScreenUpdating(bool updating) = 0;
    // msoAutomationSecurity: applies to every workbook opened afterwards.
    virtual void setAutomationSecurity(int32_t security) = 0;
    virtual std::shared_ptr<ExcelWorkbooks> workbooks() = 0;
    virtual void quit() = 0;
};

}
