#include "platform/PercentEncoding.h"

#include <glib.h>

#include <memory>

namespace platform::percentEncoding {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}

std::string encodedPath(std::string_view path)
{
    // GLib keeps the unreserved characters and those allowed here, and escapes every other
    // byte, non-ASCII ones too when UTF-8 is not allowed.
    std::unique_ptr<char, decltype(&g_free)> escaped(
        g_uri_escape_string(std::string(path).c_str(), "/", FALSE), &g_free);
    return escaped ? std::string(escaped.get()) : std::string();
}

std::string decoded(std::string_view text)
{
    // g_uri_unescape_string refuses a whole text for one escape that is not one, where a
    // document's name or a link must still show; so the escapes are decoded here.
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        int high = text[i] == '%' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}
