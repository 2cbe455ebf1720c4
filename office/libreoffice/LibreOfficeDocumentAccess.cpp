#include "office/libreoffice/LibreOfficeDocumentAccess.h"

#include "office/ComError.h"
#include "office/libreoffice/UnoDocument.h"

#include <filesystem>

namespace office {

LibreOfficeDocumentAccess::LibreOfficeDocumentAccess(std::shared_ptr<UnoDocument> document)
    : m_document(std::move(document))
{
}

bool LibreOfficeDocumentAccess::readOnlyRecommended()
{
    return m_document->readOnlyRecommended();
}

int16_t LibreOfficeDocumentAccess::macroExecutionMode()
{
    return m_document->macroExecutionMode();
}

HResult LibreOfficeDocumentAccess::saveAs(
    const std::string& fileName, std::optional<ExportTarget> target, int32_t fileFormat)
{
    if (!target)
        throw ComError(
            hresult::invalidArgument, "format code " + std::to_string(fileFormat) + " is not supported");
    if (m_document->isClosed())
        throw ComError(hresult::disconnected, "the document " + m_document->path() + " is closed");
    std::error_code failure;
    // The source is only ever read: a target that names it (under any path) is refused.
    if (std::filesystem::equivalent(fileName, m_document->path(), failure))
        throw ComError(hresult::accessDenied, "refusing to write over the source document " + fileName);
    m_document->store(fileName, *target);
    return hresult::ok;
}

HResult LibreOfficeDocumentAccess::close()
{
    if (m_document->isClosed())
        throw ComError(hresult::disconnected, "the document " + m_document->path() + " is closed");
    m_document->close();
    return hresult::ok;
}

}
