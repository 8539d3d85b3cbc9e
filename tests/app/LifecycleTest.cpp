#include <gtest/gtest.h>

#include "tests/app/AppTestSupport.h"

TEST(Lifecycle, SmallDesktopsForceFullScreen)
{
    struct Case {
        int w, h;
        bool forced;
    } cases[] = {{640, 480, true}, {800, 600, false}, {1024, 480, true}, {640, 1024, true}, {0, 0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(Zant::ZantApp::MustRunFullScreen(640, 480, {c.w, c.h}), c.forced) << c.w << "x" << c.h;
}

namespace {
// Counts the work Shutdown does.
class CountingApp : public Zant::ZantApp {
public:
    void SaveSettings() override { ++saves; }
    int saves = 0;
};
} // namespace

TEST(Lifecycle, ShutdownDoesItsWorkOnce)
{
    Platform::FakeClock clock;
    Platform::SetClock(&clock);
    {
        Platform::FakeWindowSystem windows;
        CountingApp app;
        app.SetWindowSystem(&windows);
        windows.shown = true;
        app.mLoadedSettings = true;
        app.Shutdown();
        app.Shutdown();
        EXPECT_TRUE(app.mShutdown);
        EXPECT_EQ(app.saves, 1);
        EXPECT_FALSE(windows.shown);
        // The main loop does nothing once quit is set: no threads, no statistics.
        app.RunMainLoop();
        EXPECT_FALSE(app.mLoadingThreadStarted);
        EXPECT_FALSE(app.mCursorThreadRunning);
    }
    Platform::SetClock(nullptr);
}

TEST(Lifecycle, ShutdownWaitsForTheCursorThread)
{
    Platform::FakeWindowSystem windows;
    Zant::ZantApp app;
    app.SetWindowSystem(&windows);
    app.StartCursorThread();
    EXPECT_TRUE(app.mCursorThreadRunning);
    app.Shutdown();
    EXPECT_FALSE(app.mCursorThreadRunning);
}

TEST(Lifecycle, LoadingProgress)
{
    Zant::ZantApp app;
    EXPECT_EQ(app.GetLoadingProgress(), 0.0);
    app.mLoadingThreadStarted = true;
    app.mNumLoadingThreadTasks = 4;
    app.mCompletedLoadingThreadTasks = 1;
    EXPECT_EQ(app.GetLoadingProgress(), 0.25);
    app.mCompletedLoadingThreadTasks = 9;
    EXPECT_EQ(app.GetLoadingProgress(), 1.0);
    app.mLoadingThreadStarted = false;
    app.mLoadingThreadCompleted = true;
    EXPECT_EQ(app.GetLoadingProgress(), 1.0);
}
