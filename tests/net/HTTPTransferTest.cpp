// Transfers against a loopback server started by each test.
#include <gtest/gtest.h>

#include "LoopbackServer.h"
#include "framework/net/HTTPTransfer.h"

using namespace Zant;
using NetTest::LoopbackServer;

namespace {

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mServer.Start()); }
    LoopbackServer mServer;
};

} // namespace

TEST(HTTPTransferUrl, SplitsUrlAndBuildsRequest)
{
    NetTest::ClosedPort closed; // nothing answers: only the split is looked at
    const std::string port = std::to_string(closed.Port());
    struct Case {
        std::string url;
        std::string protocol, host;
        int port;
        std::string path;
    } cases[] = {
        {"http://127.0.0.1:" + port + "/a/b?c=1", "http", "127.0.0.1", closed.Port(), "/a/b?c=1"},
        {"http://127.0.0.1:" + port, "http", "127.0.0.1", closed.Port(), "/"},
        {"127.0.0.1:" + port + "/x", "", "127.0.0.1", closed.Port(), "/x"},
        {"http://127.0.0.1:/x", "http", "127.0.0.1", 0, "/x"},
        {"http://127.0.0.1:99999999/x", "http", "127.0.0.1", 0, "/x"},
    };
    for (const Case& c : cases) {
        HTTPTransfer t;
        t.GetUrl(c.url);
        EXPECT_EQ(t.GetProtocol(), c.protocol) << c.url;
        EXPECT_EQ(t.GetHost(), c.host) << c.url;
        EXPECT_EQ(t.GetPort(), c.port) << c.url;
        EXPECT_EQ(t.GetPath(), c.path) << c.url;
        EXPECT_EQ(t.GetRelativeUrl(), c.url);
        t.WaitFor();
        EXPECT_EQ(t.GetResultCode(), HTTPTransfer::RESULT_CONNECT_FAILED) << c.url;
    }
}

TEST(HTTPTransferUrl, NewIdsAndIdleAfterReset)
{
    HTTPTransfer a, b;
    EXPECT_NE(a.GetTransferId(), b.GetTransferId());
    EXPECT_EQ(a.GetResultCode(), HTTPTransfer::RESULT_IDLE);
    const uint32_t before = a.GetTransferId();
    a.Reset();
    EXPECT_NE(a.GetTransferId(), before);
    EXPECT_NE(a.GetTransferId(), b.GetTransferId());
    EXPECT_EQ(a.GetResultCode(), HTTPTransfer::RESULT_IDLE);
}

TEST_F(TransferTest, FetchesBodiesAndReportsStatus)
{
    mServer.Serve("/chunked", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc", "\r\n4 \r\ndefg\r\n",
                                "0\r\n\r\n"}});
    mServer.Serve("/close", {{"HTTP/1.0 200 OK\r\n\r\n", std::string(1000, 'k')}});
    mServer.Serve("/len", {{"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n1234"}, true});
    mServer.Serve("/short", {{"HTTP/1.0 200 OK\r\nContent-Length: 40\r\n\r\n1234"}});
    mServer.Serve("/err", {{"HTTP/1.0 503 Busy\r\n\r\n"}});
    struct Case {
        const char* path;
        int result;
        std::string content;
    } cases[] = {
        {"/chunked", 0, "abcdefg"},
        {"/close", 0, std::string(1000, 'k')},
        {"/len", 0, "1234"}, // ends at the length although the server keeps the line open
        {"/missing", 3, ""},
        {"/err", 4, ""},
        {"/short", 6, ""},   // a body that broke off is not passed off as complete
    };
    for (const Case& c : cases) {
        HTTPTransfer t;
        t.GetUrl(mServer.Url(c.path));
        t.WaitFor();
        EXPECT_EQ(t.GetResultCode(), c.result) << c.path;
        EXPECT_EQ(t.GetContent(), c.content) << c.path;
    }
}

TEST_F(TransferTest, SendsTheRequestText)
{
    mServer.Serve("/dir/q", {{"HTTP/1.0 200 OK\r\n\r\nok"}});
    mServer.Serve("/q", {{"HTTP/1.0 200 OK\r\n\r\n"}});
    HTTPTransfer get;
    get.GetRelative(mServer.Url("/dir/check"), "q");
    get.WaitFor();
    EXPECT_EQ(get.GetContent(), "ok");
    EXPECT_TRUE(get.GetRequest().empty());

    HTTPTransfer post;
    const std::string request = "POST /q HTTP/1.0\r\nContent-Length: 2\r\n\r\nhi";
    post.SendRequest(mServer.Url("/q"), request);
    post.WaitFor();
    EXPECT_EQ(post.GetResultCode(), 0);

    const auto requests = mServer.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "GET /dir/q HTTP/1.0\r\nUser-Agent: Mozilla/4.0 (compatible; vorlix)\r\nHost: 127.0.0.1\r\n"
                           "Connection: close\r\n\r\n");
    EXPECT_EQ(requests[1].substr(0, request.size() - 2), request.substr(0, request.size() - 2));
}

TEST_F(TransferTest, AbortEndsAWaitOnASilentServer)
{
    mServer.Serve("/silent", {{}, true});
    HTTPTransfer t;
    t.GetUrl(mServer.Url("/silent"));
    EXPECT_EQ(t.GetResultCode(), HTTPTransfer::RESULT_IN_PROGRESS);
    EXPECT_EQ(t.GetContent(), "");
    t.Abort();
    t.WaitFor();
    EXPECT_EQ(t.GetResultCode(), HTTPTransfer::RESULT_ABORTED);
}

TEST_F(TransferTest, DestroyingARunningTransferStopsItsWorker)
{
    mServer.Serve("/silent", {{}, true});
    for (int i = 0; i < 3; ++i) {
        HTTPTransfer t;
        t.GetUrl(mServer.Url("/silent"));
    } // each destructor aborts and joins; a leaked worker would touch freed memory
    HTTPTransfer reused;
    reused.GetUrl(mServer.Url("/silent"));
    reused.GetUrl(mServer.Url("/missing")); // a new request on a busy transfer waits for the old one
    reused.WaitFor();
    EXPECT_EQ(reused.GetResultCode(), HTTPTransfer::RESULT_NOT_FOUND);
}

TEST(HTTPTransferFailures, UnresolvableHostAndRefusedConnection)
{
    NetTest::ClosedPort closed;
    HTTPTransfer noHost;
    noHost.GetUrl("http:///path");
    noHost.WaitFor();
    EXPECT_EQ(noHost.GetResultCode(), HTTPTransfer::RESULT_NO_HOST);
    EXPECT_FALSE(noHost.GetErrorText().empty());

    HTTPTransfer refused;
    refused.GetUrl("http://127.0.0.1:" + std::to_string(closed.Port()) + "/");
    refused.WaitFor();
    EXPECT_EQ(refused.GetResultCode(), HTTPTransfer::RESULT_CONNECT_FAILED);
}
