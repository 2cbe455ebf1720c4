#include "platform/RegistryStore.h"

#include "platform/ExclusiveLock.h"
#include "platform/RegistryDocument.h"
#include "platform/RegistryFile.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string userConfigFolder()
{
    // Relative values are to be ignored, as the XDG base directory rules say.
    std::string configured = environment("XDG_CONFIG_HOME");
    if (!configured.empty() && configured.front() == '/')
        return configured;
    return homeFolder() + "/.config";
}

const char* fileName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::CurrentUser:
        return "user.reg";
    case RegistryRoot::LocalMachine:
        return "machine.reg";
    case RegistryRoot::ClassesRoot:
        return "classes.reg";
    }
    return "user.reg";
}

}

RegistryStore::RegistryStore(RegistryRoot root)
    : RegistryStore(root, defaultFilePath(root))
{
}

RegistryStore::RegistryStore(RegistryRoot root, std::string filePath)
    : m_root(root)
    , m_filePath(std::move(filePath))
{
}

std::string RegistryStore::defaultFilePath(RegistryRoot root)
{
    std::string folder = environment("PRESSLING_REGISTRY_DIR");
    if (folder.empty())
        folder = root == RegistryRoot::CurrentUser ? userConfigFolder() + "/Tarnwick" : "/etc/xdg/Tarnwick";
    return folder + "/" + fileName(root);
}

const char* RegistryStore::rootName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return "HKEY_CURRENT_USER";
}

// A file that is missing, unreadable or not a store file reads as an empty store.
RegistryDocument RegistryStore::load() const
{
    RegistryDocument document(rootName(m_root));
    std::string bytes;
    if (RegistryFile::read(m_filePath, bytes) == RegistryFile::ReadResult::Read)
        document.parse(bytes);
    return document;
}

RegistryStore::FileState RegistryStore::fileState() const
{
    try {
        std::string bytes;
        switch (RegistryFile::read(m_filePath, bytes)) {
        case RegistryFile::ReadResult::Missing:
            return FileState::Missing;
        case RegistryFile::ReadResult::Failed:
            return FileState::Unreadable;
        case RegistryFile::ReadResult::Read:
            break;
        }
        RegistryDocument document(rootName(m_root));
        return document.parse(bytes) ? FileState::Valid : FileState::Unparsable;
    } catch (...) {
        return FileState::Unreadable;
    }
}

std::optional<RegistryValue> RegistryStore::readValue(const std::string& key, const std::string& name) const
{
    try {
        RegistryDocument document = load();
        if (const RegistryValue* value = document.findValue(key, name))
            return *value;
    } catch (...) {
    }
    return std::nullopt;
}

bool RegistryStore::keyExists(const std::string& key) const
{
    try {
        return RegistryDocument::isValidKeyPath(key) && load().keyExists(key);
    } catch (...) {
        return false;
    }
}

std::optional<std::vector<std::string>> RegistryStore::listSubkeys(const std::string& key) const
{
    try {
        RegistryDocument document = load();
        if (RegistryDocument::isValidKeyPath(key) && document.keyExists(key))
            return document.subkeyNames(key);
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<std::vector<RegistryValue>> RegistryStore::listValues(const std::string& key) const
{
    try {
        RegistryDocument document = load();
        if (!RegistryDocument::isValidKeyPath(key) || !document.keyExists(key))
            return std::nullopt;
        const std::vector<RegistryValue>* values = document.values(key);
        return values ? *values : std::vector<RegistryValue>();
    } catch (...) {
    }
    return std::nullopt;
}

bool RegistryStore::writeValue(const std::string& key, const RegistryValue& value) const
{
    return modify([&](RegistryDocument& document) {
        return document.setValue(key, value) ? Change::Changed : Change::Refused;
    });
}

bool RegistryStore::createKey(const std::string& key) const
{
    if (!RegistryDocument::isValidKeyPath(key))
        return false;
    return modify([&](RegistryDocument& document) {
        return document.keyExists(key) ? Change::Unchanged
            : document.createKey(key)  ? Change::Changed
                                       : Change::Refused;
    });
}

bool RegistryStore::deleteValue(const std::string& key, const std::string& name) const
{
    return modify([&](RegistryDocument& document) {
        return document.deleteValue(key, name) ? Change::Changed : Change::Refused;
    });
}

bool RegistryStore::deleteKey(const std::string& key) const
{
    return modify([&](RegistryDocument& document) {
        return document.deleteKey(key) ? Change::Changed : Change::Refused;
    });
}

// Read, change and replace the file under the lock, so that a change made by another writer
// between our read and our write cannot be lost.
bool RegistryStore::modify(const Mutation& mutation) const
{
    try {
        if (!RegistryFile::createFolders(RegistryFile::folderOf(m_filePath)))
            return false;
        ExclusiveLock lock = ExclusiveLock::waitFor(m_filePath + ".lock");
        if (!lock.held())
            return false;
        std::string bytes;
        RegistryFile::ReadResult read = RegistryFile::read(m_filePath, bytes);
        // A file that exists but cannot be read is never replaced: that would lose it.
        if (read == RegistryFile::ReadResult::Failed)
            return false;
        RegistryDocument document(rootName(m_root));
        bool corrupt = read == RegistryFile::ReadResult::Read && !document.parse(bytes);
        Change change = mutation(document);
        if (change != Change::Changed)
            return change == Change::Unchanged;
        if (corrupt && !RegistryFile::keepCorrupt(m_filePath, bytes))
            return false;
        return RegistryFile::replace(m_filePath, document.format());
    } catch (...) {
        return false;
    }
}

}
