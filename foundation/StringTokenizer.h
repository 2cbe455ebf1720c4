#pragma once

#include "foundation/Object.h"

#include <cstdint>

class String;

// Splits a command line into words at blanks, tabs and commas, honouring double quotes. It
// walks the caller's text, which must outlive it.
class StringTokenizer : public Object {
public:
    explicit StringTokenizer(const char* text);

    // Puts the next word into token and returns the advanced position, or null (token
    // untouched) when nothing is left.
    const char* getToken(String& token);

private:
    bool isDelimiter(char character) const;

    const char* m_cursor;
    int32_t m_delimiterCount = 3;
    char m_delimiters[8] = { ' ', '\t', ',' };
};
