#pragma once

#include <string>
#include <vector>

// A Unix-domain stream socket bound and listening at a path, standing in for a viewer that
// collects what the program sends. Each connection is one piece of text, read to its end.
class UnixSocketListener {
public:
    explicit UnixSocketListener(const std::string& path, int backlog = 64);
    UnixSocketListener(const UnixSocketListener&) = delete;
    UnixSocketListener& operator=(const UnixSocketListener&) = delete;
    ~UnixSocketListener();

    // The texts of every connection already waiting, in the order they were made.
    std::vector<std::string> takePending();
    // Accepts one waiting connection and closes it at once without reading; false when none waits.
    bool acceptAndClose();
    // Stops listening but leaves the socket file behind, as a viewer that died would.
    void closeKeepingFile();

private:
    std::string m_path;
    int m_socket = -1;
};
