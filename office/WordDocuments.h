#pragma once

#include "office/WordDocument.h"

#include <memory>
#include <optional>
#include <string>

namespace office {

// Word's Documents collection.
class WordDocuments {
public:
    virtual ~WordDocuments() = default;

    // The document, or none when Word gives none back. Never prompts: a document that needs a
    // password or cannot be read fails with ComError.
    virtual std::shared_ptr<WordDocument> open(const std::string& fileName,
        std::optional<bool> confirmConversions = {}, std::optional<bool> readOnly = {},
        std::optional<bool> addToRecentFiles = {})
        = 0;
    virtual int32_t count() = 0;
};

}
