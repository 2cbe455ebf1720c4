#include "office/libreoffice/UnoText.h"

#include "platform/PercentEncoding.h"

#include <filesystem>

namespace office {

std::string fileUrl(const std::string& path)
{
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        std::error_code ignored;
        absolute = (std::filesystem::current_path(ignored) / path).string();
    }
    return "file://" + platform::percentEncoding::encodedPath(absolute);
}

}
