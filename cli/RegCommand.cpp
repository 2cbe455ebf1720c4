#include "cli/RegCommand.h"

#include "cli/RegCommandArguments.h"
#include "platform/RegistryStore.h"

#include <iostream>
#include <string>

namespace {

constexpr int success = 0;
constexpr int failure = 1;
constexpr int usageError = 2;

const char* const completed = "The operation completed successfully.\n";

const char* const usageText
    = "Usage: pressling-cli reg query  KEY [/v NAME | /ve] [/s]\n"
      "       pressling-cli reg add    KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]\n"
      "       pressling-cli reg delete KEY [/v NAME | /ve | /va] [/f]\n"
      "\n"
      "Reads and changes Pressling's registry store as reg.exe does the registry.\n"
      "\n"
      "  KEY   ROOT\\SUBKEY, ROOT one of HKCU, HKLM, HKCR or HKEY_CURRENT_USER,\n"
      "        HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT\n"
      "  /v    the value NAME\n"
      "  /ve   the key's default value, shown as (Default)\n"
      "  /va   every value of the key (delete)\n"
      "  /s    the key and every key below it (query)\n"
      "  /t    REG_SZ (the default), REG_EXPAND_SZ or REG_DWORD (add)\n"
      "  /d    the data; a REG_DWORD is decimal or 0x hex, 0 to 0xffffffff (add)\n"
      "  /f    change without asking; otherwise a question is asked and\n"
      "        anything but Yes, or no answer, cancels\n"
      "\n"
      "The store is one REGEDIT4 text file per root: user.reg, machine.reg and\n"
      "classes.reg in $PRESSLING_REGISTRY_DIR when it is set, otherwise\n"
      "$XDG_CONFIG_HOME/Tarnwick/user.reg and /etc/xdg/Tarnwick/{machine,classes}.reg.\n"
      "\n"
      "Exit status: 0 success, 1 failure (missing key or value, bad data, cancelled,\n"
      "file not writable), 2 bad command line.\n";

std::string displayName(const std::string& valueName)
{
    return valueName.empty() ? "(Default)" : valueName;
}

// The data as reg.exe shows it: strings as text, numbers in hex, other bytes as hex digits.
std::string displayData(const platform::RegistryValue& value)
{
    char buffer[32];
    switch (value.type) {
    case platform::RegistryType::String:
    case platform::RegistryType::ExpandString:
        return value.asText();
    case platform::RegistryType::Dword:
        if (value.data.size() == 4) {
            std::snprintf(buffer, sizeof(buffer), "0x%x", value.asDword());
            return buffer;
        }
        break;
    case platform::RegistryType::MultiString: {
        std::string text;
        for (unsigned char byte : value.data)
            text += byte == 0 ? std::string("\\0") : std::string(1, static_cast<char>(byte));
        // The list ends in two terminators, which reg.exe does not show.
        while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\\0") == 0)
            text.erase(text.size() - 2);
        return text;
    }
    }
    std::string hex;
    for (unsigned char byte : value.data) {
        std::snprintf(buffer, sizeof(buffer), "%02X", byte);
        hex += buffer;
    }
    return hex;
}

void printValue(std::FILE* output, const platform::RegistryValue& value)
{
    std::fprintf(output, "    %s    %s    %s\n", displayName(value.name).c_str(), regTypeName(value.type),
        displayData(value).c_str());
}

std::string joinPath(const std::string& path, const std::string& name)
{
    return path.empty() ? name : path + "\\" + name;
}

// One key of a /s search with every key below it; counts what it prints, as reg.exe's summary does.
void printTree(
    std::FILE* output, const platform::RegistryStore& store, const RegKeyName& key, size_t& matches)
{
    std::fprintf(output, "\n%s\n", key.fullName().c_str());
    ++matches;
    for (const platform::RegistryValue& value :
        store.listValues(key.path).value_or(std::vector<platform::RegistryValue>())) {
        printValue(output, value);
        ++matches;
    }
    for (const std::string& name : store.listSubkeys(key.path).value_or(std::vector<std::string>()))
        printTree(output, store, RegKeyName { key.root, joinPath(key.path, name) }, matches);
}

}

RegCommand::RegCommand()
    : RegCommand(std::cin, stdout, stderr)
{
}

RegCommand::RegCommand(std::istream& input, std::FILE* output, std::FILE* errors)
    : m_input(input)
    , m_output(output)
    , m_errors(errors)
{
}

const char* RegCommand::usage() const
{
    return usageText;
}

int RegCommand::run(const std::vector<std::string>& words)
{
    std::string error;
    std::optional<RegCommandArguments> arguments = RegCommandArguments::parse(words, error);
    if (!arguments) {
        std::fprintf(m_errors, "ERROR: Invalid syntax: %s.\n%s", error.c_str(), usageText);
        return usageError;
    }
    switch (arguments->operation) {
    case RegCommandArguments::Operation::Query:
        return query(*arguments);
    case RegCommandArguments::Operation::Add:
        return add(*arguments);
    case RegCommandArguments::Operation::Delete:
        return remove(*arguments);
    }
    return usageError;
}

int RegCommand::notFound()
{
    std::fputs("ERROR: The system was unable to find the specified registry key or value.\n", m_errors);
    return failure;
}

// reg.exe takes Yes or Y; anything else, or the end of the input, is No.
bool RegCommand::confirm(const std::string& question)
{
    std::fprintf(m_output, "%s ", question.c_str());
    std::fflush(m_output);
    std::string answer;
    if (!std::getline(m_input, answer))
        answer.clear();
    if (!answer.empty() && answer.back() == '\r')
        answer.pop_back();
    bool yes = platform::registryNamesEqual(answer, "yes") || platform::registryNamesEqual(answer, "y");
    if (!yes)
        std::fputs("The operation was cancelled by the user.\n", m_output);
    return yes;
}

namespace {

std::optional<RegKeyName> keyOf(const RegCommandArguments& arguments, std::FILE* errors)
{
    std::optional<RegKeyName> key = RegKeyName::parse(arguments.keyName);
    if (!key)
        std::fprintf(errors, "ERROR: Invalid key name '%s': it must start with HKCU, HKLM or HKCR.\n",
            arguments.keyName.c_str());
    return key;
}

// A damaged file reads as empty; say so, or "not found" would look like the whole answer.
void warnAboutFile(std::FILE* errors, const platform::RegistryStore& store)
{
    switch (store.fileState()) {
    case platform::RegistryStore::FileState::Unparsable:
        std::fprintf(errors,
            "WARNING: %s is not a valid REGEDIT4 file and reads as empty; the next change keeps it as "
            "%s.corrupt-DATE.\n",
            store.filePath().c_str(), store.filePath().c_str());
        break;
    case platform::RegistryStore::FileState::Unreadable:
        std::fprintf(errors, "WARNING: %s cannot be read; it reads as empty and is not changed.\n",
            store.filePath().c_str());
        break;
    default:
        break;
    }
}

int writeFailed(std::FILE* errors, const platform::RegistryStore& store)
{
    std::fprintf(errors, "ERROR: The registry file %s could not be written.\n", store.filePath().c_str());
    return failure;
}

}

int RegCommand::query(const RegCommandArguments& arguments)
{
    std::optional<RegKeyName> key = keyOf(arguments, m_errors);
    if (!key)
        return failure;
    platform::RegistryStore store(key->root);
    warnAboutFile(m_errors, store);
    if (!store.keyExists(key->path))
        return notFound();
    if (arguments.target == RegCommandArguments::Target::Value) {
        std::optional<platform::RegistryValue> value = store.readValue(key->path, arguments.valueName);
        if (!value && !arguments.valueName.empty())
            return notFound();
        std::fprintf(m_output, "\n%s\n", key->fullName().c_str());
        if (value)
            printValue(m_output, *value);
        else
            std::fputs("    (Default)    REG_SZ    (value not set)\n", m_output);
        std::fputs("\n", m_output);
        return success;
    }
    if (arguments.recursive) {
        size_t matches = 0;
        printTree(m_output, store, *key, matches);
        std::fprintf(m_output, "\nEnd of search: %zu match(es) found.\n", matches);
        return success;
    }
    std::fprintf(m_output, "\n%s\n", key->fullName().c_str());
    for (const platform::RegistryValue& value :
        store.listValues(key->path).value_or(std::vector<platform::RegistryValue>()))
        printValue(m_output, value);
    std::fputs("\n", m_output);
    std::vector<std::string> subkeys = store.listSubkeys(key->path).value_or(std::vector<std::string>());
    for (const std::string& name : subkeys)
        std::fprintf(
            m_output, "%s\n", RegKeyName { key->root, joinPath(key->path, name) }.fullName().c_str());
    if (!subkeys.empty())
        std::fputs("\n", m_output);
    return success;
}

int RegCommand::add(const RegCommandArguments& arguments)
{
    std::optional<RegKeyName> key = keyOf(arguments, m_errors);
    if (!key)
        return failure;
    platform::RegistryStore store(key->root);
    warnAboutFile(m_errors, store);
    if (arguments.target == RegCommandArguments::Target::Key) {
        if (!store.createKey(key->path))
            return writeFailed(m_errors, store);
        std::fputs(completed, m_output);
        return success;
    }
    uint32_t type = platform::RegistryType::String;
    if (arguments.typeName) {
        std::optional<uint32_t> known = parseRegTypeName(*arguments.typeName);
        if (!known) {
            std::fprintf(m_errors, "ERROR: Unsupported type '%s': use REG_SZ, REG_EXPAND_SZ or REG_DWORD.\n",
                arguments.typeName->c_str());
            return failure;
        }
        type = *known;
    }
    std::string data = arguments.data.value_or(type == platform::RegistryType::Dword ? "0" : "");
    platform::RegistryValue value;
    if (type == platform::RegistryType::Dword) {
        std::optional<uint32_t> number = parseRegDword(data);
        if (!number) {
            std::fprintf(m_errors,
                "ERROR: Invalid REG_DWORD data '%s': give a number from 0 to 4294967295 in decimal or 0x "
                "hex.\n",
                data.c_str());
            return failure;
        }
        value = platform::RegistryValue::dword(arguments.valueName, *number);
    } else
        value = platform::RegistryValue::text(arguments.valueName, data, type);
    if (!arguments.force && store.readValue(key->path, arguments.valueName)
        && !confirm("Value " + displayName(arguments.valueName) + " exists, overwrite(Yes/No)?"))
        return failure;
    if (!store.writeValue(key->path, value))
        return writeFailed(m_errors, store);
    std::fputs(completed, m_output);
    return success;
}

int RegCommand::remove(const RegCommandArguments& arguments)
{
    std::optional<RegKeyName> key = keyOf(arguments, m_errors);
    if (!key)
        return failure;
    platform::RegistryStore store(key->root);
    warnAboutFile(m_errors, store);
    if (!store.keyExists(key->path))
        return notFound();
    switch (arguments.target) {
    case RegCommandArguments::Target::Key:
        if (key->path.empty()) {
            std::fputs("ERROR: A root key cannot be deleted.\n", m_errors);
            return failure;
        }
        if (!arguments.force
            && !confirm("Permanently delete the registry key " + key->fullName() + " (Yes/No)?"))
            return failure;
        if (!store.deleteKey(key->path))
            return writeFailed(m_errors, store);
        break;
    case RegCommandArguments::Target::Value:
        if (!store.readValue(key->path, arguments.valueName))
            return notFound();
        if (!arguments.force
            && !confirm("Delete the registry value " + displayName(arguments.valueName) + " (Yes/No)?"))
            return failure;
        if (!store.deleteValue(key->path, arguments.valueName))
            return writeFailed(m_errors, store);
        break;
    case RegCommandArguments::Target::AllValues:
        if (!arguments.force
            && !confirm("Delete all values under the registry key " + key->fullName() + " (Yes/No)?"))
            return failure;
        for (const platform::RegistryValue& value :
            store.listValues(key->path).value_or(std::vector<platform::RegistryValue>())) {
            if (!store.deleteValue(key->path, value.name))
                return writeFailed(m_errors, store);
        }
        break;
    }
    std::fputs(completed, m_output);
    return success;
}
