#include "platform/RegistryDocument.h"

#include "platform/RegistryValueLine.h"

#include <algorithm>

namespace platform {

namespace {

std::string trimmed(const std::string& line)
{
    size_t begin = line.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return std::string();
    size_t end = line.find_last_not_of(" \t\r");
    return line.substr(begin, end - begin + 1);
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool startsWithFolded(const std::string& path, const std::string& prefix)
{
    return path.size() >= prefix.size() && registryNamesEqual(path.substr(0, prefix.size()), prefix);
}

// True when path names a key strictly below ancestor; the empty ancestor is the root.
bool isBelow(const std::string& path, const std::string& ancestor)
{
    if (ancestor.empty())
        return !path.empty();
    return path.size() > ancestor.size() + 1 && path[ancestor.size()] == '\\'
        && startsWithFolded(path, ancestor);
}

// Sorts the keys as a tree: a key comes right before the keys below it.
std::string sortKey(const std::string& path)
{
    std::string key = registryFoldCase(path);
    std::replace(key.begin(), key.end(), '\\', '\x01');
    return key;
}

bool hasLineBreakOrNul(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

}

RegistryDocument::RegistryDocument(std::string rootName)
    : m_rootName(std::move(rootName))
{
}

bool RegistryDocument::isValidKeyPath(const std::string& path)
{
    if (path.empty())
        return true;
    if (hasLineBreakOrNul(path) || path.front() == '\\' || path.back() == '\\')
        return false;
    return path.find("\\\\") == std::string::npos;
}

bool RegistryDocument::isValidValueName(const std::string& name)
{
    return !hasLineBreakOrNul(name);
}

bool RegistryDocument::parse(const std::string& text)
{
    m_keys.clear();
    m_trailingComments.clear();
    std::string body = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
    if (body.empty())
        return true;
    // A text file has no NUL bytes; one that does is damaged, whatever else it holds.
    if (body.find('\0') != std::string::npos)
        return false;
    std::vector<std::string> lines = splitLines(body);
    if (trimmed(lines.front()) != "REGEDIT4" || !parseLines(lines)) {
        m_keys.clear();
        m_trailingComments.clear();
        return false;
    }
    return true;
}

bool RegistryDocument::parseLines(const std::vector<std::string>& lines)
{
    Key* current = nullptr;
    std::vector<std::string> comments;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string line = trimmed(lines[i]);
        if (line.empty())
            continue;
        if (line.front() == ';') {
            comments.push_back(line);
            continue;
        }
        if (line.front() == '[') {
            if (!parseSection(line, current))
                return false;
            current->comments.insert(current->comments.end(), comments.begin(), comments.end());
            comments.clear();
            continue;
        }
        // Long hex data may go on over several lines, each but the last ending in a backslash.
        while (line.back() == '\\' && i + 1 < lines.size()) {
            line.pop_back();
            line += trimmed(lines[++i]);
        }
        RegistryValue value;
        if (!current || line.back() == '\\' || !parseRegistryValueLine(line, value))
            return false;
        std::string path = current->path;
        setValue(path, value);
        current = findKey(path);
        current->comments.insert(current->comments.end(), comments.begin(), comments.end());
        comments.clear();
    }
    m_trailingComments = std::move(comments);
    return true;
}

bool RegistryDocument::parseSection(const std::string& line, Key*& current)
{
    size_t close = line.rfind(']');
    if (close == std::string::npos || close + 1 != line.size())
        return false;
    std::string name = line.substr(1, close - 1);
    std::string path;
    if (!registryNamesEqual(name, m_rootName)) {
        if (!startsWithFolded(name, m_rootName + "\\"))
            return false;
        path = name.substr(m_rootName.size() + 1);
    }
    if (!isValidKeyPath(path))
        return false;
    current = &ensureKey(path);
    return true;
}

std::string RegistryDocument::format() const
{
    std::vector<const Key*> keys;
    for (const Key& key : m_keys)
        keys.push_back(&key);
    std::stable_sort(keys.begin(), keys.end(),
        [](const Key* left, const Key* right) { return sortKey(left->path) < sortKey(right->path); });
    std::string text = "REGEDIT4\n";
    for (const Key* key : keys) {
        text += '\n';
        for (const std::string& comment : key->comments)
            text += comment + '\n';
        text += '[' + m_rootName + (key->path.empty() ? "" : "\\" + key->path) + "]\n";
        for (const RegistryValue& value : key->values)
            text += formatRegistryValueLine(value) + '\n';
    }
    if (!m_trailingComments.empty())
        text += '\n';
    for (const std::string& comment : m_trailingComments)
        text += comment + '\n';
    return text;
}

RegistryDocument::Key* RegistryDocument::findKey(const std::string& path)
{
    for (Key& key : m_keys) {
        if (registryNamesEqual(key.path, path))
            return &key;
    }
    return nullptr;
}

const RegistryDocument::Key* RegistryDocument::findKey(const std::string& path) const
{
    return const_cast<RegistryDocument*>(this)->findKey(path);
}

// A key whose section is missing but that has keys below it exists, as its parents do in the
// registry; giving it a section of its own keeps the file as regedit would write it.
RegistryDocument::Key& RegistryDocument::ensureKey(const std::string& path)
{
    for (size_t separator = path.find('\\'); separator != std::string::npos;
         separator = path.find('\\', separator + 1)) {
        std::string parent = path.substr(0, separator);
        if (!findKey(parent))
            m_keys.push_back(Key { parent, {}, {} });
    }
    if (Key* key = findKey(path))
        return *key;
    m_keys.push_back(Key { path, {}, {} });
    return m_keys.back();
}

bool RegistryDocument::keyExists(const std::string& path) const
{
    if (path.empty() || findKey(path))
        return true;
    return std::any_of(m_keys.begin(), m_keys.end(), [&](const Key& key) { return isBelow(key.path, path); });
}

std::vector<std::string> RegistryDocument::subkeyNames(const std::string& path) const
{
    std::vector<std::string> names;
    size_t start = path.empty() ? 0 : path.size() + 1;
    for (const Key& key : m_keys) {
        if (!isBelow(key.path, path))
            continue;
        std::string name = key.path.substr(start, key.path.find('\\', start) - start);
        bool known = std::any_of(names.begin(), names.end(),
            [&](const std::string& other) { return registryNamesEqual(other, name); });
        if (!known)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
        [](const std::string& left, const std::string& right) { return sortKey(left) < sortKey(right); });
    return names;
}

const std::vector<RegistryValue>* RegistryDocument::values(const std::string& path) const
{
    const Key* key = findKey(path);
    return key ? &key->values : nullptr;
}

const RegistryValue* RegistryDocument::findValue(const std::string& path, const std::string& name) const
{
    const Key* key = findKey(path);
    if (!key)
        return nullptr;
    for (const RegistryValue& value : key->values) {
        if (registryNamesEqual(value.name, name))
            return &value;
    }
    return nullptr;
}

bool RegistryDocument::createKey(const std::string& path)
{
    if (!isValidKeyPath(path) || findKey(path))
        return false;
    ensureKey(path);
    return true;
}

bool RegistryDocument::setValue(const std::string& path, const RegistryValue& value)
{
    if (!isValidKeyPath(path) || !isValidValueName(value.name))
        return false;
    Key& key = ensureKey(path);
    for (RegistryValue& existing : key.values) {
        if (registryNamesEqual(existing.name, value.name)) {
            // The name keeps the case it was first given, as the registry keeps it.
            existing.type = value.type;
            existing.data = value.data;
            return true;
        }
    }
    key.values.push_back(value);
    return true;
}

bool RegistryDocument::deleteValue(const std::string& path, const std::string& name)
{
    Key* key = findKey(path);
    if (!key)
        return false;
    auto found = std::find_if(key->values.begin(), key->values.end(),
        [&](const RegistryValue& value) { return registryNamesEqual(value.name, name); });
    if (found == key->values.end())
        return false;
    key->values.erase(found);
    return true;
}

bool RegistryDocument::deleteKey(const std::string& path)
{
    if (path.empty() || !keyExists(path))
        return false;
    std::erase_if(m_keys,
        [&](const Key& key) { return registryNamesEqual(key.path, path) || isBelow(key.path, path); });
    return true;
}

}
