#pragma once

namespace office {

// What creation by ProgID hands back before the caller asks for the application interface it
// wants (WordApplication, ExcelApplication or PowerPointApplication), as QueryInterface would.
class AutomationApplication {
public:
    virtual ~AutomationApplication() = default;
};

}
