#include "formats/webarchive/WebArchiveEncoding.h"

#include "foundation/StringConverter.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace formats::webarchive {

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

std::string toBase64(std::string_view bytes)
{
    QByteArray encoded
        = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64();
    return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

// What a numeric character reference stands for in HTML: NUL and anything that is no code
// point become U+FFFD.
void appendCharacterReference(std::string& out, unsigned long code)
{
    bool valid = code != 0 && code <= 0x10FFFF;
    StringConverter::appendUtf8(out, valid ? static_cast<char32_t>(code) : StringConverter::Replacement);
}

// Encodes one source line (without its line break) into soft-broken output lines.
void encodeLine(std::string& out, std::string_view line)
{
    size_t column = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool last = i + 1 == line.size();
        // Trailing white space would be stripped by mail transports, so it is encoded.
        bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
        size_t width = literal ? 1 : 3;
        if (column + width > 75) {
            out += "=\r\n";
            column = 0;
        }
        if (literal) {
            out += static_cast<char>(c);
        } else {
            out += '=';
            out += hexDigits[c >> 4];
            out += hexDigits[c & 15];
        }
        column += width;
    }
}

}

std::string quotedPrintable(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        bool finalLine = end == std::string_view::npos;
        std::string_view line = text.substr(start, finalLine ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        encodeLine(out, line);
        if (finalLine)
            break;
        out += "\r\n";
        start = end + 1;
    }
    return out;
}

std::string base64Lines(std::string_view bytes)
{
    constexpr size_t lineLength = 76;
    std::string encoded = toBase64(bytes);
    std::string out;
    out.reserve(encoded.size() + encoded.size() / lineLength * 2);
    for (size_t start = 0; start < encoded.size(); start += lineLength) {
        if (start > 0)
            out += "\r\n";
        out.append(encoded, start, lineLength);
    }
    return out;
}

std::string headerText(std::string_view utf8)
{
    bool plain = std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 32 && c <= 126; });
    if (plain)
        return std::string(utf8);
    std::string cleaned;
    for (char c : utf8)
        cleaned += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    return "=?utf-8?B?" + toBase64(cleaned) + "?=";
}

std::string mailDate(std::time_t moment)
{
    static const char* const days[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    static const char* const months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    std::tm parts {};
    gmtime_r(&moment, &parts);
    char text[64];
    std::snprintf(text, sizeof(text), "%s, %02d %s %04d %02d:%02d:%02d +0000", days[parts.tm_wday],
        parts.tm_mday, months[parts.tm_mon], parts.tm_year + 1900, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::string contentTypeFor(std::string_view fileName)
{
    static const std::pair<const char*, const char*> types[] = {
        { "png", "image/png" },
        { "jpg", "image/jpeg" },
        { "jpeg", "image/jpeg" },
        { "gif", "image/gif" },
        { "bmp", "image/bmp" },
        { "svg", "image/svg+xml" },
        { "webp", "image/webp" },
        { "tif", "image/tiff" },
        { "tiff", "image/tiff" },
        { "wmf", "image/x-wmf" },
        { "emf", "image/x-emf" },
        { "ico", "image/x-icon" },
        { "css", "text/css" },
        { "js", "application/javascript" },
        { "htm", "text/html" },
        { "html", "text/html" },
        { "xhtml", "application/xhtml+xml" },
        { "xml", "text/xml" },
    };
    size_t period = fileName.rfind('.');
    if (period == std::string_view::npos)
        return "application/octet-stream";
    std::string extension;
    for (char c : fileName.substr(period + 1))
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [suffix, type] : types) {
        if (extension == suffix)
            return type;
    }
    return "application/octet-stream";
}

std::string decodeEntities(std::string_view text)
{
    static const std::pair<const char*, const char*> named[] = {
        { "amp", "&" },
        { "lt", "<" },
        { "gt", ">" },
        { "quot", "\"" },
        { "apos", "'" },
        { "nbsp", "\xC2\xA0" },
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        std::string_view name = text.substr(i + 1, semicolon - i - 1);
        bool done = false;
        if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            std::string digits(name.substr(hex ? 2 : 1));
            char* end = nullptr;
            unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == '\0') {
                appendCharacterReference(out, code);
                done = true;
            }
        } else {
            for (const auto& [entity, replacement] : named) {
                if (name == entity) {
                    out += replacement;
                    done = true;
                }
            }
        }
        if (done)
            i = semicolon;
        else
            out += text[i];
    }
    return out;
}

}
