#pragma once

#include "office/libreoffice/LibreOfficeApplicationState.h"
#include "office/PowerPointPresentations.h"

namespace office {

class LibreOfficePowerPointPresentations : public PowerPointPresentations {
public:
    explicit LibreOfficePowerPointPresentations(std::shared_ptr<LibreOfficeApplicationState> state)
        : m_state(std::move(state))
    {
    }

    int32_t count() override { return m_state->openCount(); }
    std::shared_ptr<PowerPointPresentation> open(const std::string& fileName,
        std::optional<bool> readOnly = {}, std::optional<bool> untitled = {},
        std::optional<bool> withWindow = {}) override;

private:
    std::shared_ptr<LibreOfficeApplicationState> m_state;
};

}
