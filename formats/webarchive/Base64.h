#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace formats {

// Base64 of RFC 4648. MIME bodies want their lines broken; data: URIs do not.
std::string base64Encode(std::string_view bytes, size_t lineLength = 0);
// Skips white space; nullopt for any other character outside the alphabet or bad padding.
std::optional<std::string> base64Decode(std::string_view text);

}
