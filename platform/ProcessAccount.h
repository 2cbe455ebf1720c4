#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace platform {

// Who runs a process: the owner of its entry in the process table, and the name of the host
// that the account belongs to. The table's root is a parameter so that tests can craft one.
class ProcessAccount {
public:
    explicit ProcessAccount(std::string processRoot = "/proc");

    // The user name of the account that runs pid; nothing when no such process runs or its
    // owner has no name in the user database.
    std::optional<std::string> accountOf(pid_t pid) const;

    // The name of an account; nothing when the user database has none for it.
    static std::optional<std::string> accountName(uid_t uid);
    // The name of the account that this program runs as, whose volumes the desktop shows.
    static std::optional<std::string> ownAccount();
    // This host's name, which stands in for the domain of its local accounts.
    static std::string hostName();

private:
    std::string m_processRoot;
};

}
