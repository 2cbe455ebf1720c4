#pragma once

#include <cstdint>
#include <optional>

namespace office {

// What a SaveAs produces, whatever the application's own code for it.
enum class ExportTarget { Html, WebArchive, Text, UnicodeText, Pdf, Xps };

std::optional<ExportTarget> wordExportTarget(int32_t fileFormat);
std::optional<ExportTarget> excelExportTarget(int32_t fileFormat);
std::optional<ExportTarget> powerPointExportTarget(int32_t fileFormat);

// LibreOffice's MacroExecutionMode for an msoAutomationSecurity value: low runs macros without
// asking, by-UI follows the configured security with every confirmation refused (nobody is
// there to answer), and force-disable never runs any. Other values never run macros either.
int16_t macroExecutionModeFor(int32_t automationSecurity);

}
