#pragma once

#include "foundation/Object.h"

#include <memory>

// Converts between the narrow text of the program (UTF-8 here) and UTF-16, which only the
// calls that need it see. File names are byte strings and do not go through here.
class StringConverter : public Object {
public:
    // Null for null. A byte that is not part of valid UTF-8 becomes U+FFFD.
    static std::unique_ptr<char16_t[]> toWideChar(const char* text);
    // Null for null. An unpaired surrogate becomes U+FFFD.
    static std::unique_ptr<char[]> toMultiByte(const char16_t* text);
};
