#pragma once

#include <cstdint>

namespace office {

// The SaveAs format codes of the three object models. PowerPoint has no plain-text target of
// its own; its text codes follow Word's so that the publishers can pass one table through.
namespace wordFormat {
constexpr int32_t text = 2;
constexpr int32_t unicodeText = 7;
constexpr int32_t html = 8;
constexpr int32_t webArchive = 9;
constexpr int32_t pdf = 17;
constexpr int32_t xps = 18;
}

namespace excelFormat {
constexpr int32_t unicodeText = 42;
constexpr int32_t html = 44;
constexpr int32_t webArchive = 45;
constexpr int32_t pdf = 57;
constexpr int32_t xps = 58;
constexpr int32_t currentPlatformText = -4158;
}

namespace powerPointFormat {
constexpr int32_t text = 2;
constexpr int32_t unicodeText = 7;
constexpr int32_t html = 12;
constexpr int32_t webArchive = 20;
constexpr int32_t pdf = 32;
constexpr int32_t xps = 33;
}

// AutomationSecurity values (msoAutomationSecurity...).
namespace automationSecurity {
constexpr int32_t low = 1;
constexpr int32_t byUi = 2;
constexpr int32_t forceDisable = 3;
}

}
