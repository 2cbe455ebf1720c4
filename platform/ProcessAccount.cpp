#include "platform/ProcessAccount.h"

#include <cerrno>
#include <climits>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

ProcessAccount::ProcessAccount(std::string processRoot)
    : m_processRoot(std::move(processRoot))
{
}

std::optional<std::string> ProcessAccount::accountOf(pid_t pid) const
{
    if (pid <= 0)
        return std::nullopt;
    // The kernel gives a process's entry the process's effective user as owner.
    struct stat status;
    std::string entry = m_processRoot + "/" + std::to_string(pid);
    if (::stat(entry.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return accountName(status.st_uid);
}

std::optional<std::string> ProcessAccount::accountName(uid_t uid)
{
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    for (;;) {
        passwd record;
        passwd* found = nullptr;
        int failure = ::getpwuid_r(uid, &record, buffer.data(), buffer.size(), &found);
        // A database entry larger than the buffer asks for a larger one; the limit keeps a
        // broken database from asking forever.
        if (failure == ERANGE && buffer.size() < 1024 * 1024) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (failure != 0 || !found || !found->pw_name)
            return std::nullopt;
        return std::string(found->pw_name);
    }
}

std::optional<std::string> ProcessAccount::ownAccount()
{
    return accountName(::geteuid());
}

std::string ProcessAccount::hostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return std::string();
    return std::string(name);
}

}
