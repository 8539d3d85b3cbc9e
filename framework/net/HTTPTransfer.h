#pragma once
// One HTTP request at a time on a worker thread of its own; the main thread polls
// a small result code and, once the transfer has ended, the body. Results pass
// through the demo layer, so a recorded run replays without network.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace Zant {

class HTTPTransfer {
public:
    enum {
        RESULT_DONE = 0,
        RESULT_IDLE = 1,
        RESULT_IN_PROGRESS = 2,
        RESULT_NOT_FOUND = 3,
        RESULT_BAD_STATUS = 4,
        RESULT_ABORTED = 5,
        RESULT_SOCKET_FAILED = 6, // also a reply that broke off or could not be read
        RESULT_NO_HOST = 7,
        RESULT_CONNECT_FAILED = 8,
        RESULT_SEND_FAILED = 9,
    };

    HTTPTransfer();
    ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    void Get(const std::string& url);
    void GetUrl(const std::string& url);
    void GetRelative(const std::string& baseUrl, const std::string& relativeUrl);
    // The caller writes the whole request, headers and body.
    void SendRequest(const std::string& url, const std::string& request);

    // Safe at any time; the worker notices within 100 ms. A started transfer
    // without a worker (a demo being played starts none) ends aborted at once.
    void Abort();
    // Stops a running worker and waits for it, then back to idle.
    void Reset();
    // Polls until the started transfer has ended.
    void WaitFor();

    int GetResultCode();
    // Empty while the transfer is in progress.
    std::string GetContent();
    void UpdateStatus();

    // A transfer that always goes over the network and leaves the demo alone,
    // for a request that must go out even while a demo plays (the crash report).
    void SetNetworkOnly(bool networkOnly) { mNetworkOnly = networkOnly; }

    uint32_t GetTransferId() const { return mTransferId; }
    const std::string& GetFullUrl() const { return mUrl; }
    const std::string& GetRelativeUrl() const { return mRelativeUrl; }
    const std::string& GetProtocol() const { return mProtocol; }
    const std::string& GetHost() const { return mHost; }
    int GetPort() const { return mPort; }
    const std::string& GetPath() const { return mPath; }
    const std::string& GetRequest() const { return mRequest; }
    // Why the last transfer failed, for the log (empty when it did not).
    std::string GetErrorText() const;

private:
    void SplitUrl(const std::string& url);
    void Start();
    void WorkerThread();
    void JoinWorker();

    uint32_t mTransferId;
    std::string mRequest;
    std::string mBaseUrl;
    std::string mRelativeUrl;
    std::string mUrl;
    std::string mProtocol;
    std::string mHost;
    int mPort = 80;
    std::string mPath;
    // Written by the worker only while it runs; published by the release store of
    // mResult when it ends, and read by the main thread only after that.
    std::string mContent;
    std::string mError;
    std::atomic<bool> mPending{false};
    std::atomic<bool> mThreadRunning{false};
    std::atomic<bool> mExit{false};
    std::atomic<bool> mAborted{false};
    std::atomic<int> mResult{RESULT_IDLE};
    int mLastReported = RESULT_IDLE;
    bool mNetworkOnly = false;
    std::thread mThread;
};

} // namespace Zant
