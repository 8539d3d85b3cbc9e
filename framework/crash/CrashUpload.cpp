#include "framework/crash/CrashUpload.h"

#include "framework/net/HTTPTransfer.h"
#include "platform/crash/CrashHandler.h"

namespace Zant {

namespace {

const char kBoundary[] = "---------------------------7d3e1f30eec";

void AppendPart(std::string& body, const char* field, const std::string& value)
{
    body += "--";
    body += kBoundary;
    body += "\r\nContent-Disposition: form-data; name=\"";
    body += field;
    body += "\"\r\n\r\n";
    body += value;
    body += "\r\n";
}

} // namespace

std::string BuildCrashUploadBody(const CrashReportFacts& facts, const std::string& userText,
                                 const std::string& errorTitle, const std::string& report,
                                 const std::string* demoFile)
{
    std::string body;
    AppendPart(body, "username", facts.mUserName);
    AppendPart(body, "prod", facts.mProdName);
    AppendPart(body, "version", facts.mVersion);
    AppendPart(body, "buildnum", std::to_string(facts.mBuildNum));
    AppendPart(body, "builddate", facts.mBuildDate);
    AppendPart(body, "referid", facts.mReferId);
    AppendPart(body, "usertext", userText);
    AppendPart(body, "errortitle", errorTitle);
    AppendPart(body, "errortext", report);
    if (demoFile) {
        body += "--";
        body += kBoundary;
        body += "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"vorlix.dmo\"\r\n"
                "Content-Type: application/octet-stream\r\n\r\n";
        body += *demoFile;
        body += "\r\n";
    }
    body += "--";
    body += kBoundary;
    body += "--\r\n";
    return body;
}

std::string BuildCrashUploadRequest(const std::string& host, const std::string& body)
{
    std::string request = "POST /ombrex_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=";
    request += kBoundary;
    request += "\r\nUser-Agent: Mozilla/4.0 (compatible; vorlix)\r\nHost: " + host + "\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    return request + body;
}

HTTPTransfer& CrashUploadTransfer()
{
    static HTTPTransfer transfer;
    transfer.SetNetworkOnly(true);
    return transfer;
}

CrashUploader::CrashUploader(HTTPTransfer& transfer) : mTransfer(transfer) {}

CrashUploader::~CrashUploader()
{
    Abort();
    Join();
}

void CrashUploader::Join()
{
    if (mThread.joinable())
        mThread.join();
}

void CrashUploader::Start(const std::string& url, std::function<std::string()> makeRequest)
{
    Join();
    // Until the thread has built the request and sent it, the transfer must not
    // show the outcome of an earlier upload (an abort, a finished send) as this one's.
    mTransfer.Reset();
    mThreadDone = false;
    mThread = std::thread([this, url, makeRequest = std::move(makeRequest)] {
        Platform::ThreadCrashStack crashStack;
        const std::string request = makeRequest();
        {
            std::lock_guard<std::mutex> hold(mLock);
            if (!mAborting)
                mTransfer.SendRequest(url, request);
        }
        mThreadDone = true;
    });
}

void CrashUploader::Abort()
{
    std::lock_guard<std::mutex> hold(mLock);
    mAborting = true;
    mTransfer.Abort();
}

int CrashUploader::GetResultCode()
{
    const int result = mTransfer.GetResultCode();
    if (result == HTTPTransfer::RESULT_IDLE && mThreadDone) {
        std::lock_guard<std::mutex> hold(mLock);
        if (mAborting)
            return HTTPTransfer::RESULT_ABORTED;
    }
    return result;
}

void CrashUploader::Reset()
{
    Join();
    mTransfer.Reset();
}

} // namespace Zant
