#include "cli/DocumentSet.h"

#include "cli/ShellQuote.h"

#include <filesystem>

namespace {

std::string absolutePath(const std::string& given)
{
    std::error_code failure;
    std::string path = std::filesystem::absolute(given, failure).lexically_normal().string();
    return failure ? given : path;
}

}

bool DocumentSet::add(const std::string& given, std::string& error)
{
    std::string path = absolutePath(given);
    std::optional<platform::FileIdentity> identity = platform::FileIdentity::of(path);
    auto samePath = m_byPath.find(path);
    auto sameFile = identity ? m_byIdentity.find(*identity) : m_byIdentity.end();
    if (samePath != m_byPath.end() || sameFile != m_byIdentity.end()) {
        size_t first = samePath != m_byPath.end() ? samePath->second : sameFile->second;
        error = ShellQuote::printable(m_given[first]) + " and " + ShellQuote::printable(given)
            + " name the same document";
        return false;
    }
    m_byPath.emplace(path, m_paths.size());
    if (identity)
        m_byIdentity.emplace(*identity, m_paths.size());
    m_paths.push_back(path);
    m_given.push_back(given);
    return true;
}

bool DocumentSet::holds(const platform::FileIdentity& identity) const
{
    return m_byIdentity.count(identity) != 0;
}
