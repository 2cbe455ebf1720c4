#pragma once

#include "office/AutomationApplication.h"
#include "office/HResult.h"

#include <memory>
#include <string>

namespace office {

// Starts office applications by ProgID ("Word.Application", "Excel.Application",
// "PowerPoint.Application"). One object serves one automation session; the LibreOffice
// implementation and the scripted fake of the tests are its two implementations.
class OfficeAutomation {
public:
    virtual ~OfficeAutomation() = default;

    // A negative result means creation failed and application stays empty. Text that begins
    // with "{" names a class by its identifier rather than by ProgID.
    virtual HResult createInstance(
        const std::string& progId, std::shared_ptr<AutomationApplication>& application)
        = 0;

    // Creation followed by the request for one application interface: noInterface when the
    // object created is not an Interface.
    template <typename Interface>
    HResult createApplication(const std::string& progId, std::shared_ptr<Interface>& application)
    {
        application.reset();
        std::shared_ptr<AutomationApplication> created;
        HResult result = createInstance(progId, created);
        if (failed(result))
            return result;
        application = std::dynamic_pointer_cast<Interface>(created);
        return application ? result : hresult::noInterface;
    }
};

}
