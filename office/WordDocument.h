#pragma once

#include "office/HResult.h"

#include <cstdint>
#include <optional>
#include <string>

namespace office {

// One open Word document. Every call throws ComError on failure; an empty optional is an
// omitted argument.
class WordDocument {
public:
    virtual ~WordDocument() = default;

    virtual bool readOnlyRecommended() = 0;
    // Writes the document under fileName in the format of fileFormat (wordFormat codes) and
    // leaves the document and its source file as they were. Returns the call's status.
    virtual HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat = {}) = 0;
    virtual HResult close(std::optional<int32_t> saveChanges = {}, std::optional<int32_t> originalFormat = {},
        std::optional<bool> routeDocument = {})
        = 0;
};

}
