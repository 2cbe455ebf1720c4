#include "foundation/StringConverter.h"

#include <cstring>
#include <string>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes one UTF-8 sequence at text and advances it; malformed input yields U+FFFD and
// consumes one byte, so that decoding always makes progress.
char32_t decodeUtf8(const unsigned char*& text)
{
    unsigned char lead = *text++;
    if (lead < 0x80)
        return lead;
    int continuation = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        continuation = 1;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return Replacement;
    }
    const unsigned char* cursor = text;
    for (int i = 0; i < continuation; ++i, ++cursor) {
        if ((*cursor & 0xC0) != 0x80)
            return Replacement;
        codePoint = (codePoint << 6) | (*cursor & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return Replacement;
    text = cursor;
    return codePoint;
}

void encodeUtf8(char32_t codePoint, std::string& out)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}

std::unique_ptr<char16_t[]> StringConverter::toWideChar(const char* text)
{
    if (!text)
        return nullptr;
    std::u16string wide;
    auto cursor = reinterpret_cast<const unsigned char*>(text);
    while (*cursor) {
        char32_t codePoint = decodeUtf8(cursor);
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            wide += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            wide += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            wide += static_cast<char16_t>(codePoint);
        }
    }
    auto result = std::make_unique<char16_t[]>(wide.size() + 1);
    std::memcpy(result.get(), wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
    return result;
}

std::unique_ptr<char[]> StringConverter::toMultiByte(const char16_t* text)
{
    if (!text)
        return nullptr;
    std::string narrow;
    for (const char16_t* cursor = text; *cursor; ++cursor) {
        char32_t unit = *cursor;
        if (unit >= 0xD800 && unit <= 0xDBFF && cursor[1] >= 0xDC00 && cursor[1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (cursor[1] - 0xDC00);
            ++cursor;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = Replacement;
        }
        encodeUtf8(unit, narrow);
    }
    auto result = std::make_unique<char[]>(narrow.size() + 1);
    std::memcpy(result.get(), narrow.c_str(), narrow.size() + 1);
    return result;
}
