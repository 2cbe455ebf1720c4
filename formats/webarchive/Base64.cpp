#include "formats/webarchive/Base64.h"

namespace formats {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+' || c == '-')
        return 62;
    if (c == '/' || c == '_')
        return 63;
    return -1;
}

}

std::string base64Encode(std::string_view bytes, size_t lineLength)
{
    std::string result;
    result.reserve(bytes.size() * 4 / 3 + 4 + (lineLength ? bytes.size() / lineLength * 2 : 0));
    size_t column = 0;
    auto put = [&](char c) {
        if (lineLength && column == lineLength) {
            result += "\r\n";
            column = 0;
        }
        result += c;
        ++column;
    };
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8
            | static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            put(alphabet[(value >> shift) & 63]);
    }
    if (size_t left = bytes.size() - i) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2)
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        put(alphabet[(value >> 18) & 63]);
        put(alphabet[(value >> 12) & 63]);
        put(left == 2 ? alphabet[(value >> 6) & 63] : '=');
        put('=');
    }
    return result;
}

std::optional<std::string> base64Decode(std::string_view text)
{
    std::string result;
    result.reserve(text.size() * 3 / 4);
    unsigned value = 0;
    int bits = 0;
    bool padding = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f')
            continue;
        if (c == '=') {
            padding = true;
            continue;
        }
        int digit = valueOf(c);
        if (digit < 0 || padding)
            return std::nullopt;
        value = value << 6 | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            result += static_cast<char>((value >> bits) & 0xff);
        }
    }
    // Six bits left over cannot come from whole bytes.
    if (bits >= 6)
        return std::nullopt;
    return result;
}

}
