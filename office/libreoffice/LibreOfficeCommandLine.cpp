#include "office/libreoffice/LibreOfficeCommandLine.h"

#include "platform/PercentEncoding.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace office {

namespace {

// The launcher hands over to soffice.bin; where it is a program and not a script, it stays
// running beside it.
constexpr std::array officePrograms { "soffice.bin", "soffice" };
// The options of an office that shows no window at all.
constexpr std::array unseenOptions { "headless", "invisible" };
// The options whose value follows as an argument of its own, which is then no document.
constexpr std::array optionsWithValue { "pt", "display", "convert-to", "outdir", "printer-name" };
constexpr std::array<std::pair<const char*, const char*>, 7> modules { {
    { "writer", "LibreOffice Writer" },
    { "calc", "LibreOffice Calc" },
    { "impress", "LibreOffice Impress" },
    { "draw", "LibreOffice Draw" },
    { "math", "LibreOffice Math" },
    { "base", "LibreOffice Base" },
    { "web", "LibreOffice Writer/Web" },
} };

template <typename Names> bool isOneOf(std::string_view name, const Names& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string_view lastComponent(std::string_view path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// LibreOffice takes its options with one hyphen or two; "--accept=..." carries its value.
std::optional<std::string_view> optionName(std::string_view argument)
{
    if (argument.size() < 2 || argument.front() != '-')
        return std::nullopt;
    argument.remove_prefix(argument[1] == '-' ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

// Desktop launchers hand documents over as file URLs, with blanks and other bytes escaped.
std::string documentName(std::string_view argument)
{
    constexpr std::string_view fileUrl = "file://";
    if (argument.substr(0, fileUrl.size()) == fileUrl)
        return platform::percentEncoding::decoded(lastComponent(argument));
    return std::string(lastComponent(argument));
}

}

std::optional<std::string> LibreOfficeCommandLine::shownTitle(const std::vector<std::string>& arguments)
{
    if (!isShownOffice(arguments))
        return std::nullopt;
    return titleFor(arguments);
}

bool LibreOfficeCommandLine::isShownOffice(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || !isOneOf(lastComponent(arguments.front()), officePrograms))
        return false;
    return std::none_of(arguments.begin() + 1, arguments.end(), [](const std::string& argument) {
        std::optional<std::string_view> option = optionName(argument);
        return option && isOneOf(*option, unseenOptions);
    });
}

std::string LibreOfficeCommandLine::titleFor(const std::vector<std::string>& arguments)
{
    std::string application = "LibreOffice";
    std::string document;
    for (size_t at = 1; at < arguments.size(); ++at) {
        std::optional<std::string_view> option = optionName(arguments[at]);
        if (!option) {
            if (document.empty())
                document = documentName(arguments[at]);
            continue;
        }
        auto module = std::find_if(
            modules.begin(), modules.end(), [&](const auto& entry) { return *option == entry.first; });
        if (module != modules.end())
            application = module->second;
        else if (isOneOf(*option, optionsWithValue) && arguments[at].find('=') == std::string::npos)
            ++at;
    }
    return document.empty() ? application : document + " - " + application;
}

}
