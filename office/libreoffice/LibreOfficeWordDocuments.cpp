#include "office/libreoffice/LibreOfficeWordDocuments.h"

#include "office/libreoffice/LibreOfficeWordDocument.h"

namespace office {

std::shared_ptr<WordDocument> LibreOfficeWordDocuments::open(
    const std::string& fileName, std::optional<bool>, std::optional<bool>, std::optional<bool>)
{
    // Every document is opened read-only whatever is asked: publishing only reads it.
    std::shared_ptr<UnoDocument> document = m_state->open(fileName);
    if (!document)
        return nullptr;
    return std::make_shared<LibreOfficeWordDocument>(std::move(document));
}

}
