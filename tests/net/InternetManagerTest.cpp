// The update reply, the download list and adlist.txt, against a loopback server.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "LoopbackServer.h"
#include "tests/support/TestSupport.h"
#include "framework/net/InternetManager.h"
#include "platform/Clock.h"

using namespace Zant;
using NetTest::LoopbackServer;
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

namespace {

LoopbackServer::Reply Ok(const std::string& body)
{
    return {{"HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body}};
}

class InternetManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mServer.Start()); }

    void CheckWith(InternetManager& m, const std::string& reply)
    {
        mServer.Serve("/svc/check", Ok(reply));
        m.FetchUrl(mServer.Url("/svc/check"));
        m.GetUpdateCheckTransfer().WaitFor();
        ASSERT_EQ(m.GetCheckState(), 2);
        m.GetUpdateState(); // the reply is read when first asked about, as the dialog does
    }

    // Runs the download step, as the application does once per update, until
    // nothing is pending and every transfer has been collected (bounded).
    static void DownloadAll(InternetManager& m)
    {
        for (int pass = 0; pass < 4000; ++pass) {
            m.UpdateDownloads();
            m.PruneDownloadList(); // as the update-check dialog does each update
            if (m.GetPendingDownloads().empty() && m.DownloadsIdle())
                return;
            Platform::SleepMs(5);
        }
        FAIL() << "downloads did not finish";
    }

    int RequestsFor(const std::string& path)
    {
        const auto requests = mServer.Requests();
        return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const std::string& r) {
            return r.rfind("GET " + path + " ", 0) == 0;
        }));
    }

    LoopbackServer mServer;
    TempDir mDir;
};

} // namespace

TEST_F(InternetManagerTest, CheckStateFollowsTheTransfer)
{
    InternetManager m(mDir.Path());
    EXPECT_EQ(m.GetCheckState(), 0);
    EXPECT_TRUE(m.GetUpdateState()); // no reply yet: nothing to offer, nothing denied
    EXPECT_EQ(m.GetUpdateUrl(), "");
    m.FetchUrl(mServer.Url("/nothing-here"));
    m.GetUpdateCheckTransfer().WaitFor();
    EXPECT_EQ(m.GetCheckState(), 3);
}

TEST_F(InternetManagerTest, ReplyWithoutUpdateOrPages)
{
    InternetManager m(mDir.Path());
    CheckWith(m, "0\r\n\r\nhttp://example.invalid/get  \r\n");
    EXPECT_FALSE(m.GetUpdateState());
    EXPECT_EQ(m.GetUpdateUrl(), "http://example.invalid/get");
    EXPECT_TRUE(m.GetAdList().empty());
    EXPECT_TRUE(m.GetPendingDownloads().empty());
}

TEST_F(InternetManagerTest, DownloadsListedPagesOnceAndRemembersThem)
{
    mServer.Serve("/svc/a/page.html", Ok("<html>a</html>"));
    mServer.Serve("/svc/a/pic.png", Ok("PNG"));
    mServer.Serve("/svc/b.html", Ok("<html>b</html>"));
    {
        InternetManager m(mDir.Path());
        CheckWith(m, "1\nhttp://example.invalid/new\n640 480 | a/page.html a/pic.png\n320 200 | a/pic.png b.html\n");
        EXPECT_TRUE(m.GetUpdateState());
        EXPECT_EQ(m.GetPendingDownloads(), (std::vector<std::string>{"a/page.html", "a/pic.png", "b.html"}));
        EXPECT_FALSE(m.HasReadyPage());
        DownloadAll(m);
        EXPECT_EQ(ReadFile(mDir.File("a/page.html")), "<html>a</html>");
        EXPECT_EQ(ReadFile(mDir.File("b.html")), "<html>b</html>");
        EXPECT_EQ(RequestsFor("/svc/a/pic.png"), 1);
        EXPECT_TRUE(m.HasReadyPage());
        EXPECT_EQ(m.PickPage(), "a/page.html");
        std::filesystem::remove(mDir.File("b.html"));
        EXPECT_TRUE(m.HasReadyPage());
        std::filesystem::remove(mDir.File("a/pic.png"));
        EXPECT_FALSE(m.HasReadyPage());
        EXPECT_EQ(m.PickPage(), "");
    }
    EXPECT_EQ(ReadFile(mDir.File("adlist.txt")), "640 480 | a/page.html a/pic.png | 1\r\n320 200 | a/pic.png b.html | 1\r\n");
}

TEST_F(InternetManagerTest, FailedDownloadIsDroppedNotRetried)
{
    InternetManager m(mDir.Path());
    CheckWith(m, "0\nhttp://example.invalid/\n10 10 | gone.html\n");
    DownloadAll(m);
    EXPECT_EQ(RequestsFor("/svc/gone.html"), 1);
    EXPECT_FALSE(std::filesystem::exists(mDir.File("gone.html")));
    EXPECT_FALSE(m.HasReadyPage());
}

TEST_F(InternetManagerTest, NamesOutsideTheFolderAreRefused)
{
    InternetManager m(mDir.Path());
    CheckWith(m, "0\nu\n10 10 | ../evil.html /etc/evil a/../../evil a\\b.html c:x ok/page.html a//b\n");
    EXPECT_EQ(m.GetPendingDownloads(), (std::vector<std::string>{"ok/page.html"}));
    ASSERT_EQ(m.GetAdList().size(), 1u);
    EXPECT_EQ(m.GetAdList()[0].mFileNames, (std::vector<std::string>{"ok/page.html"}));
}

TEST_F(InternetManagerTest, AdListReadBackAndShowFlagKeptAcrossReplies)
{
    WriteFile(mDir.File("adlist.txt"), "640 480 | p.html q.png | 0\r\n\r\n10 20x | z.html\r\n");
    {
        InternetManager m(mDir.Path());
        ASSERT_EQ(m.GetAdList().size(), 2u);
        EXPECT_EQ(m.GetAdList()[0].mWidth, 640);
        EXPECT_EQ(m.GetAdList()[0].mHeight, 480);
        EXPECT_FALSE(m.GetAdList()[0].mShow);
        EXPECT_EQ(m.GetAdList()[1].mHeight, 20);
        EXPECT_TRUE(m.GetAdList()[1].mShow);
        // A page switched off stays off when the next reply lists it again; a new one starts on.
        CheckWith(m, "0\nu\n800 600 | p.html\n1 1 | new.html\n");
        ASSERT_EQ(m.GetAdList().size(), 2u);
        EXPECT_FALSE(m.GetAdList()[0].mShow);
        EXPECT_EQ(m.GetAdList()[0].mWidth, 800);
        EXPECT_TRUE(m.GetAdList()[1].mShow);
    }
    EXPECT_EQ(ReadFile(mDir.File("adlist.txt")), "800 600 | p.html | 0\r\n1 1 | new.html | 1\r\n");
}

TEST_F(InternetManagerTest, EmptyListLeavesTheFileAlone)
{
    WriteFile(mDir.File("adlist.txt"), "\r\n\r\n");
    {
        InternetManager m(mDir.Path());
        EXPECT_TRUE(m.GetAdList().empty());
    }
    EXPECT_EQ(ReadFile(mDir.File("adlist.txt")), "\r\n\r\n");
}

// A damaged adlist.txt may hold any number of bad names: one log line says how many.
TEST_F(InternetManagerTest, IgnoredNamesAreCountedInOneLogLine)
{
    std::string line = "1 1 |";
    for (int i = 0; i < 5000; ++i)
        line += " ../bad" + std::to_string(i);
    WriteFile(mDir.File("adlist.txt"), line + " ok.html | 1\r\n2 2 | /abs\x01 | 0\r\n");
    testing::internal::CaptureStderr();
    {
        InternetManager m(mDir.Path());
        ASSERT_EQ(m.GetAdList().size(), 2u);
        EXPECT_EQ(m.GetAdList()[0].mFileNames, (std::vector<std::string>{"ok.html"}));
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "Ignored 5001 AdFile name(s), the first: ../bad0\n");
}
