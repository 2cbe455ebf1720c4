#pragma once

#include "office/libreoffice/LibreOfficeApplicationState.h"
#include "office/WordDocuments.h"

namespace office {

class LibreOfficeWordDocuments : public WordDocuments {
public:
    explicit LibreOfficeWordDocuments(std::shared_ptr<LibreOfficeApplicationState> state)
        : m_state(std::move(state))
    {
    }

    std::shared_ptr<WordDocument> open(const std::string& fileName,
        std::optional<bool> confirmConversions = {}, std::optional<bool> readOnly = {},
        std::optional<bool> addToRecentFiles = {}) override;
    int32_t count() override { return m_state->openCount(); }

private:
    std::shared_ptr<LibreOfficeApplicationState> m_state;
};

}
