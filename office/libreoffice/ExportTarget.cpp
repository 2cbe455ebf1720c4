#include "office/libreoffice/ExportTarget.h"

#include "office/OfficeFormat.h"

namespace office {

std::optional<ExportTarget> wordExportTarget(int32_t fileFormat)
{
    switch (fileFormat) {
    case wordFormat::html:
        return ExportTarget::Html;
    case wordFormat::webArchive:
        return ExportTarget::WebArchive;
    case wordFormat::text:
        return ExportTarget::Text;
    case wordFormat::unicodeText:
        return ExportTarget::UnicodeText;
    case wordFormat::pdf:
        return ExportTarget::Pdf;
    case wordFormat::xps:
        return ExportTarget::Xps;
    }
    return std::nullopt;
}

std::optional<ExportTarget> excelExportTarget(int32_t fileFormat)
{
    switch (fileFormat) {
    case excelFormat::html:
        return ExportTarget::Html;
    case excelFormat::webArchive:
        return ExportTarget::WebArchive;
    case excelFormat::currentPlatformText:
        return ExportTarget::Text;
    case excelFormat::unicodeText:
        return ExportTarget::UnicodeText;
    case excelFormat::pdf:
        return ExportTarget::Pdf;
    case excelFormat::xps:
        return ExportTarget::Xps;
    }
    return std::nullopt;
}

std::optional<ExportTarget> powerPointExportTarget(int32_t fileFormat)
{
    switch (fileFormat) {
    case powerPointFormat::html:
        return ExportTarget::Html;
    case powerPointFormat::webArchive:
        return ExportTarget::WebArchive;
    case powerPointFormat::text:
        return ExportTarget::Text;
    case powerPointFormat::unicodeText:
        return ExportTarget::UnicodeText;
    case powerPointFormat::pdf:
        return ExportTarget::Pdf;
    case powerPointFormat::xps:
        return ExportTarget::Xps;
    }
    return std::nullopt;
}

int16_t macroExecutionModeFor(int32_t automationSecurity)
{
    // com.sun.star.document.MacroExecMode constants.
    constexpr int16_t neverExecute = 0;
    constexpr int16_t alwaysExecuteNoWarn = 4;
    constexpr int16_t useConfigRejectConfirmation = 5;
    switch (automationSecurity) {
    case 1:
        return alwaysExecuteNoWarn;
    case 2:
        return useConfigRejectConfirmation;
    default:
        return neverExecute;
    }
}

}
