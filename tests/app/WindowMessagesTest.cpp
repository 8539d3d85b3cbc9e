#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/AppTestSupport.h"

using Platform::Msg;
using Platform::PackMousePos;

namespace {

// A widget that records what reaches it.
class Recorder : public Zant::Widget {
public:
    bool WantsFocus() override { return true; }
    void KeyDown(int key) override { log.push_back("down " + std::to_string(key)); }
    void KeyUp(int key) override { log.push_back("up " + std::to_string(key)); }
    void KeyChar(char c) override { log.push_back("char " + std::to_string(static_cast<int>(c))); }
    void MouseDown(int x, int y, int count) override
    {
        Widget::MouseDown(x, y, count);
        log.push_back("mdown " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(count));
    }
    void MouseUp(int x, int y, int count) override
    {
        Widget::MouseUp(x, y, count);
        log.push_back("mup " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(count));
    }
    void MouseDrag(int x, int y) override { log.push_back("drag " + std::to_string(x) + "," + std::to_string(y)); }
    std::vector<std::string> log;
};

void Send(FakeAppFixture& f, Msg msg, int64_t p1 = 0, int64_t p2 = 0)
{
    f.app->HandleWindowMessage(msg, p1, p2);
}

} // namespace

TEST(WindowMessages, InputIsDeferredUntilTheNextPassAndReachesTheFocusWidget)
{
    FakeAppFixture f;
    Recorder r;
    r.Resize(100, 100, 50, 50);
    f.app->mWidgetManager->AddWidget(&r);
    f.app->mWidgetManager->SetFocus(&r);

    Send(f, Msg::KeyDown, 'A');
    Send(f, Msg::Char, 'a');
    Send(f, Msg::KeyUp, 'A');
    EXPECT_TRUE(r.log.empty()); // nothing reaches widgets inside the window procedure
    f.app->ProcessDeferredMessages();
    EXPECT_EQ(r.log, (std::vector<std::string>{"down 65", "char 97", "up 65"}));
    EXPECT_TRUE(f.app->mDeferredMessages.empty());
    f.app->mWidgetManager->RemoveWidget(&r);
}

TEST(WindowMessages, MouseReleaseOutsideStillReachesThePressedWidget)
{
    FakeAppFixture f;
    Recorder r;
    r.Resize(100, 100, 50, 50);
    f.app->mWidgetManager->AddWidget(&r);

    Send(f, Msg::LButtonDown, 0, PackMousePos(110, 120));
    Send(f, Msg::MouseMove, 0, PackMousePos(300, 300));
    Send(f, Msg::LButtonUp, 0, PackMousePos(-5, 400));
    Send(f, Msg::RButtonDblClk, 0, PackMousePos(101, 101));
    f.app->ProcessDeferredMessages();
    EXPECT_EQ(r.log, (std::vector<std::string>{"mdown 10,20 1", "drag 200,200", "drag -105,300", "mup -105,300 1",
                                         "mdown 1,1 -2"}));
    EXPECT_TRUE(f.windows.captured); // the right button is still down
    f.app->mWidgetManager->RemoveWidget(&r);
}

TEST(WindowMessages, CloseShutsDownOnTheNextPassWithoutDestroyingTheWindow)
{
    FakeAppFixture f;
    f.windows.hasWindow = true;
    EXPECT_TRUE(f.app->HandleWindowMessage(Msg::Close, 0, 0));
    EXPECT_FALSE(f.app->mShutdown);
    EXPECT_TRUE(f.windows.hasWindow);
    f.app->ProcessDeferredMessages();
    EXPECT_TRUE(f.app->mShutdown);
}

TEST(WindowMessages, AltEnterTogglesScreenModeOnlyAfterLoading)
{
    FakeAppFixture f;
    f.app->mLoadingThreadCompleted = false;
    Send(f, Msg::SysKeyDown, 13);
    EXPECT_TRUE(f.app->mIsWindowed);
    EXPECT_EQ(f.windows.created, 0);

    f.app->mLoadingThreadCompleted = true;
    Send(f, Msg::SysKeyDown, 13);
    EXPECT_FALSE(f.app->mIsWindowed);
    EXPECT_EQ(f.windows.created, 1);
    EXPECT_TRUE(f.windows.fullScreen);

    f.app->mFullScreenForced = true;
    Send(f, Msg::SysKeyDown, 13);
    EXPECT_FALSE(f.app->mIsWindowed);
}

TEST(WindowMessages, MinimisingMutesAndRestoringUnmutes)
{
    FakeAppFixture f;
    Send(f, Msg::Size, 1);
    f.app->ProcessDeferredMessages();
    EXPECT_TRUE(f.app->mMinimized);
    EXPECT_TRUE(f.app->IsMuted());
    EXPECT_FALSE(f.app->mHasFocus);
    Send(f, Msg::Size, 0);
    f.app->ProcessDeferredMessages();
    EXPECT_FALSE(f.app->IsMuted());
    EXPECT_TRUE(f.app->mHasFocus);
}

TEST(WindowMessages, SecondInstanceNoticeRestoresAndRaises)
{
    FakeAppFixture f;
    f.windows.minimized = true;
    Send(f, Msg::Notify);
    EXPECT_EQ(f.windows.raised, 1);
    EXPECT_FALSE(f.windows.minimized);
}

TEST(WindowMessages, CtrlAltDTogglesDebugKeys)
{
    FakeAppFixture f;
    Send(f, Msg::KeyDown, 17);
    Send(f, Msg::KeyDown, 18);
    Send(f, Msg::KeyDown, 68);
    f.app->ProcessDeferredMessages();
    EXPECT_TRUE(f.app->mDebugKeysEnabled);
}

TEST(WindowMessages, WebPageOpenReportsByActivationAndTime)
{
    // Taking the activation away for 8 s means the page opened; staying active
    // for 12 s means it failed.
    for (bool stayActive : {false, true}) {
        FakeAppFixture f;
        f.app->mInMainLoop = true;
        f.app->mWebPageOpenPending = true;
        f.app->mOpenedUrl = "http://example.invalid/";
        f.app->mOpenedUrlTime = f.clock.TickCount();
        f.app->mLastTimerTime = f.clock.TickCount();
        f.app->mLastBigDelayTime = f.clock.TickCount() - 6000;
        if (!stayActive) {
            Send(f, Msg::ActivateApp, 0);
            f.app->mWebPageOpenPending = true; // keep it pending past the activation
            f.app->ProcessDeferredMessages();
            f.app->mWebPageOpenPending = true;
        }
        for (int t = 0; t < 13000 && f.app->mWebPageOpenPending; t += 10) {
            f.clock.Advance(10);
            Send(f, Msg::Timer, 100);
            f.app->ProcessDeferredMessages();
        }
        EXPECT_FALSE(f.app->mWebPageOpenPending) << stayActive;
    }
}
