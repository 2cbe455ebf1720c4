#pragma once

#include "office/HResult.h"

#include <cstdint>
#include <optional>
#include <string>

namespace office {

// One open Excel workbook. Every call throws ComError on failure; an empty optional is an
// omitted argument.
class ExcelWorkbook {
public:
    virtual ~ExcelWorkbook() = default;

    virtual bool readOnlyRecommended() = 0;
    // Writes the workbook under fileName in the format of fileFormat (excelFormat codes),
    // leaving the workbook and its source file as they were. Returns the call's status.
    virtual HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat = {},
        std::optional<std::string> password = {}, std::optional<std::string> writeResPassword = {},
        std::optional<bool> readOnlyRecommended = {}, std::optional<bool> createBackup = {},
        std::optional<int32_t> accessMode = {})
        = 0;
    virtual HResult close(std::optional<bool> saveChanges = {}, std::optional<std::string> fileName = {},
        std::optional<bool> routeWorkbook = {})
        = 0;
};

}
