#include "office/libreoffice/LibreOfficeWindowClass.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace office {

namespace {

struct Entry {
    const char* className;
    const char* extension;
};

// The office's word processor, spreadsheet and presentation windows; their icons come from the
// applications registered for the classic binary formats, which every office suite opens.
constexpr std::array<Entry, 3> entries { {
    { "libreoffice-writer", ".doc" },
    { "libreoffice-calc", ".xls" },
    { "libreoffice-impress", ".ppt" },
} };

bool equalIgnoringCase(const std::string& left, const char* right)
{
    return std::equal(left.begin(), left.end(), right, right + std::char_traits<char>::length(right),
        [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

}

std::vector<std::string> LibreOfficeWindowClass::all()
{
    std::vector<std::string> classes;
    for (const Entry& entry : entries)
        classes.emplace_back(entry.className);
    return classes;
}

std::string LibreOfficeWindowClass::extensionOf(const std::string& className)
{
    for (const Entry& entry : entries) {
        if (equalIgnoringCase(className, entry.className))
            return entry.extension;
    }
    return {};
}

}
