#include "platform/RegistryDocument.h"

#include "platform/RegistryValueLine.h"

#include <algorithm>
#include <unordered_set>

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

void RegistryDocument::clear()
{
    m_keys.clear();
    m_keyPositions.clear();
    m_valuePositions.clear();
    m_trailingComments.clear();
}

bool RegistryDocument::parse(const std::string& text)
{
    clear();
    std::string body = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
    if (body.empty())
        return true;
    // A text file has no NUL bytes; one that does is damaged, whatever else it holds.
    if (body.find('\0') != std::string::npos)
        return false;
    std::vector<std::string> lines = splitLines(body);
    if (trimmed(lines.front()) != "REGEDIT4" || !parseLines(lines)) {
        clear();
        return false;
    }
    return true;
}

bool RegistryDocument::parseLines(const std::vector<std::string>& lines)
{
    size_t current = NoKey;
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
        } else {
            // Long hex data may go on over several lines, each but the last ending in a backslash.
            while (line.back() == '\\' && i + 1 < lines.size()) {
                line.pop_back();
                line += trimmed(lines[++i]);
            }
            RegistryValue value;
            if (current == NoKey || line.back() == '\\' || !parseRegistryValueLine(line, value))
                return false;
            // A name the file form cannot hold is passed over, as setValue refuses it.
            if (isValidValueName(value.name))
                putValue(current, value);
        }
        std::vector<std::string>& keyComments = m_keys[current].comments;
        keyComments.insert(keyComments.end(), comments.begin(), comments.end());
        comments.clear();
    }
    m_trailingComments = std::move(comments);
    return true;
}

bool RegistryDocument::parseSection(const std::string& line, size_t& current)
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
    current = ensureKey(path);
    return true;
}

std::string RegistryDocument::format() const
{
    std::vector<std::pair<std::string, const Key*>> keys;
    keys.reserve(m_keys.size());
    for (const Key& key : m_keys)
        keys.emplace_back(sortKey(key.path), &key);
    std::stable_sort(keys.begin(), keys.end(),
        [](const auto& left, const auto& right) { return left.first < right.first; });
    std::string text = "REGEDIT4\n";
    for (const auto& [order, key] : keys) {
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

size_t RegistryDocument::findPosition(const std::string& path) const
{
    auto found = m_keyPositions.find(registryFoldCase(path));
    return found == m_keyPositions.end() ? NoKey : found->second;
}

RegistryDocument::Key* RegistryDocument::findKey(const std::string& path)
{
    size_t position = findPosition(path);
    return position == NoKey ? nullptr : &m_keys[position];
}

const RegistryDocument::Key* RegistryDocument::findKey(const std::string& path) const
{
    return const_cast<RegistryDocument*>(this)->findKey(path);
}

size_t RegistryDocument::addKey(const std::string& path)
{
    m_keyPositions.emplace(registryFoldCase(path), m_keys.size());
    m_keys.push_back(Key { path, {}, {} });
    m_valuePositions.emplace_back();
    return m_keys.size() - 1;
}

// A key whose section is missing but that has keys below it exists, as its parents do in the
// registry; giving it a section of its own keeps the file as regedit would write it. Every key
// is made after its parents, so a key that is already there has all of them.
size_t RegistryDocument::ensureKey(const std::string& path)
{
    size_t position = findPosition(path);
    if (position != NoKey)
        return position;
    for (size_t separator = path.find('\\'); separator != std::string::npos;
         separator = path.find('\\', separator + 1)) {
        std::string parent = path.substr(0, separator);
        if (findPosition(parent) == NoKey)
            addKey(parent);
    }
    return addKey(path);
}

void RegistryDocument::putValue(size_t position, const RegistryValue& value)
{
    std::vector<RegistryValue>& values = m_keys[position].values;
    auto [found, added] = m_valuePositions[position].emplace(registryFoldCase(value.name), values.size());
    if (added) {
        values.push_back(value);
        return;
    }
    // The name keeps the case it was first given, as the registry keeps it.
    RegistryValue& existing = values[found->second];
    existing.type = value.type;
    existing.data = value.data;
}

void RegistryDocument::indexValues(size_t position)
{
    std::unordered_map<std::string, size_t>& positions = m_valuePositions[position];
    positions.clear();
    const std::vector<RegistryValue>& values = m_keys[position].values;
    for (size_t i = 0; i < values.size(); ++i)
        positions.emplace(registryFoldCase(values[i].name), i);
}

void RegistryDocument::reindex()
{
    m_keyPositions.clear();
    m_valuePositions.assign(m_keys.size(), {});
    for (size_t position = 0; position < m_keys.size(); ++position) {
        m_keyPositions.emplace(registryFoldCase(m_keys[position].path), position);
        indexValues(position);
    }
}

bool RegistryDocument::keyExists(const std::string& path) const
{
    if (path.empty() || findKey(path))
        return true;
    return std::any_of(m_keys.begin(), m_keys.end(), [&](const Key& key) { return isBelow(key.path, path); });
}

std::vector<std::string> RegistryDocument::subkeyNames(const std::string& path) const
{
    std::vector<std::pair<std::string, std::string>> names;
    std::unordered_set<std::string> known;
    size_t start = path.empty() ? 0 : path.size() + 1;
    for (const Key& key : m_keys) {
        if (!isBelow(key.path, path))
            continue;
        std::string name = key.path.substr(start, key.path.find('\\', start) - start);
        if (known.insert(registryFoldCase(name)).second)
            names.emplace_back(sortKey(name), name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (auto& [order, name] : names)
        sorted.push_back(std::move(name));
    return sorted;
}

const std::vector<RegistryValue>* RegistryDocument::values(const std::string& path) const
{
    const Key* key = findKey(path);
    return key ? &key->values : nullptr;
}

const RegistryValue* RegistryDocument::findValue(const std::string& path, const std::string& name) const
{
    size_t position = findPosition(path);
    if (position == NoKey)
        return nullptr;
    const std::unordered_map<std::string, size_t>& positions = m_valuePositions[position];
    auto found = positions.find(registryFoldCase(name));
    return found == positions.end() ? nullptr : &m_keys[position].values[found->second];
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
    putValue(ensureKey(path), value);
    return true;
}

bool RegistryDocument::deleteValue(const std::string& path, const std::string& name)
{
    size_t position = findPosition(path);
    if (position == NoKey)
        return false;
    auto found = m_valuePositions[position].find(registryFoldCase(name));
    if (found == m_valuePositions[position].end())
        return false;
    std::vector<RegistryValue>& values = m_keys[position].values;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(found->second));
    indexValues(position);
    return true;
}

bool RegistryDocument::deleteKey(const std::string& path)
{
    if (path.empty() || !keyExists(path))
        return false;
    std::erase_if(m_keys,
        [&](const Key& key) { return registryNamesEqual(key.path, path) || isBelow(key.path, path); });
    reindex();
    return true;
}

}
