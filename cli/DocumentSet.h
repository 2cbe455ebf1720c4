#pragma once

#include "platform/FileIdentity.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The documents of one publish run, from the command line and the list, in the order given and
// made absolute from the current folder. A document may be named once only: two sessions (or two
// shards on two machines) publishing one file side by side would write the same outputs and
// backups at once. Names are compared as the files they lead to, so a hard link or a symlink to
// a document named already counts as the same document; a name that leads nowhere is compared
// as its absolute path.
class DocumentSet {
public:
    // False with error set when path names a document of the set already.
    bool add(const std::string& given, std::string& error);

    const std::vector<std::string>& paths() const { return m_paths; }
    // True when identity is the file of one of the documents.
    bool holds(const platform::FileIdentity& identity) const;

private:
    std::vector<std::string> m_paths;
    std::vector<std::string> m_given;
    std::unordered_map<platform::FileIdentity, size_t, platform::FileIdentityHash> m_byIdentity;
    std::unordered_map<std::string, size_t> m_byPath;
};
