#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackListener::LoopbackListener()
{
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(m_socket, 64) == 0
        && ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        m_port = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener()
{
    ::close(m_socket);
}

int LoopbackListener::connections() const
{
    int count = 0;
    for (int connection; (connection = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++count)
        ::close(connection);
    return count;
}
