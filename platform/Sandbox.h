#pragma once

#include <string>
#include <vector>

namespace platform {

// A program kept from the network and from the user's files: it runs in a network namespace of
// its own, whose only interface is a loopback that is down, and sees every file system read-only
// but for the folders named here. Without privilege this takes a user namespace (the user mapped
// to itself), which most desktops allow; as root the namespaces are made directly, and the
// program loses the capabilities that would let it undo them.
struct Sandbox {
    // Folders the program may still write in, made before it starts; /dev/shm stays writable.
    std::vector<std::string> writableFolders;

    struct Support {
        bool available = false;
        // Why a sandbox cannot be made here, as the end of a sentence.
        std::string reason;
    };

    // Whether this system lets us make a sandbox, tried once with a program that does nothing
    // and remembered for the life of the program.
    static Support support();
};

// What a child does between fork and exec to enter its sandbox: only system calls, on strings
// prepared before the fork, so that it is safe in the child of a process with threads.
class SandboxEntry {
public:
    explicit SandboxEntry(const Sandbox& sandbox);

    // In the child: true once it is inside. Otherwise the step that failed (a static text) and
    // errno are left in failedStep and error.
    bool enter(const char*& failedStep, int& error) const;

    // The sentence for a failure that enter reported.
    static std::string failure(const std::string& step, int error);

private:
    bool m_asRoot;
    std::string m_userMap;
    std::string m_groupMap;
    std::vector<std::string> m_writable;
};

}
