#pragma once

#include "platform/RegistryValue.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

// The keys and values of one root as one store file holds them, in the REGEDIT4 text form:
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER\SOFTWARE\Tarnwick]
//     @="default value"
//     "Name"="text with \\ and \" escaped"
//     "Count"=dword:00000003
//     "Path"=hex(2):25,48,4f,4d,45,25,00
//
// Strings are "quoted" when they are one line of text with its terminator; every other string,
// and every type other than DWORD, is kept as hex(N): bytes with its type number, so nothing is
// lost on the way through. REG_EXPAND_SZ is hex(2): followed by its narrow text and terminator.
// Comment lines (;) stay with the key that follows them. Key paths are relative to the root and
// use \ between names; the empty path is the root key itself.
class RegistryDocument {
public:
    struct Key {
        std::string path;
        std::vector<std::string> comments;
        std::vector<RegistryValue> values;
    };

    // rootName is the name the sections start with, "HKEY_CURRENT_USER" for example.
    explicit RegistryDocument(std::string rootName);

    // Replaces the contents by the parsed text. False, with the document left empty, when the text
    // is not a store file of this root. An empty text is an empty store.
    bool parse(const std::string& text);
    std::string format() const;

    bool keyExists(const std::string& path) const;
    // The names of the direct subkeys, in their stored case; empty when the key does not exist.
    std::vector<std::string> subkeyNames(const std::string& path) const;
    // The values of the key; null when the key has no section of its own.
    const std::vector<RegistryValue>* values(const std::string& path) const;
    const RegistryValue* findValue(const std::string& path, const std::string& name) const;

    // Each change returns whether the document changed; a path or name that the file form cannot
    // hold changes nothing.
    bool createKey(const std::string& path);
    bool setValue(const std::string& path, const RegistryValue& value);
    bool deleteValue(const std::string& path, const std::string& name);
    // Removes the key with every key below it.
    bool deleteKey(const std::string& path);

    static bool isValidKeyPath(const std::string& path);
    static bool isValidValueName(const std::string& name);

private:
    static constexpr size_t NoKey = static_cast<size_t>(-1);

    size_t findPosition(const std::string& path) const;
    Key* findKey(const std::string& path);
    const Key* findKey(const std::string& path) const;
    size_t ensureKey(const std::string& path);
    size_t addKey(const std::string& path);
    void putValue(size_t position, const RegistryValue& value);
    void indexValues(size_t position);
    void reindex();
    void clear();
    bool parseLines(const std::vector<std::string>& lines);
    bool parseSection(const std::string& line, size_t& current);

    std::string m_rootName;
    std::vector<Key> m_keys;
    // Where each key sits in m_keys, and each value in its key, by case-folded name: finding a
    // key or a value costs the same in a store of twenty keys as in one of twenty thousand.
    std::unordered_map<std::string, size_t> m_keyPositions;
    std::vector<std::unordered_map<std::string, size_t>> m_valuePositions;
    std::vector<std::string> m_trailingComments;
};

}
