#pragma once
// Sending a crash report: the multipart request the report service expects, and
// the upload that builds it on a thread of its own and sends it through the one
// crash-upload transfer.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace Zant {

class HTTPTransfer;

// What the faulting application knew about itself, sent with every report.
struct CrashReportFacts {
    std::string mUserName;
    std::string mProdName;
    std::string mVersion;
    int mBuildNum = 0;
    std::string mBuildDate;
    std::string mReferId;
};

// The form data: one part per field, then the demo file when one is given.
std::string BuildCrashUploadBody(const CrashReportFacts& facts, const std::string& userText,
                                 const std::string& errorTitle, const std::string& report,
                                 const std::string* demoFile);
// The whole POST for the body, addressed to host (a name, optionally ":port").
std::string BuildCrashUploadRequest(const std::string& host, const std::string& body);

// The transfer every crash upload goes through. It always uses the network,
// also while a demo plays: the report must go out whatever the run was doing.
HTTPTransfer& CrashUploadTransfer();

// Runs one upload at a time on its own thread and keeps an abort that comes
// before the request has gone out: such an upload is never started.
class CrashUploader {
public:
    explicit CrashUploader(HTTPTransfer& transfer);
    ~CrashUploader();
    CrashUploader(const CrashUploader&) = delete;
    CrashUploader& operator=(const CrashUploader&) = delete;

    // Builds the request with makeRequest on a new thread, then sends it to url.
    void Start(const std::string& url, std::function<std::string()> makeRequest);
    // Aborts the running upload and any later one.
    void Abort();
    // The transfer's result; aborted once an abort has kept an upload from starting.
    int GetResultCode();
    // After a failure: the transfer goes back to idle for a retry.
    void Reset();

private:
    void Join();

    HTTPTransfer& mTransfer;
    std::mutex mLock; // orders the abort against the start of a transfer
    bool mAborting = false;
    std::atomic<bool> mThreadDone{true};
    std::thread mThread;
};

} // namespace Zant
