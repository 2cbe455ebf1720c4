#pragma once

#include <string>
#include <vector>

// A file system of its own mounted on folder (created when missing) for the life of the
// object: command is the mount command without its last argument, the folder.
class ScratchMount {
public:
    ScratchMount(const std::string& folder, std::vector<std::string> command);
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;
    ~ScratchMount();

    bool mounted() const { return m_mounted; }
    // Why the mount failed: the command's error and what it wrote to its error output.
    const std::string& reason() const { return m_reason; }

private:
    std::string m_folder;
    bool m_mounted = false;
    std::string m_reason;
};
