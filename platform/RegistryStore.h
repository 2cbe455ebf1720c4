#pragma once

#include "platform/RegistryValue.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class RegistryDocument;

// The hierarchical key-value store that stands in for the registry: one REGEDIT4 text file per
// root. Every operation opens, reads or writes and closes the file, so a change made by another
// process is seen at the next read. A write holds an exclusive lock on "FILE.lock" beside the
// file, reads the file again under it, applies the change and replaces the file atomically, so
// concurrent writers in several threads and processes never lose each other's changes.
//
// A file that cannot be parsed reads as an empty store. The first write after that keeps the old
// file as "FILE.corrupt-YYYYmmddTHHMMSS" before replacing it, so hand edits are never lost
// silently. No operation throws; failures are false or an empty result.
class RegistryStore {
public:
    // The root's file: PRESSLING_REGISTRY_DIR/{user,machine,classes}.reg when that variable is
    // set, otherwise $XDG_CONFIG_HOME/Tarnwick/user.reg and /etc/xdg/Tarnwick/{machine,classes}.reg.
    explicit RegistryStore(RegistryRoot root);
    RegistryStore(RegistryRoot root, std::string filePath);

    static std::string defaultFilePath(RegistryRoot root);
    // "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT".
    static const char* rootName(RegistryRoot root);

    // What the file holds right now: a tool can warn that a damaged file reads as empty.
    enum class FileState { Missing, Valid, Unparsable, Unreadable };
    FileState fileState() const;

    RegistryRoot root() const { return m_root; }
    const std::string& filePath() const { return m_filePath; }

    // Key paths are relative to the root with \ between names; "" is the root key. An empty value
    // name is the key's default value.
    std::optional<RegistryValue> readValue(const std::string& key, const std::string& name) const;
    bool keyExists(const std::string& key) const;
    // Nothing when the key does not exist.
    std::optional<std::vector<std::string>> listSubkeys(const std::string& key) const;
    std::optional<std::vector<RegistryValue>> listValues(const std::string& key) const;

    // Creates the key and its parents when missing.
    bool writeValue(const std::string& key, const RegistryValue& value) const;
    // True when the key exists afterwards.
    bool createKey(const std::string& key) const;
    // False when there was no such value or key.
    bool deleteValue(const std::string& key, const std::string& name) const;
    bool deleteKey(const std::string& key) const;

private:
    // What a change did to the document: nothing to write, a change to write, or a refusal.
    enum class Change { Unchanged, Changed, Refused };
    using Mutation = std::function<Change(RegistryDocument&)>;

    RegistryDocument load() const;
    bool modify(const Mutation& mutation) const;

    RegistryRoot m_root;
    std::string m_filePath;
};

}
