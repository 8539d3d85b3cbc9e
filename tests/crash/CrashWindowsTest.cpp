// The crash windows' flow, driven through the widget manager as a player's clicks
// and keys would drive it, with the upload going to a loopback server.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "framework/app/ZantApp.h"
#include "framework/crash/CrashTextBox.h"
#include "framework/crash/CrashWindowMode.h"
#include "framework/crash/CrashWindows.h"
#include "framework/net/HTTPTransfer.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "tests/net/LoopbackServer.h"
#include "platform/crash/CrashHandler.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using Window = CrashWindows::Window;

namespace {

struct Opened {
    std::string title;
    int x, y, width, height;
};

class RecordingHost : public CrashWindowHost {
public:
    void OpenWindow(const std::string& title, int x, int y, int width, int height) override
    {
        opened.push_back({title, x, y, width, height});
    }
    std::vector<Opened> opened;
};

const char kOk[] = "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok";

class CrashWindowsTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(mServer.Start());
        mApp.mWidgetManager = new WidgetManager(&mApp);
        mSession.mReport = "Exception: Access Violation (code 0xc0000005) at address 00001234 in thread 1F";
        mSession.mErrorTitle = "Exception at 0001:00001234";
        mSession.mHost = "127.0.0.1:" + std::to_string(mServer.Port());
        mSession.mHasApplication = true;
        mSession.mFacts.mProdName = "Plindor";
        mTransfer.SetNetworkOnly(true);
    }

    CrashWindows& Open()
    {
        mWindows = std::make_unique<CrashWindows>(mApp.mWidgetManager, &mApp, &mHost, mSession, mTransfer);
        mWindows->Open();
        return *mWindows;
    }

    void Click(int id)
    {
        ButtonWidget* button = mWindows->FindButton(id);
        ASSERT_NE(button, nullptr) << "no button " << id;
        const int x = button->mX + button->mWidth / 2, y = button->mY + button->mHeight / 2;
        WidgetManager* manager = mApp.mWidgetManager;
        manager->MouseMove(x, y);
        manager->MouseDown(x, y, 1);
        manager->MouseUp(x, y, 1);
    }

    void Type(const std::string& text)
    {
        for (char c : text)
            mApp.mWidgetManager->KeyChar(c == '\n' ? '\r' : c);
    }

    // Runs the windows' timers (20 ms a step) until the test holds, for at most
    // limitMs of real time.
    bool RunUntil(const std::function<bool()>& test, int limitMs = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (!test()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            mNow += CrashWindows::POLL_PERIOD_MS;
            mWindows->Tick(mNow);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    void SendWithDescription(const std::string& text)
    {
        Click(CrashWindows::ID_SEND_REPORT);
        ASSERT_EQ(mWindows->Current(), Window::Details);
        Type(text);
        Click(CrashWindows::ID_CONTINUE);
        ASSERT_EQ(mWindows->Current(), Window::Progress);
    }

    std::string ExpectedRequest(const std::string& userText, const std::string* demo = nullptr) const
    {
        return BuildCrashUploadRequest(
            mSession.mHost, BuildCrashUploadBody(mSession.mFacts, userText, mSession.mErrorTitle, mSession.mReport, demo));
    }

    NetTest::LoopbackServer mServer;
    ZantApp mApp;
    RecordingHost mHost;
    CrashSession mSession;
    HTTPTransfer mTransfer;
    std::unique_ptr<CrashWindows> mWindows;
    uint32_t mNow = 1000;
};

} // namespace

TEST_F(CrashWindowsTest, SendingTheReportWithADescription)
{
    mServer.Serve("/ombrex_error.php", {{kOk}, false});
    Open();
    SendWithDescription("It froze\nin the abyss.");
    ASSERT_TRUE(RunUntil([&] { return mWindows->Done(); }));

    const auto requests = mServer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], ExpectedRequest("It froze\r\nin the abyss."));

    ASSERT_EQ(mHost.opened.size(), 3u);
    const Opened expected[] = {{"Fatal Error!", 64, 64, 400, 300},
                               {"Error Details", 80, 80, 400, 300},
                               {"Submitting Report", 64, 64, 240, 64}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(mHost.opened[i].title, expected[i].title);
        EXPECT_EQ(mHost.opened[i].x, expected[i].x) << expected[i].title;
        EXPECT_EQ(mHost.opened[i].y, expected[i].y) << expected[i].title;
        EXPECT_EQ(mHost.opened[i].width, expected[i].width) << expected[i].title;
        EXPECT_EQ(mHost.opened[i].height, expected[i].height) << expected[i].title;
    }
}

TEST_F(CrashWindowsTest, TheDemoRecordedUntilTheFaultIsSentAlong)
{
    TestSupport::TempDir dir;
    const std::string demo("\x78\xEF\xBE\x42\x02\x00", 6);
    TestSupport::WriteFile(dir.File("vorlix.dmo"), demo);
    mSession.mDemoFile = dir.File("vorlix.dmo");
    mServer.Serve("/ombrex_error.php", {{kOk}, false});
    Open();
    SendWithDescription("");
    ASSERT_TRUE(RunUntil([&] { return mWindows->Done(); }));
    const auto requests = mServer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], ExpectedRequest("", &demo));
}

TEST_F(CrashWindowsTest, AFailedUploadOffersARetryThatSendsTheSameReportAgain)
{
    mServer.ServeOnce("/ombrex_error.php", {{"HTTP/1.0 500 Internal Server Error\r\n\r\n"}, false});
    mServer.Serve("/ombrex_error.php", {{kOk}, false});
    Open();
    SendWithDescription("again");
    ASSERT_TRUE(RunUntil([&] { return mWindows->Current() == Window::Failed; }));
    EXPECT_EQ(mHost.opened.back().title, "Connection Failed");
    EXPECT_EQ(mTransfer.GetResultCode(), HTTPTransfer::RESULT_IDLE) << "reset for the retry";
    Click(CrashWindows::ID_RETRY);
    ASSERT_EQ(mWindows->Current(), Window::Progress);
    ASSERT_TRUE(RunUntil([&] { return mWindows->Done(); }));

    const auto requests = mServer.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], ExpectedRequest("again"));
    EXPECT_EQ(requests[1], requests[0]);
}

TEST_F(CrashWindowsTest, CancelAfterAFailureEndsWithoutAnotherRequest)
{
    mServer.Serve("/ombrex_error.php", {{"HTTP/1.0 404 Not Found\r\n\r\n"}, false});
    Open();
    SendWithDescription("x");
    ASSERT_TRUE(RunUntil([&] { return mWindows->Current() == Window::Failed; }));
    Click(CrashWindows::ID_CANCEL);
    EXPECT_TRUE(mWindows->Done());
    EXPECT_EQ(mServer.Requests().size(), 1u);
}

TEST_F(CrashWindowsTest, AbortOrClosingEndsAnUploadToASilentServerWithinASecond)
{
    for (bool closeBox : {false, true}) {
        mServer.Serve("/ombrex_error.php", {{}, true});
        Open();
        SendWithDescription("");
        ASSERT_TRUE(RunUntil([&] { return mServer.Requests().size() == (closeBox ? 2u : 1u); }));
        if (closeBox)
            mWindows->CloseRequested();
        else
            Click(CrashWindows::ID_PROGRESS_ABORT);
        EXPECT_TRUE(RunUntil([&] { return mWindows->Done(); }, 1000)) << (closeBox ? "close box" : "Abort");
        EXPECT_EQ(mTransfer.GetResultCode(), HTTPTransfer::RESULT_ABORTED);
        mWindows.reset();
    }
}

TEST_F(CrashWindowsTest, CloseNowAbortAndTheCloseBoxEndWithoutSending)
{
    struct Case {
        const char* what;
        std::function<void(CrashWindowsTest&)> act;
    } cases[] = {
        {"Close Now", [](CrashWindowsTest& t) { t.Click(CrashWindows::ID_CLOSE_NOW); }},
        {"close box of the first window", [](CrashWindowsTest& t) { t.mWindows->CloseRequested(); }},
        {"Abort in the details",
         [](CrashWindowsTest& t) {
             t.Click(CrashWindows::ID_SEND_REPORT);
             t.Click(CrashWindows::ID_DETAILS_ABORT);
         }},
        {"close box of the details",
         [](CrashWindowsTest& t) {
             t.Click(CrashWindows::ID_SEND_REPORT);
             t.mWindows->CloseRequested();
         }},
    };
    for (const Case& c : cases) {
        Open();
        c.act(*this);
        EXPECT_TRUE(mWindows->Done()) << c.what;
        mWindows->Tick(mNow);
        mWindows.reset();
    }
    EXPECT_TRUE(mServer.Requests().empty());
}

TEST_F(CrashWindowsTest, WithoutAServiceOrAnApplicationNothingCanBeSent)
{
    struct Case {
        const char* what;
        std::string host;
        bool application;
        const char* label;
    } cases[] = {
        {"no service", "", true, "Reports cannot be sent"},
        {"no application", mSession.mHost, false, "Send Report"},
    };
    for (const Case& c : cases) {
        mSession.mHost = c.host;
        mSession.mHasApplication = c.application;
        Open();
        ButtonWidget* send = mWindows->FindButton(CrashWindows::ID_SEND_REPORT);
        ASSERT_NE(send, nullptr);
        EXPECT_EQ(send->mLabel, c.label) << c.what;
        EXPECT_TRUE(send->mDisabled) << c.what;
        Click(CrashWindows::ID_SEND_REPORT);
        EXPECT_EQ(mWindows->Current(), Window::Fatal) << c.what;
        Click(CrashWindows::ID_CLOSE_NOW);
        EXPECT_TRUE(mWindows->Done()) << c.what;
        mWindows.reset();
    }
}

TEST_F(CrashWindowsTest, TheDescriptionStopsAtItsLimit)
{
    Open();
    Click(CrashWindows::ID_SEND_REPORT);
    Type(std::string(CrashWindows::MAX_USER_TEXT + 50, 'a'));
    EXPECT_EQ(mWindows->DescriptionBox()->GetText().size(), CrashWindows::MAX_USER_TEXT);
}

TEST(CrashWindowsProgress, OneDotForEachSecondModuloTen)
{
    struct Case {
        int seconds;
        const char* text;
    } cases[] = {
        {0, "Please Wait"}, {3, "Please Wait . . ."}, {9, "Please Wait . . . . . . . . ."}, {10, "Please Wait"}, {13, "Please Wait . . ."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CrashWindows::ProgressText(c.seconds), c.text) << c.seconds;
}

TEST(CrashWindowArguments, TheSessionSurvivesTheTripToTheNewCopy)
{
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.File("crash.txt"), "line one\r\nline two\r\n\r\n");
    CrashSession session;
    session.mErrorTitle = "Exception at 0001:00000010";
    session.mHost = "reports.example:8080";
    session.mDemoFile = "/tmp/vorlix.dmo";
    session.mHasApplication = true;
    session.mFacts = {"diver=1", "Plindor", "1.01", 1234, "Dec 10 2026", "ref"};
    const std::vector<std::string> arguments = CrashWindowArguments(session, dir.File("crash.txt"));
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(arguments[0], CRASH_WINDOW_SWITCH);

    CrashSession back;
    ASSERT_TRUE(ParseCrashWindowArguments(arguments, back));
    EXPECT_EQ(back.mReport, "line one\r\nline two\r\n") << "the crash file's last line end is not the report's";
    EXPECT_EQ(back.mErrorTitle, session.mErrorTitle);
    EXPECT_EQ(back.mHost, session.mHost);
    EXPECT_EQ(back.mDemoFile, session.mDemoFile);
    EXPECT_TRUE(back.mHasApplication);
    EXPECT_EQ(back.mFacts.mUserName, "diver=1");
    EXPECT_EQ(back.mFacts.mBuildNum, 1234);
    EXPECT_EQ(back.mFacts.mReferId, "ref");

    EXPECT_FALSE(ParseCrashWindowArguments({CRASH_WINDOW_SWITCH, "bogus"}, back));
    EXPECT_FALSE(ParseCrashWindowArguments({CRASH_WINDOW_SWITCH, "colour=red"}, back));
}

TEST(CrashWindowArguments, TheReportIsHandedOverWithoutTheCrashFile)
{
    // No crash file was written; the window still gets the whole report.
    const std::string report = "Exception: Access Violation\r\n\r\nProduct: Plindor\r\n";
    const std::string shared = Platform::CrashHandler::ShareReport(report);
    ASSERT_FALSE(shared.empty());
    CrashSession back;
    ASSERT_TRUE(ParseCrashWindowArguments(CrashWindowArguments(CrashSession(), shared), back));
    EXPECT_EQ(back.mReport, report);
}
