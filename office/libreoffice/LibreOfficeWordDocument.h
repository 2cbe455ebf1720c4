#pragma once

#include "office/libreoffice/LibreOfficeDocumentAccess.h"
#include "office/WordDocument.h"

namespace office {

class LibreOfficeWordDocument : public WordDocument {
public:
    explicit LibreOfficeWordDocument(std::shared_ptr<UnoDocument> document)
        : m_access(std::move(document))
    {
    }

    bool readOnlyRecommended() override { return m_access.readOnlyRecommended(); }
    HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat = {}) override;
    HResult close(std::optional<int32_t> saveChanges = {}, std::optional<int32_t> originalFormat = {},
        std::optional<bool> routeDocument = {}) override;
    // The MacroExecutionMode LibreOffice recorded when it loaded the document.
    int16_t macroExecutionMode() { return m_access.macroExecutionMode(); }

private:
    LibreOfficeDocumentAccess m_access;
};

}
