#include "cli/DocumentListFile.h"

#include "cli/ShellQuote.h"
#include "platform/InputText.h"

#include <cstring>

namespace {

std::string shown(const std::string& name)
{
    return name == "-" ? std::string("standard input") : ShellQuote::printable(name);
}

std::string readFailure(const platform::InputText& input, const std::string& name)
{
    using Failure = platform::InputText::Failure;
    switch (input.failure) {
    case Failure::NotFileOrPipe:
        return "the list " + shown(name) + " is neither a file nor a pipe";
    case Failure::TooLarge:
        return "the list " + shown(name) + " is larger than "
            + std::to_string(DocumentListFile::maxBytes / (1024 * 1024)) + " MiB";
    default:
        return "cannot read the list " + shown(name) + ": " + std::strerror(input.error);
    }
}

}

bool DocumentListFile::read(
    const std::string& name, bool nulSeparated, std::vector<std::string>& paths, std::string& error)
{
    platform::InputText input = platform::InputText::read(name, maxBytes);
    if (input.failure != platform::InputText::Failure::None) {
        error = readFailure(input, name);
        return false;
    }
    return split(input.bytes, nulSeparated, name, paths, error);
}

bool DocumentListFile::split(std::string_view bytes, bool nulSeparated, const std::string& name,
    std::vector<std::string>& paths, std::string& error)
{
    const char separator = nulSeparated ? '\0' : '\n';
    const char* unit = nulSeparated ? "entry " : "line ";
    std::vector<std::string> found;
    size_t number = 0;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find(separator, start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view entry = bytes.substr(start, end - start);
        ++number;
        if (entry.empty()) {
            error = std::string(unit) + std::to_string(number) + " of " + shown(name) + " is blank";
            return false;
        }
        if (!nulSeparated && entry.find('\0') != std::string_view::npos) {
            error = "line " + std::to_string(number) + " of " + shown(name)
                + " holds a NUL byte (a list of NUL-separated names needs -0)";
            return false;
        }
        found.emplace_back(entry);
        start = end + 1;
    }
    if (found.empty()) {
        error = "the list " + shown(name) + " holds no path";
        return false;
    }
    paths.insert(paths.end(), found.begin(), found.end());
    return true;
}
