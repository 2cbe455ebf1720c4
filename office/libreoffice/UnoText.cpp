#include "office/libreoffice/UnoText.h"

#include "platform/PercentEncoding.h"

#include <filesystem>

namespace office {

css::beans::PropertyValue property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

css::uno::Sequence<css::beans::PropertyValue> properties(
    std::initializer_list<css::beans::PropertyValue> values)
{
    return css::uno::Sequence<css::beans::PropertyValue>(
        values.begin(), static_cast<sal_Int32>(values.size()));
}

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
