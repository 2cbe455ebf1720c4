#include "platform/Sandbox.h"

#include "platform/ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <unistd.h>

#ifndef AT_RECURSIVE
#define AT_RECURSIVE 0x8000
#endif

namespace platform {

namespace {

bool writeWhole(const char* path, const std::string& text)
{
    int descriptor = ::open(path, O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    bool written = ::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    int error = errno;
    ::close(descriptor);
    errno = error;
    return written;
}

bool setReadOnly(const char* path, bool readOnly)
{
    mount_attr attributes {};
    if (readOnly)
        attributes.attr_set = MOUNT_ATTR_RDONLY;
    else
        attributes.attr_clr = MOUNT_ATTR_RDONLY;
    return ::mount_setattr(AT_FDCWD, path, AT_RECURSIVE, &attributes, sizeof attributes) == 0;
}

}

SandboxEntry::SandboxEntry(const Sandbox& sandbox)
    : m_asRoot(geteuid() == 0)
    , m_userMap(std::to_string(geteuid()) + " " + std::to_string(geteuid()) + " 1\n")
    , m_groupMap(std::to_string(getegid()) + " " + std::to_string(getegid()) + " 1\n")
    , m_writable(sandbox.writableFolders)
{
}

bool SandboxEntry::enter(const char*& failedStep, int& error) const
{
    auto fail = [&](const char* step) {
        failedStep = step;
        error = errno;
        return false;
    };
    // Root has the right to make the namespaces itself; anybody else gets it inside a user
    // namespace of their own, where they are still themselves.
    int flags = CLONE_NEWNET | CLONE_NEWNS | (m_asRoot ? 0 : CLONE_NEWUSER);
    if (::unshare(flags) != 0)
        return fail("unshare");
    if (!m_asRoot) {
        if (!writeWhole("/proc/self/setgroups", "deny"))
            return fail("setgroups");
        if (!writeWhole("/proc/self/uid_map", m_userMap))
            return fail("uid_map");
        if (!writeWhole("/proc/self/gid_map", m_groupMap))
            return fail("gid_map");
    }
    // What is mounted from here on stays in this namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return fail("mount");
    // Each writable folder becomes a mount of its own, so that it can be let out of the
    // read-only rest.
    for (const std::string& folder : m_writable) {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0)
            return fail("bind");
    }
    if (!setReadOnly("/", true))
        return fail("mount_setattr");
    for (const std::string& folder : m_writable) {
        if (!setReadOnly(folder.c_str(), false))
            return fail("mount_setattr");
    }
    // Shared memory is no file of anybody's; where it is a mount of its own it stays usable.
    setReadOnly("/dev/shm", false);
    // Root keeps its capabilities through exec; without these it can neither undo the read-only
    // mounts nor give its network namespace a way out. Anybody else loses them at exec anyway.
    if (m_asRoot) {
        for (int capability : { CAP_SYS_ADMIN, CAP_NET_ADMIN }) {
            if (::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0)
                return fail("prctl");
        }
    }
    return true;
}

std::string SandboxEntry::failure(const std::string& step, int error)
{
    if (step == "unshare" && (error == EPERM || error == EINVAL || error == ENOSPC || error == EUSERS))
        return std::string(geteuid() == 0 ? "network namespaces" : "user namespaces") + " are not available here ("
            + std::strerror(error) + ")";
    return "the sandbox could not be set up (" + step + ": " + std::strerror(error) + ")";
}

Sandbox::Support Sandbox::support()
{
    // The same steps as for a real program, taken once for a program that does nothing.
    static const Support known = [] {
        ChildProcess trial;
        ChildProcess::Options options;
        options.sandbox = Sandbox { { "/tmp" } };
        if (trial.start({ "/bin/true" }, options))
            return Support { true, {} };
        return Support { false, trial.sandboxFailure().empty() ? trial.errorMessage() : trial.sandboxFailure() };
    }();
    return known;
}

}
