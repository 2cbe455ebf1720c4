#pragma once

#include "office/HResult.h"

#include <cstdint>
#include <optional>
#include <string>

namespace office {

// One open PowerPoint presentation. Every call throws ComError on failure.
class PowerPointPresentation {
public:
    virtual ~PowerPointPresentation() = default;

    // Writes the presentation under fileName in the format of fileFormat (powerPointFormat
    // codes), leaving the presentation and its source file as they were.
    virtual HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat = {}) = 0;
    virtual HResult close() = 0;
};

}
