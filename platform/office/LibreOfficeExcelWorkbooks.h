#pragma once

#include "platform/office/ExcelWorkbooks.h"
#include "platform/office/LibreOfficeApplicationState.h"

namespace platform {

class LibreOfficeExcelWorkbooks : public ExcelWorkbooks {
public:
    explicit LibreOfficeExcelWorkbooks(std::shared_ptr<LibreOfficeApplicationState> state)
        : m_state(std::move(state))
    {
    }

    std::shared_ptr<ExcelWorkbook> open(const std::string& fileName, std::optional<int32_t> updateLinks = {},
        std::optional<bool> readOnly = {}) override;
    int32_t count() override { return m_state->openCount(); }

private:
    std::shared_ptr<LibreOfficeApplicationState> m_state;
};

}
