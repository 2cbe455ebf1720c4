#include "platform/office/LibreOfficePowerPointPresentations.h"

#include "platform/office/LibreOfficePowerPointPresentation.h"

namespace platform {

std::shared_ptr<PowerPointPresentation> LibreOfficePowerPointPresentations::open(
    const std::string& fileName, std::optional<bool>, std::optional<bool>, std::optional<bool>)
{
    std::shared_ptr<UnoDocument> document = m_state->open(fileName);
    if (!document)
        return nullptr;
    return std::make_shared<LibreOfficePowerPointPresentation>(std::move(document));
}

}
