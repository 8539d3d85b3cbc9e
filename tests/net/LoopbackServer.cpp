#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace NetTest {

namespace {

int BindLoopback(int& port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        return -1;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

bool WaitReadable(int fd, const std::atomic<bool>& stop)
{
    while (!stop) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) > 0)
            return true;
    }
    return false;
}

} // namespace

void LoopbackServer::Serve(const std::string& path, const Reply& reply)
{
    std::lock_guard<std::mutex> hold(mLock);
    mReplies.emplace_back(path, reply);
}

void LoopbackServer::ServeOnce(const std::string& path, const Reply& reply)
{
    std::lock_guard<std::mutex> hold(mLock);
    mOnceReplies.emplace_back(path, reply);
}

bool LoopbackServer::Start()
{
    mListenFd = BindLoopback(mPort);
    if (mListenFd < 0 || listen(mListenFd, 8) != 0)
        return false;
    mThread = std::thread([this] { Run(); });
    return true;
}

void LoopbackServer::Stop()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    if (mListenFd >= 0)
        close(mListenFd);
    mListenFd = -1;
}

std::string LoopbackServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(mPort) + path;
}

std::vector<std::string> LoopbackServer::Requests()
{
    std::lock_guard<std::mutex> hold(mLock);
    return mRequests;
}

void LoopbackServer::Run()
{
    while (WaitReadable(mListenFd, mStop)) {
        const int fd = accept(mListenFd, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::string request;
        char buf[512];
        while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(fd, mStop)) {
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            request.append(buf, static_cast<size_t>(n));
        }
        const size_t headersEnd = request.find("\r\n\r\n");
        const size_t length = request.find("\r\nContent-Length: ");
        if (headersEnd != std::string::npos && length != std::string::npos && length < headersEnd) {
            const size_t whole = headersEnd + 4 + std::strtoul(request.c_str() + length + 18, nullptr, 10);
            while (request.size() < whole && WaitReadable(fd, mStop)) {
                const ssize_t n = recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, static_cast<size_t>(n));
            }
        }
        Reply reply{{"HTTP/1.0 404 Not Found\r\n\r\n"}, false};
        {
            std::lock_guard<std::mutex> hold(mLock);
            mRequests.push_back(request);
            const size_t sp = request.find(' ');
            const std::string path = sp == std::string::npos ? "" : request.substr(sp + 1, request.find(' ', sp + 1) - sp - 1);
            for (const auto& [p, r] : mReplies)
                if (p == path)
                    reply = r;
            for (auto it = mOnceReplies.begin(); it != mOnceReplies.end(); ++it)
                if (it->first == path) {
                    reply = it->second;
                    mOnceReplies.erase(it);
                    break;
                }
        }
        for (const std::string& piece : reply.pieces) {
            if (send(fd, piece.data(), piece.size(), MSG_NOSIGNAL) < 0)
                break;
        }
        if (reply.holdOpen)
            while (WaitReadable(fd, mStop) && recv(fd, buf, sizeof buf, 0) > 0) {
            }
        close(fd);
    }
}

ClosedPort::ClosedPort() { mFd = BindLoopback(mPort); }
ClosedPort::~ClosedPort()
{
    if (mFd >= 0)
        close(mFd);
}

} // namespace NetTest
