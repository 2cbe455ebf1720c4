#pragma once

#include "office/libreoffice/ExportTarget.h"
#include "office/HResult.h"

#include <memory>
#include <optional>
#include <string>

namespace office {

class UnoDocument;

// The steps the Word, Excel and PowerPoint document objects share: the save under a target
// that never names the source, the close, the read-only recommendation.
class LibreOfficeDocumentAccess {
public:
    explicit LibreOfficeDocumentAccess(std::shared_ptr<UnoDocument> document);

    bool readOnlyRecommended();
    // target is empty for a format code the application does not know.
    HResult saveAs(const std::string& fileName, std::optional<ExportTarget> target, int32_t fileFormat);
    HResult close();
    int16_t macroExecutionMode();
    const std::shared_ptr<UnoDocument>& document() const { return m_document; }

private:
    std::shared_ptr<UnoDocument> m_document;
};

}
