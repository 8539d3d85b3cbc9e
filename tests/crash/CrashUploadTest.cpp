// The report upload's exact bytes, and the upload itself against a loopback server.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "framework/app/ZantApp.h"
#include "framework/crash/CrashUpload.h"
#include "framework/net/HTTPTransfer.h"
#include "tests/net/LoopbackServer.h"

using namespace Zant;

namespace {

CrashReportFacts SampleFacts()
{
    CrashReportFacts facts;
    facts.mUserName = "diver";
    facts.mProdName = "Plindor";
    facts.mVersion = "1.01";
    facts.mBuildNum = 42;
    facts.mBuildDate = "Dec 10 2026";
    facts.mReferId = "ref7";
    return facts;
}

const char kFields[] = "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"username\"\r\n\r\ndiver\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"prod\"\r\n\r\nPlindor\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"version\"\r\n\r\n1.01\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"buildnum\"\r\n\r\n42\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"builddate\"\r\n\r\nDec 10 2026\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"referid\"\r\n\r\nref7\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"usertext\"\r\n\r\nIt froze.\r\nTwice.\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"errortitle\"\r\n\r\nException at 0001:00001234\r\n"
                       "-----------------------------7d3e1f30eec\r\n"
                       "Content-Disposition: form-data; name=\"errortext\"\r\n\r\nline one\r\nline two\r\n";
const char kEnd[] = "-----------------------------7d3e1f30eec--\r\n";

std::string SampleBody(const std::string* demo)
{
    return BuildCrashUploadBody(SampleFacts(), "It froze.\r\nTwice.", "Exception at 0001:00001234",
                                "line one\r\nline two", demo);
}

} // namespace

TEST(CrashUpload, TheBodyHoldsTheNineFieldsInOrderAndTheDemoWhenThereIsOne)
{
    EXPECT_EQ(SampleBody(nullptr), std::string(kFields) + kEnd);

    const std::string demo("\x78\x00\xEF", 3);
    EXPECT_EQ(SampleBody(&demo), std::string(kFields) +
                                     "-----------------------------7d3e1f30eec\r\n"
                                     "Content-Disposition: form-data; name=\"demofile\"; filename=\"vorlix.dmo\"\r\n"
                                     "Content-Type: application/octet-stream\r\n\r\n" +
                                     demo + "\r\n" + kEnd);
}

TEST(CrashUpload, TheRequestAnnouncesTheBodyByItsLength)
{
    const std::string body = SampleBody(nullptr);
    const std::string request = BuildCrashUploadRequest("127.0.0.1:8080", body);
    EXPECT_EQ(request, "POST /ombrex_error.php HTTP/1.1\r\n"
                       "Content-Type: multipart/form-data; boundary=---------------------------7d3e1f30eec\r\n"
                       "User-Agent: Mozilla/4.0 (compatible; vorlix)\r\n"
                       "Host: 127.0.0.1:8080\r\n"
                       "Content-Length: " +
                           std::to_string(body.size()) +
                           "\r\n"
                           "Connection: close\r\n\r\n" +
                           body);
}

namespace {

int WaitForResult(CrashUploader& uploader)
{
    for (int i = 0; i < 500; ++i) {
        const int result = uploader.GetResultCode();
        if (result != HTTPTransfer::RESULT_IN_PROGRESS && result != HTTPTransfer::RESULT_IDLE)
            return result;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

} // namespace

TEST(CrashUpload, GoesOverTheNetworkEvenWhileADemoPlays)
{
    NetTest::LoopbackServer server;
    ASSERT_TRUE(server.Start());
    server.Serve("/ombrex_error.php", {{"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"}, false});
    ZantApp app;
    app.mPlayingDemoBuffer = true; // a played demo would give recorded results instead
    CrashUploader uploader(CrashUploadTransfer());
    const std::string host = "127.0.0.1:" + std::to_string(server.Port());
    const std::string request = BuildCrashUploadRequest(host, SampleBody(nullptr));
    uploader.Start(host, [&] { return request; });
    EXPECT_EQ(WaitForResult(uploader), HTTPTransfer::RESULT_DONE);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], request);
}

TEST(CrashUpload, AnAbortBeforeTheRequestHasGoneOutKeepsItFromStarting)
{
    NetTest::LoopbackServer server;
    ASSERT_TRUE(server.Start());
    HTTPTransfer transfer;
    transfer.SetNetworkOnly(true);
    CrashUploader uploader(transfer);
    // The abort comes while the request is still being built, after a reset.
    transfer.Reset();
    std::atomic<bool> building{false}, release{false};
    uploader.Start("127.0.0.1:" + std::to_string(server.Port()), [&] {
        building = true;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return std::string("POST / HTTP/1.0\r\n\r\n");
    });
    while (!building)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    uploader.Abort();
    release = true;
    EXPECT_EQ(WaitForResult(uploader), HTTPTransfer::RESULT_ABORTED);
    EXPECT_TRUE(server.Requests().empty());
}

TEST(CrashUpload, AbortEndsATransferThatHasNoWorkerAtOnce)
{
    ZantApp app;
    app.mPlayingDemoBuffer = true; // no worker is started for an ordinary transfer
    HTTPTransfer transfer;
    transfer.GetUrl("http://127.0.0.1:9/");
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_IN_PROGRESS);
    transfer.Abort();
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_ABORTED);
}
