#pragma once

#include <string>
#include <string_view>

namespace platform {

// The %XX escapes of URLs, one way for every part of the program: file URLs for the office,
// paths in a web archive, documents named on an office's command line. Text is bytes.
namespace percentEncoding {

// Every byte escaped but the unreserved ones (letters, digits, "-._~") and '/', so that a
// name that is not UTF-8 travels unchanged; upper-case hex digits.
std::string encodedPath(std::string_view path);
// The %XX escapes decoded; an invalid escape stays as it is.
std::string decoded(std::string_view text);

}

}
