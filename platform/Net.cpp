#include "platform/Net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Platform {

bool ResolveHostIPv4(const std::string& host, uint32_t& address)
{
    in_addr parsed{};
    if (inet_pton(AF_INET, host.c_str(), &parsed) == 1) {
        address = parsed.s_addr;
        return address != 0xFFFFFFFFu;
    }
    if (host.empty())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || !list)
        return false;
    bool found = false;
    for (addrinfo* a = list; a && !found; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
            address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
            found = address != 0xFFFFFFFFu;
        }
    }
    freeaddrinfo(list);
    return found;
}

bool TcpSocket::Open()
{
    Close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    return mFd >= 0;
}

bool TcpSocket::StartConnect(uint32_t address, int port)
{
    if (mFd < 0 || port < 0 || port > 65535)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = address;
    if (connect(mFd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0)
        return true;
    return errno == EINPROGRESS || errno == EINTR;
}

bool TcpSocket::Connected()
{
    int error = 0;
    socklen_t len = sizeof error;
    return mFd >= 0 && getsockopt(mFd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
}

TcpSocket::Wait TcpSocket::WaitFor(bool readable, bool writable, int timeoutMs)
{
    if (mFd < 0)
        return Wait::Error;
    pollfd p{};
    p.fd = mFd;
    p.events = static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0));
    const int n = poll(&p, 1, timeoutMs);
    if (n < 0)
        return errno == EINTR ? Wait::Timeout : Wait::Error;
    if (n == 0)
        return Wait::Timeout;
    if (readable && (p.revents & (POLLIN | POLLHUP)))
        return Wait::Ready;
    if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
        return Wait::Error;
    return Wait::Ready;
}

long TcpSocket::Send(const char* data, size_t size)
{
    const ssize_t n = send(mFd, data, size, MSG_NOSIGNAL);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return static_cast<long>(n);
}

long TcpSocket::Receive(char* data, size_t size)
{
    const ssize_t n = recv(mFd, data, size, 0);
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    return n == 0 ? -2 : static_cast<long>(n);
}

void TcpSocket::Close()
{
    if (mFd >= 0)
        close(mFd);
    mFd = -1;
}

} // namespace Platform
