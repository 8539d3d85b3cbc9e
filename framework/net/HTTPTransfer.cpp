#include "framework/net/HTTPTransfer.h"

#include "framework/app/ZantApp.h"
#include "framework/net/HttpReply.h"
#include "framework/net/NetText.h"
#include "platform/Clock.h"
#include "platform/Net.h"
#include "platform/crash/CrashHandler.h"

namespace Zant {

namespace {

std::atomic<uint32_t> gNextTransferId{1};

uint32_t NewTransferId() { return gNextTransferId.fetch_add(1); }

// Waits in slices short enough for an abort to be seen within 100 ms.
constexpr int WAIT_SLICE_MS = 100;
constexpr size_t RECEIVE_SIZE = 256;

bool PlayingDemo() { return gZantApp && gZantApp->mPlayingDemoBuffer; }
bool RecordingDemo() { return gZantApp && gZantApp->mRecordingDemoBuffer; }

} // namespace

HTTPTransfer::HTTPTransfer() : mTransferId(NewTransferId()) {}

HTTPTransfer::~HTTPTransfer()
{
    Abort();
    JoinWorker();
}

void HTTPTransfer::JoinWorker()
{
    if (mThread.joinable())
        mThread.join();
    mThreadRunning = false;
}

void HTTPTransfer::Abort()
{
    mAborted = true;
    mExit = true;
    // Nothing else would end it: the result is set here. A demo being played may
    // still hand over its recorded record, so the transfer stays pending for it.
    if (mPending && !mThread.joinable())
        mResult.store(RESULT_ABORTED, std::memory_order_release);
}

void HTTPTransfer::Reset()
{
    if (mThread.joinable()) {
        Abort();
        JoinWorker();
    }
    mPending = false;
    mResult = RESULT_IDLE;
    mLastReported = RESULT_IDLE;
    mTransferId = NewTransferId();
    mContent.clear();
    mError.clear();
    mExit = false;
    mAborted = false;
    mUrl.clear();
    mRequest.clear();
    mPath.clear();
}

void HTTPTransfer::SplitUrl(const std::string& url)
{
    Reset();
    mTransferId = NewTransferId();
    mUrl = url;
    mExit = false;
    mAborted = false;
    mResult = RESULT_IN_PROGRESS;
    mContent.clear();
    mPort = 80;
    mProtocol.clear();
    size_t hostStart = 0;
    const size_t slashes = url.find("//");
    if (slashes != std::string::npos) {
        mProtocol = slashes > 0 ? url.substr(0, slashes - 1) : std::string();
        hostStart = slashes + 2;
    }
    const size_t pathStart = url.find('/', hostStart);
    mHost = url.substr(hostStart, pathStart == std::string::npos ? std::string::npos : pathStart - hostStart);
    mPath = pathStart == std::string::npos ? std::string("/") : url.substr(pathStart);
    const size_t colon = mHost.find(':');
    if (colon != std::string::npos) {
        long port = 0;
        for (size_t i = colon + 1; i < mHost.size() && mHost[i] >= '0' && mHost[i] <= '9' && port <= 65535; ++i)
            port = port * 10 + (mHost[i] - '0');
        // A port beyond the range cannot be connected to; 0 makes that plain.
        mPort = port <= 65535 ? static_cast<int>(port) : 0;
        mHost.erase(colon);
    }
}

void HTTPTransfer::Get(const std::string& url)
{
    SplitUrl(url);
    mRequest = "GET " + mPath + " HTTP/1.0\r\nUser-Agent: Mozilla/4.0 (compatible; vorlix)\r\nHost: " + mHost +
               "\r\nConnection: close\r\n\r\n";
    Start();
}

void HTTPTransfer::GetUrl(const std::string& url)
{
    mBaseUrl.clear();
    mRelativeUrl = url;
    Get(url);
}

void HTTPTransfer::GetRelative(const std::string& baseUrl, const std::string& relativeUrl)
{
    mBaseUrl = baseUrl;
    mRelativeUrl = relativeUrl;
    Get(JoinUrl(baseUrl, relativeUrl));
}

void HTTPTransfer::SendRequest(const std::string& url, const std::string& request)
{
    mBaseUrl.clear();
    mRelativeUrl.clear();
    SplitUrl(url);
    mRequest = request;
    Start();
}

void HTTPTransfer::Start()
{
    mPending = true;
    // A demo being played gives the recorded results instead.
    if (PlayingDemo() && !mNetworkOnly)
        return;
    mThreadRunning = true;
    try {
        mThread = std::thread([this] { WorkerThread(); });
    } catch (const std::system_error&) {
        mThreadRunning = false;
        mPending = false;
        mError = "no thread for the transfer";
        mResult = RESULT_SOCKET_FAILED;
    }
}

void HTTPTransfer::WaitFor()
{
    while (mPending) {
        UpdateStatus();
        // Without a worker only a demo record can end the transfer; once the demo
        // has none left nothing will.
        if (!mThreadRunning && !(gZantApp && gZantApp->IsReplayingDemo()))
            break;
        Platform::SleepMs(20);
    }
    if (mThread.joinable() && !mThreadRunning)
        mThread.join();
}

int HTTPTransfer::GetResultCode()
{
    UpdateStatus();
    return mResult.load(std::memory_order_acquire);
}

std::string HTTPTransfer::GetContent()
{
    if (mResult.load(std::memory_order_acquire) == RESULT_IN_PROGRESS)
        return std::string();
    UpdateStatus();
    return mContent;
}

std::string HTTPTransfer::GetErrorText() const
{
    return mResult.load(std::memory_order_acquire) == RESULT_IN_PROGRESS ? std::string() : mError;
}

void HTTPTransfer::UpdateStatus()
{
    if (!gZantApp || mNetworkOnly)
        return;
    if (PlayingDemo()) {
        // Only a started transfer has results in the demo; an idle one leaves the
        // stream alone.
        if (!mPending)
            return;
        int result = 0;
        std::string content;
        if (gZantApp->DemoTakeTransferResult(mTransferId, result, content)) {
            mContent = content;
            mResult = result;
            mLastReported = result;
            if (result != RESULT_IN_PROGRESS)
                mPending = false;
        }
        return;
    }
    if (RecordingDemo()) {
        const int result = mResult.load(std::memory_order_acquire);
        if (result != mLastReported) {
            gZantApp->DemoRecordTransferResult(mTransferId, result,
                                               result == RESULT_IN_PROGRESS ? std::string() : mContent);
            mLastReported = result;
        }
    }
}

void HTTPTransfer::WorkerThread()
{
    Platform::ThreadCrashStack crashStack;
    int failure = -1; // the last failure wins, as each one stops the transfer
    auto fail = [&](int code, const std::string& why) {
        failure = code;
        mError = why;
        mExit = true;
    };
    Platform::TcpSocket socket;
    // Waits until ready; false when the wait failed. An exit request ends the wait
    // as if the socket were ready, and the caller looks at the exit flag next.
    auto waitSocket = [&](bool readable, bool writable) {
        while (!mExit) {
            const auto w = socket.WaitFor(readable, writable, WAIT_SLICE_MS);
            if (w == Platform::TcpSocket::Wait::Error) {
                fail(RESULT_SOCKET_FAILED, "socket error");
                return false;
            }
            if (w == Platform::TcpSocket::Wait::Ready)
                return true;
        }
        return true;
    };

    HttpReplyParser reply;
    if (!socket.Open())
        fail(RESULT_SOCKET_FAILED, "no socket");
    uint32_t address = 0;
    if (!mExit && !Platform::ResolveHostIPv4(mHost, address))
        fail(RESULT_NO_HOST, "unknown host " + mHost);
    if (!mExit) {
        if (!socket.StartConnect(address, mPort) || !waitSocket(false, true) || (!mExit && !socket.Connected()))
            fail(RESULT_CONNECT_FAILED, "cannot connect to " + mHost + ":" + std::to_string(mPort));
    }
    while (!mRequest.empty() && !mExit) {
        if (!waitSocket(false, true) || mExit)
            break;
        const long sent = socket.Send(mRequest.data(), mRequest.size());
        if (sent < 0) {
            fail(RESULT_SEND_FAILED, "sending the request failed");
            break;
        }
        mRequest.erase(0, static_cast<size_t>(sent));
    }
    char chunk[RECEIVE_SIZE];
    while (!mExit && !reply.Finished()) {
        if (!waitSocket(true, false) || mExit)
            break;
        const long got = socket.Receive(chunk, sizeof chunk);
        if (got == 0)
            continue;
        if (got < 0)
            reply.Closed();
        else
            reply.Feed(chunk, static_cast<size_t>(got));
    }
    socket.Close();

    if (failure < 0 && reply.Finished() && reply.Result() != HttpReplyParser::RESULT_DONE)
        fail(reply.Result(), reply.Error());
    if (mAborted)
        fail(RESULT_ABORTED, "aborted");
    int result = failure >= 0 ? failure : RESULT_DONE;
    if (result == RESULT_DONE)
        mContent = reply.TakeContent();
    mResult.store(result, std::memory_order_release);
    mThreadRunning = false;
    mPending = false;
}

} // namespace Zant
