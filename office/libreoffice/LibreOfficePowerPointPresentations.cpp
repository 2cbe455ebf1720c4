#include "office/libreoffice/LibreOfficePowerPointPresentations.h"

#include "office/libreoffice/LibreOfficePowerPointPresentation.h"

namespace office {

std::shared_ptr<PowerPointPresentation> LibreOfficePowerPointPresentations::open(
    const std::string& fileName, std::optional<bool>, std::optional<bool>, std::optional<bool>)
{
    std::shared_ptr<UnoDocument> document = m_state->open(fileName);
    if (!document)
        return nullptr;
    return std::make_shared<LibreOfficePowerPointPresentation>(std::move(document));
}

}
