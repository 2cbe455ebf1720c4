#include "platform/DesktopClassesRoot.h"

#include "platform/DesktopApplications.h"

#include <string_view>

namespace platform {

namespace {

constexpr std::string_view openCommandKey = "\\shell\\open\\command";

bool isExtensionKey(const std::string& key)
{
    return key.size() > 1 && key.front() == '.' && key.find('\\') == std::string::npos;
}

// The MIME type named by "TYPE\shell\open\command", or nothing for any other key.
std::optional<std::string> typeOfOpenCommandKey(const std::string& key)
{
    if (key.size() <= openCommandKey.size())
        return std::nullopt;
    std::string type = key.substr(0, key.size() - openCommandKey.size());
    std::string rest = key.substr(type.size());
    if (!registryNamesEqual(rest, std::string(openCommandKey)) || type.find('\\') != std::string::npos)
        return std::nullopt;
    return type;
}

}

std::optional<RegistryValue> readDesktopClassesRoot(const std::string& key, const std::string& name)
{
    if (!name.empty())
        return std::nullopt;
    std::optional<std::string> text;
    if (isExtensionKey(key))
        text = mimeTypeForExtension(key);
    else if (std::optional<std::string> type = typeOfOpenCommandKey(key))
        text = defaultOpenCommand(*type);
    if (!text)
        return std::nullopt;
    return RegistryValue::text("", *text);
}

}
