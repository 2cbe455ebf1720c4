#pragma once

#include "office/ExcelWorkbook.h"
#include "office/libreoffice/LibreOfficeDocumentAccess.h"

namespace office {

class LibreOfficeExcelWorkbook : public ExcelWorkbook {
public:
    explicit LibreOfficeExcelWorkbook(std::shared_ptr<UnoDocument> document)
        : m_access(std::move(document))
    {
    }

    bool readOnlyRecommended() override { return m_access.readOnlyRecommended(); }
    HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat = {},
        std::optional<std::string> password = {}, std::optional<std::string> writeResPassword = {},
        std::optional<bool> readOnlyRecommended = {}, std::optional<bool> createBackup = {},
        std::optional<int32_t> accessMode = {}) override;
    HResult close(std::optional<bool> saveChanges = {}, std::optional<std::string> fileName = {},
        std::optional<bool> routeWorkbook = {}) override;
    int16_t macroExecutionMode() { return m_access.macroExecutionMode(); }

private:
    LibreOfficeDocumentAccess m_access;
};

}
