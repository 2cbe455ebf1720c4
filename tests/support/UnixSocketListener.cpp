#include "tests/support/UnixSocketListener.h"

#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

UnixSocketListener::UnixSocketListener(const std::string& path, int backlog)
    : m_path(path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        throw std::runtime_error("socket path too long: " + path);
    memcpy(address.sun_path, path.c_str(), path.size());
    m_socket = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
        || listen(m_socket, backlog) != 0)
        throw std::runtime_error("cannot listen on " + path + ": " + strerror(errno));
}

UnixSocketListener::~UnixSocketListener()
{
    if (m_socket >= 0)
        close(m_socket);
    unlink(m_path.c_str());
}

std::vector<std::string> UnixSocketListener::takePending()
{
    std::vector<std::string> texts;
    for (;;) {
        int connection = accept(m_socket, nullptr, nullptr);
        if (connection < 0)
            break;
        // The sender has written everything and closed by now, so blocking reads end at once.
        fcntl(connection, F_SETFL, fcntl(connection, F_GETFL) & ~O_NONBLOCK);
        std::string text;
        char buffer[65536];
        ssize_t got;
        while ((got = read(connection, buffer, sizeof(buffer))) > 0)
            text.append(buffer, static_cast<size_t>(got));
        close(connection);
        texts.push_back(text);
    }
    return texts;
}

bool UnixSocketListener::acceptAndClose()
{
    int connection = accept(m_socket, nullptr, nullptr);
    if (connection < 0)
        return false;
    close(connection);
    return true;
}

void UnixSocketListener::closeKeepingFile()
{
    if (m_socket >= 0)
        close(m_socket);
    m_socket = -1;
}
