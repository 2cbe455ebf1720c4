#include "foundation/StringConverter.h"

#include <cstring>

namespace {

bool isSurrogate(char32_t codePoint)
{
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

}

bool StringConverter::decodeUtf8(std::string_view text, size_t& index, char32_t& codePoint)
{
    if (index >= text.size())
        return false;
    auto byteAt = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    unsigned char lead = byteAt(index);
    if (lead < 0x80) {
        codePoint = lead;
        ++index;
        return true;
    }
    size_t continuation = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        continuation = 1;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - index - 1 < continuation)
        return false;
    for (size_t i = 1; i <= continuation; ++i) {
        unsigned char next = byteAt(index + i);
        if ((next & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || isSurrogate(value))
        return false;
    codePoint = value;
    index += continuation + 1;
    return true;
}

std::u32string StringConverter::decodeUtf8Replacing(std::string_view text)
{
    std::u32string result;
    result.reserve(text.size());
    size_t index = 0;
    while (index < text.size()) {
        char32_t codePoint = 0;
        if (decodeUtf8(text, index, codePoint)) {
            result += codePoint;
        } else {
            result += Replacement;
            ++index;
        }
    }
    return result;
}

bool StringConverter::isValidUtf8(std::string_view text)
{
    size_t index = 0;
    char32_t ignored = 0;
    while (index < text.size()) {
        if (!decodeUtf8(text, index, ignored))
            return false;
    }
    return true;
}

void StringConverter::appendUtf8(std::string& out, char32_t codePoint)
{
    if (isSurrogate(codePoint) || codePoint > 0x10FFFF)
        codePoint = Replacement;
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

std::unique_ptr<char16_t[]> StringConverter::toWideChar(const char* text)
{
    if (!text)
        return nullptr;
    std::u16string wide;
    for (char32_t codePoint : decodeUtf8Replacing(text)) {
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
        }
        appendUtf8(narrow, unit);
    }
    auto result = std::make_unique<char[]>(narrow.size() + 1);
    std::memcpy(result.get(), narrow.c_str(), narrow.size() + 1);
    return result;
}
