#include "office/libreoffice/UnoText.h"

#include <filesystem>

namespace office {

std::string fileUrl(const std::string& path)
{
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        std::error_code ignored;
        absolute = (std::filesystem::current_path(ignored) / path).string();
    }
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char byte : absolute) {
        bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
            || (byte >= '0' && byte <= '9') || byte == '/' || byte == '-' || byte == '_' || byte == '.'
            || byte == '~';
        if (plain) {
            url += static_cast<char>(byte);
        } else {
            url += '%';
            url += hex[byte >> 4];
            url += hex[byte & 15];
        }
    }
    return url;
}

}
