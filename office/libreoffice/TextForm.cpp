#include "office/libreoffice/TextForm.h"

#include <fstream>
#include <iterator>

namespace office::textForm {

namespace {

void appendUnit(std::string& out, char16_t unit)
{
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

// Decodes UTF-8 leniently: a byte that does not start a valid sequence stands for itself as
// U+FFFD, so that nothing of the document's text is dropped silently.
std::u32string decodeUtf8(const std::string& text)
{
    std::u32string result;
    size_t index = 0;
    while (index < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[index]);
        int length = lead < 0x80 ? 1
            : (lead >> 5) == 6   ? 2
            : (lead >> 4) == 14  ? 3
            : (lead >> 3) == 30  ? 4
                                 : 0;
        if (length == 0 || index + length > text.size()) {
            result += U'\uFFFD';
            ++index;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int i = 1; i < length; ++i) {
            unsigned char next = static_cast<unsigned char>(text[index + i]);
            valid = valid && (next >> 6) == 2;
            code = (code << 6) | (next & 0x3F);
        }
        result += valid && code <= 0x10FFFF ? code : U'\uFFFD';
        index += valid ? length : 1;
    }
    return result;
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
    for (char32_t code : decodeUtf8(utf8WithCrlf(utf8))) {
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

bool readFile(const std::string& path, std::string& bytes)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    return static_cast<bool>(stream);
}

}
