#include "office/libreoffice/TextForm.h"

#include "foundation/StringConverter.h"

namespace office::textForm {

namespace {

void appendUnit(std::string& out, char16_t unit)
{
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

}

std::string utf8WithCrlf(const std::string& utf8)
{
    size_t start = utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 16);
    for (size_t i = start; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string utf16LeWithBom(const std::string& utf8)
{
    std::string out;
    appendUnit(out, 0xFEFF);
    for (char32_t code : StringConverter::decodeUtf8Replacing(utf8WithCrlf(utf8))) {
        if (code >= 0x10000) {
            code -= 0x10000;
            appendUnit(out, static_cast<char16_t>(0xD800 + (code >> 10)));
            appendUnit(out, static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            appendUnit(out, static_cast<char16_t>(code));
        }
    }
    return out;
}

std::string normalizedUtf16Le(const std::string& bytes)
{
    std::string out;
    appendUnit(out, 0xFEFF);
    size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) {
        return static_cast<char16_t>(
            static_cast<unsigned char>(bytes[2 * i]) | (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    size_t start = units > 0 && unitAt(0) == 0xFEFF ? 1 : 0;
    for (size_t i = start; i < units; ++i) {
        char16_t unit = unitAt(i);
        if (unit == u'\r') {
            appendUnit(out, u'\r');
            appendUnit(out, u'\n');
            if (i + 1 < units && unitAt(i + 1) == u'\n')
                ++i;
        } else if (unit == u'\n') {
            appendUnit(out, u'\r');
            appendUnit(out, u'\n');
        } else {
            appendUnit(out, unit);
        }
    }
    return out;
}

}
