#pragma once

#include "office/ExcelWorkbook.h"

#include <memory>
#include <optional>
#include <string>

namespace office {

// Excel's Workbooks collection.
class ExcelWorkbooks {
public:
    virtual ~ExcelWorkbooks() = default;

    // The workbook, or none. Never prompts: a workbook that needs a password or cannot be read
    // fails with ComError.
    virtual std::shared_ptr<ExcelWorkbook> open(const std::string& fileName,
        std::optional<int32_t> updateLinks = {}, std::optional<bool> readOnly = {})
        = 0;
    virtual int32_t count() = 0;
};

}
