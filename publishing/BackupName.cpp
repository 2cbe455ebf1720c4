#include "publishing/BackupName.h"

#include "foundation/Guid.h"
#include "foundation/StringConverter.h"
#include "platform/FileOperations.h"

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
bool isRegistryGuid(std::string_view text)
{
    if (text.size() != static_cast<size_t>(Guid::Length) || text.front() != '{' || text.back() != '}')
        return false;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !isHexDigit(text[i]))
            return false;
    }
    return true;
}

// The longest start of name that fits in limit bytes and ends where a character ends: a valid
// UTF-8 sequence counts as one character, any other byte as one of its own.
std::string_view cutToFit(std::string_view name, size_t limit)
{
    size_t end = 0;
    while (end < name.size()) {
        size_t next = end;
        char32_t ignored = 0;
        if (!StringConverter::decodeUtf8(name, next, ignored))
            next = end + 1;
        if (next > limit)
            break;
        end = next;
    }
    return name.substr(0, end);
}

}

std::string_view BackupName::extensionOf(std::string_view name)
{
    size_t period = name.rfind('.');
    return period == std::string_view::npos ? std::string_view() : name.substr(period);
}

std::string_view BackupName::stemFor(std::string_view name)
{
    size_t fixed = 1 + Guid::Length + extensionOf(name).size();
    size_t limit = platform::fileOperations::maxNameLength > fixed
        ? platform::fileOperations::maxNameLength - fixed
        : 0;
    return cutToFit(name, limit);
}

std::string BackupName::forDocument(std::string_view name, std::string_view guid)
{
    std::string backup(stemFor(name));
    backup += '.';
    backup += guid;
    backup += extensionOf(name);
    return backup;
}

bool BackupName::isBackup(std::string_view name)
{
    size_t tail = 1 + Guid::Length + extensionOf(name).size();
    if (extensionOf(name).empty() || name.size() <= tail)
        return false;
    std::string_view rest = name.substr(name.size() - tail);
    return rest.front() == '.' && isRegistryGuid(rest.substr(1, Guid::Length));
}

bool BackupName::belongsTo(std::string_view backup, std::string_view name)
{
    // Most names in a folder are no backups; the stem is only worked out for those that are.
    if (!isBackup(backup) || extensionOf(backup) != extensionOf(name))
        return false;
    std::string_view stem = stemFor(name);
    return backup.size() == stem.size() + 1 + Guid::Length + extensionOf(name).size()
        && backup.substr(0, stem.size()) == stem;
}
