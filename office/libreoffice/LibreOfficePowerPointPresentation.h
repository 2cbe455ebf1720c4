#pragma once

#include "office/PowerPointPresentation.h"
#include "office/libreoffice/LibreOfficeDocumentAccess.h"

namespace office {

class LibreOfficePowerPointPresentation : public PowerPointPresentation {
public:
    explicit LibreOfficePowerPointPresentation(std::shared_ptr<UnoDocument> document)
        : m_access(std::move(document))
    {
    }

    HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat = {}) override
    {
        int32_t code = fileFormat.value_or(-1);
        return m_access.saveAs(fileName, powerPointExportTarget(code), code);
    }
    HResult close() override { return m_access.close(); }

private:
    LibreOfficeDocumentAccess m_access;
};

}
