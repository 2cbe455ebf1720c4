#pragma once

#include "office/AutomationApplication.h"
#include "office/WordDocuments.h"

#include <memory>
#include <optional>

namespace office {

// Word's Application object. Every call throws ComError on failure.
class WordApplication : public AutomationApplication {
public:
    virtual void setScreenUpdating(bool updating) = 0;
    virtual void setDisplayAlerts(int32_t alerts) = 0;
    // msoAutomationSecurity: applies to every document opened afterwards.
    virtual void setAutomationSecurity(int32_t security) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual std::shared_ptr<WordDocuments> documents() = 0;
    virtual void quit(std::optional<int32_t> saveChanges = {}, std::optional<int32_t> originalFormat = {},
        std::optional<bool> routeDocument = {})
        = 0;
};

}
