#pragma once

#include "platform/RegistryValue.h"

#include <optional>
#include <string>
#include <vector>

// The arguments of "pressling-cli reg", in reg.exe's syntax:
//   query  KEY [/v NAME | /ve] [/s]
//   add    KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]
//   delete KEY [/v NAME | /ve | /va] [/f]
// Switches are case-insensitive and may start with / or -.
struct RegCommandArguments {
    enum class Operation { Query, Add, Delete };
    // Which values the command addresses: none (the key itself), one named value (the default
    // value has the empty name) or every value of the key.
    enum class Target { Key, Value, AllValues };

    Operation operation = Operation::Query;
    std::string keyName;
    Target target = Target::Key;
    std::string valueName;
    std::optional<std::string> typeName;
    std::optional<std::string> data;
    bool force = false;
    bool recursive = false;

    // Nothing, with the reason in error, when the words are not a valid command line.
    static std::optional<RegCommandArguments> parse(
        const std::vector<std::string>& words, std::string& error);
};

// The root and the key path below it of a full key name such as HKCU\SOFTWARE\Tarnwick; nothing
// when the name does not start with a known root.
struct RegKeyName {
    platform::RegistryRoot root;
    std::string path;

    static std::optional<RegKeyName> parse(const std::string& name);
    std::string fullName() const;
};

// REG_SZ, REG_EXPAND_SZ and REG_DWORD, without regard to case.
std::optional<uint32_t> parseRegTypeName(const std::string& name);
const char* regTypeName(uint32_t type);
// A REG_DWORD given in decimal or as 0x hex; nothing outside 0 to 0xffffffff.
std::optional<uint32_t> parseRegDword(const std::string& text);
