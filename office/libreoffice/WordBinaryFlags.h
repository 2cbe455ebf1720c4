#pragma once

#include <string>

namespace office {

// True when path is a Word 97-2003 compound file whose File Information Block has
// fReadOnlyRecommended set. False for anything else, including files that cannot be read.
bool wordBinaryRecommendsReadOnly(const std::string& path);

}
