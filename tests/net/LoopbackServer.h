#pragma once
// A one-connection-at-a-time HTTP server on 127.0.0.1 for the transfer tests: it
// reads each request up to its blank line and the body its Content-Length
// announces, answers with the scripted pieces and closes (or holds the
// connection open until stopped, for abort tests).
#include <atomic>
#include <string>
#include <thread>
#include <vector>
#include <mutex>

namespace NetTest {

class LoopbackServer {
public:
    struct Reply {
        std::vector<std::string> pieces; // sent one send() each
        bool holdOpen = false;           // keep the connection until Stop
    };
    // Answers for the paths asked for; any other path gets a 404.
    void Serve(const std::string& path, const Reply& reply);
    // An answer for the next request of the path only, before any standing one.
    void ServeOnce(const std::string& path, const Reply& reply);
    bool Start();
    void Stop();
    ~LoopbackServer() { Stop(); }
    int Port() const { return mPort; }
    std::string Url(const std::string& path) const;
    std::vector<std::string> Requests();

private:
    void Run();
    int mListenFd = -1;
    int mPort = 0;
    std::atomic<bool> mStop{false};
    std::thread mThread;
    std::mutex mLock;
    std::vector<std::pair<std::string, Reply>> mReplies;
    std::vector<std::pair<std::string, Reply>> mOnceReplies;
    std::vector<std::string> mRequests;
};

// A port on 127.0.0.1 that refuses connections (bound, never listening).
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    int Port() const { return mPort; }

private:
    int mFd = -1;
    int mPort = 0;
};

} // namespace NetTest
