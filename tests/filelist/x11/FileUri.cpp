#include "FileUri.h"

namespace {

// By hand rather than with isalnum, whose answer for bytes above 127 follows the locale.
bool keptAsIs(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
        || byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/';
}

}

QByteArray fileUri(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray uri = "file://";
    for (unsigned char byte : path) {
        if (keptAsIs(byte)) {
            uri += static_cast<char>(byte);
        } else {
            uri += '%';
            uri += hex[byte >> 4];
            uri += hex[byte & 0xF];
        }
    }
    return uri;
}
