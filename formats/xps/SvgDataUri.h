#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace formats::svg {

// The bytes an image element carries inside the page, as a base64 data: URI.
struct SvgDataUri {
    // The decoded bytes of "data:<type>;base64,<data>"; nullopt for any other reference (a file
    // is never followed) and for data that is no base64. White space inside the data is skipped,
    // since writers break long URIs into lines; either the standard or the URL alphabet is
    // taken, but not a mix of the two, which no encoder writes.
    static std::optional<std::string> bytes(std::string_view href);
};

}
