#pragma once

#include <string>
#include <vector>

namespace platform {

// A folder that only our user can enter, for what must not be reachable by anybody else (an
// office's profile, whose removal a later run may decide on). It lives in the user's runtime
// folder where there is one; otherwise in the system's temporary folder under a name nobody can
// guess, so that nobody can take the name first. It is made with mode 0700 and checked on every
// use: a real folder, not a link, owned by us, mode exactly 0700. Whatever else carries a name
// it could have is never used.
class PrivateFolder {
public:
    // stem in $XDG_RUNTIME_DIR when that is a folder of ours that nobody else may enter.
    // Otherwise stem-<uid>-XXXXXX in the system's temporary folder ($TMPDIR, else /tmp): the
    // first such private folder of ours found there, so that a later run finds what an earlier
    // one left, else a new one made now. Empty when none can be made.
    static std::string pathFor(const std::string& stem);
    // Makes the folder when it does not exist. False with error (a sentence) when it cannot be
    // made or when what is there is not a private folder of ours.
    static bool ensure(const std::string& path, std::string& error);
    // True when path is, at this moment, a private folder of ours.
    static bool isPrivate(const std::string& path);
    // The names of the entries in folder, when it is a private folder of ours; none otherwise.
    static std::vector<std::string> entries(const std::string& folder);
    // True when candidate names, component by component, an entry directly in folder whose
    // name is namePrefix followed by six letters or digits (the part mkdtemp fills in): no
    // "." or ".." or empty component, nothing resolved through a link.
    static bool isDirectEntry(
        const std::string& folder, const std::string& candidate, const std::string& namePrefix);
};

}
