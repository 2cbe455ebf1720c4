#pragma once

#include "office/ExcelWorkbooks.h"
#include "office/libreoffice/LibreOfficeApplicationState.h"

namespace office {

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
