#include "platform/LogViewerSocket.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool waitWritable(int socket, Clock::time_point deadline)
{
    pollfd entry { socket, POLLOUT, 0 };
    int ready;
    do
        ready = poll(&entry, 1, millisecondsLeft(deadline));
    while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & POLLOUT) && !(entry.revents & (POLLERR | POLLHUP));
}

bool connectTo(int socket, const std::string& path, Clock::time_point deadline)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return false;
    memcpy(address.sun_path, path.data(), path.size());
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
        return true;
    // A full backlog on a Unix socket gives EAGAIN at once; only EINPROGRESS is worth a wait.
    if (errno != EINPROGRESS || !waitWritable(socket, deadline))
        return false;
    int error = 0;
    socklen_t size = sizeof(error);
    return getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

void sendAll(int socket, const char* bytes, size_t length, Clock::time_point deadline)
{
    while (length > 0) {
        ssize_t sent = send(socket, bytes, length, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes += sent;
            length -= static_cast<size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitWritable(socket, deadline))
                return;
        } else {
            return;
        }
    }
}

}

std::string LogViewerSocket::path()
{
    const char* folder = getenv("XDG_RUNTIME_DIR");
    if (!folder || !*folder)
        return std::string();
    return std::string(folder) + "/pressling-log-viewer";
}

void LogViewerSocket::append(const char* bytes, size_t length)
{
    std::string socketPath = path();
    if (socketPath.empty())
        return;
    int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(TimeLimitMilliseconds);
    if (connectTo(socket, socketPath, deadline))
        sendAll(socket, bytes, length, deadline);
    close(socket);
}

}
