#include "cli/RegCommandArguments.h"

#include "platform/RegistryStore.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

bool isSwitch(const std::string& word, const char* name)
{
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-'))
        return false;
    return platform::registryNamesEqual(word.substr(1), name);
}

bool looksLikeSwitch(const std::string& word)
{
    return word.size() >= 2 && (word[0] == '/' || word[0] == '-');
}

struct SwitchSet {
    bool valueName = false;
    bool defaultValue = false;
    bool allValues = false;
    bool type = false;
    bool data = false;
    bool force = false;
    bool recursive = false;
};

SwitchSet allowedSwitches(RegCommandArguments::Operation operation)
{
    switch (operation) {
    case RegCommandArguments::Operation::Query:
        return { true, true, false, false, false, false, true };
    case RegCommandArguments::Operation::Add:
        return { true, true, false, true, true, true, false };
    case RegCommandArguments::Operation::Delete:
        return { true, true, true, false, false, true, false };
    }
    return {};
}

std::optional<RegCommandArguments::Operation> parseOperation(const std::string& word)
{
    if (platform::registryNamesEqual(word, "query"))
        return RegCommandArguments::Operation::Query;
    if (platform::registryNamesEqual(word, "add"))
        return RegCommandArguments::Operation::Add;
    if (platform::registryNamesEqual(word, "delete"))
        return RegCommandArguments::Operation::Delete;
    return std::nullopt;
}

// Sets the addressed values once; a second /v, /ve or /va is a usage error.
bool setTarget(
    RegCommandArguments& arguments, RegCommandArguments::Target target, std::string name, bool& targetGiven)
{
    if (targetGiven)
        return false;
    targetGiven = true;
    arguments.target = target;
    arguments.valueName = std::move(name);
    return true;
}

bool parseSwitches(const std::vector<std::string>& words, RegCommandArguments& arguments, std::string& error)
{
    SwitchSet allowed = allowedSwitches(arguments.operation);
    bool targetGiven = false;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        bool hasNext = i + 1 < words.size();
        bool ok = true;
        if (allowed.valueName && isSwitch(word, "v")) {
            ok = hasNext
                && setTarget(arguments, RegCommandArguments::Target::Value, words[i + 1], targetGiven);
            ++i;
        } else if (allowed.defaultValue && isSwitch(word, "ve"))
            ok = setTarget(arguments, RegCommandArguments::Target::Value, "", targetGiven);
        else if (allowed.allValues && isSwitch(word, "va"))
            ok = setTarget(arguments, RegCommandArguments::Target::AllValues, "", targetGiven);
        else if (allowed.type && isSwitch(word, "t")) {
            ok = hasNext && !arguments.typeName;
            if (ok)
                arguments.typeName = words[i + 1];
            ++i;
        } else if (allowed.data && isSwitch(word, "d")) {
            ok = hasNext && !arguments.data;
            if (ok)
                arguments.data = words[i + 1];
            ++i;
        } else if (allowed.force && isSwitch(word, "f"))
            arguments.force = true;
        else if (allowed.recursive && isSwitch(word, "s"))
            arguments.recursive = true;
        else {
            error = looksLikeSwitch(word) ? "unknown or repeated switch '" + word + "'"
                                          : "unexpected argument '" + word + "'";
            return false;
        }
        if (!ok) {
            error = "switch '" + word + "' needs a value or was given twice";
            return false;
        }
    }
    return true;
}

}

std::optional<RegCommandArguments> RegCommandArguments::parse(
    const std::vector<std::string>& words, std::string& error)
{
    if (words.empty()) {
        error = "missing operation (query, add or delete)";
        return std::nullopt;
    }
    std::optional<Operation> operation = parseOperation(words[0]);
    if (!operation) {
        error = "unknown operation '" + words[0] + "'";
        return std::nullopt;
    }
    if (words.size() < 2 || looksLikeSwitch(words[1])) {
        error = "missing key name";
        return std::nullopt;
    }
    RegCommandArguments arguments;
    arguments.operation = *operation;
    arguments.keyName = words[1];
    if (!parseSwitches(words, arguments, error))
        return std::nullopt;
    if ((arguments.typeName || arguments.data) && arguments.target != Target::Value) {
        error = "/t and /d need /v NAME or /ve";
        return std::nullopt;
    }
    return arguments;
}

std::optional<RegKeyName> RegKeyName::parse(const std::string& name)
{
    static const struct {
        const char* shortName;
        platform::RegistryRoot root;
    } roots[] = {
        { "HKCU", platform::RegistryRoot::CurrentUser },
        { "HKLM", platform::RegistryRoot::LocalMachine },
        { "HKCR", platform::RegistryRoot::ClassesRoot },
    };
    size_t separator = name.find('\\');
    std::string rootName = name.substr(0, separator);
    std::string path = separator == std::string::npos ? "" : name.substr(separator + 1);
    // reg.exe accepts a trailing backslash after a key name.
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    for (const auto& candidate : roots) {
        if (platform::registryNamesEqual(rootName, candidate.shortName)
            || platform::registryNamesEqual(rootName, platform::RegistryStore::rootName(candidate.root)))
            return RegKeyName { candidate.root, path };
    }
    return std::nullopt;
}

std::string RegKeyName::fullName() const
{
    std::string name = platform::RegistryStore::rootName(root);
    return path.empty() ? name : name + "\\" + path;
}

std::optional<uint32_t> parseRegTypeName(const std::string& name)
{
    if (platform::registryNamesEqual(name, "REG_SZ"))
        return platform::RegistryType::String;
    if (platform::registryNamesEqual(name, "REG_EXPAND_SZ"))
        return platform::RegistryType::ExpandString;
    if (platform::registryNamesEqual(name, "REG_DWORD"))
        return platform::RegistryType::Dword;
    return std::nullopt;
}

const char* regTypeName(uint32_t type)
{
    switch (type) {
    case platform::RegistryType::None:
        return "REG_NONE";
    case platform::RegistryType::String:
        return "REG_SZ";
    case platform::RegistryType::ExpandString:
        return "REG_EXPAND_SZ";
    case platform::RegistryType::Binary:
        return "REG_BINARY";
    case platform::RegistryType::Dword:
        return "REG_DWORD";
    case platform::RegistryType::MultiString:
        return "REG_MULTI_SZ";
    case platform::RegistryType::Qword:
        return "REG_QWORD";
    }
    return "REG_UNKNOWN";
}

std::optional<uint32_t> parseRegDword(const std::string& text)
{
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::string digits = hex ? text.substr(2) : text;
    if (digits.empty())
        return std::nullopt;
    for (char character : digits) {
        bool valid = hex ? std::isxdigit(static_cast<unsigned char>(character))
                         : (character >= '0' && character <= '9');
        if (!valid)
            return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    unsigned long long number = std::strtoull(digits.c_str(), &end, hex ? 16 : 10);
    if (errno == ERANGE || *end != '\0' || number > 0xffffffffULL)
        return std::nullopt;
    return static_cast<uint32_t>(number);
}
