#pragma once

#include <memory>
#include <string>

namespace platform {

// Tells whoever shows a folder that its entries changed: a file made, written, renamed or
// removed there by any program. The news comes on the thread that started the watch, from its
// event loop, and only names the entry; what became of it is for the listener to look up. A
// watch ends with its object, and when the folder itself goes.
class FolderWatch {
public:
    class Listener {
    public:
        // Something happened to the entry called name (bytes, without folder).
        virtual void entryChanged(const std::string& name) = 0;
        // The folder itself was removed or moved away; nothing more will be told of it.
        virtual void folderGone() = 0;

    protected:
        ~Listener() = default;
    };

    // A watch of folder (with or without a trailing '/'), or nothing where the folder cannot be
    // watched (it is gone, or the system has no watches left).
    static std::unique_ptr<FolderWatch> start(const std::string& folder, Listener& listener);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

private:
    struct Monitor;
    explicit FolderWatch(std::unique_ptr<Monitor> monitor);

    std::unique_ptr<Monitor> m_monitor;
};

}
