#pragma once

#include <cstddef>

namespace platform {

// The code page of this system's narrow text. Narrow text here is UTF-8, whatever the locale
// of the calling process says, so that file names and licence text read the same in every
// program.
const char* narrowCodePage();

// Converts text between two character sets (iconv names such as "UTF-8"). Strict: input that
// is not valid in the source set, or output that does not fit, fails the conversion rather
// than being replaced.
class CodePageConverter {
public:
    CodePageConverter() = default;
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;
    ~CodePageConverter();

    // False when the system has no converter between the two sets.
    bool initialise(const char* fromCode, const char* toCode);

    // Converts length bytes of input into output, which holds capacity bytes; the number of
    // bytes written goes to written. False on invalid input, on lack of room, or when not
    // initialised.
    bool convert(const char* input, size_t length, char* output, size_t capacity, size_t& written);

private:
    void* m_descriptor = nullptr;
};

}
