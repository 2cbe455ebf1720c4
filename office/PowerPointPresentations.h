#pragma once

#include "office/PowerPointPresentation.h"

#include <memory>
#include <optional>
#include <string>

namespace office {

// PowerPoint's Presentations collection.
class PowerPointPresentations {
public:
    virtual ~PowerPointPresentations() = default;

    virtual int32_t count() = 0;
    // The presentation, or none. Never prompts.
    virtual std::shared_ptr<PowerPointPresentation> open(const std::string& fileName,
        std::optional<bool> readOnly = {}, std::optional<bool> untitled = {},
        std::optional<bool> withWindow = {})
        = 0;
};

}
