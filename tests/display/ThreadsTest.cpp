// The loading and cursor threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDInterface.h"
#include "platform/display/FakeScreen.h"
#include "tests/display/AppFixture.h"

using namespace Zant;

namespace {

class LoaderApp : public ZantApp {
public:
    // The loader runs this class's LoadingProc: it must end before this part of the
    // object goes, which the base destructor's own wait would be too late for.
    ~LoaderApp() override { WaitForLoader(); }
    void LoadingProc() override
    {
        if (load)
            load(*this);
    }
    void LoadingCompleted() override
    {
        ++completedCalls;
        completedOn = std::this_thread::get_id();
    }
    std::function<void(LoaderApp&)> load;
    std::atomic<int> completedCalls{0};
    std::thread::id completedOn;
};

using ThreadFixture = DisplayTest::AppFixture<LoaderApp>;

void SleepFor(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Polls until done() or a generous time-out.
bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        SleepFor(10);
    return done();
}

// Gives the application a display on a fake screen.
DDInterface* AttachDisplay(ZantApp& app)
{
    auto* dd = new DDInterface(&app, std::make_unique<Platform::FakeScreen>());
    app.mDDInterface = dd;
    EXPECT_EQ(dd->Init(nullptr, true), 0);
    return dd;
}

} // namespace

TEST(LoadingThread, ProgressFollowsTheCounters)
{
    struct Case {
        const char* what;
        bool started, completed;
        int total, done;
        double progress;
    };
    const Case cases[] = {
        {"not started", false, false, 10, 5, 0.0},
        {"started, no total", true, false, 0, 0, 0.0},
        {"half way", true, false, 10, 5, 0.5},
        {"counted past the total", true, false, 10, 12, 1.0},
        {"completed, counters untouched", true, true, 0, 0, 1.0},
    };
    for (const Case& c : cases) {
        ThreadFixture f;
        f.app->mLoadingThreadStarted = c.started;
        f.app->mLoadingThreadCompleted = c.completed;
        f.app->mNumLoadingThreadTasks = c.total;
        f.app->mCompletedLoadingThreadTasks = c.done;
        EXPECT_DOUBLE_EQ(f.app->GetLoadingProgress(), c.progress) << c.what;
        f.app->mLoadingThreadStarted = false; // nothing to wait for
    }
}

TEST(LoadingThread, TheMainThreadRunsTheFinishedHookOnceAfterLoading)
{
    ThreadFixture f(false, false);
    f.app->load = [](LoaderApp& app) {
        SleepFor(50);
        app.mCompletedLoadingThreadTasks = app.mNumLoadingThreadTasks.load();
    };
    f.app->mNumLoadingThreadTasks = 3;
    f.app->StartLoadingThread();
    int updatesAfterLoaded = 0;
    for (int i = 0; i < 1000 && updatesAfterLoaded < 5; ++i) {
        const bool loadedBefore = f.app->mLoaded;
        f.app->UpdateOnce();
        if (loadedBefore) {
            ++updatesAfterLoaded;
            // The first update that sees the loader finished completes loading.
            EXPECT_EQ(f.app->completedCalls, 1);
        } else {
            EXPECT_EQ(f.app->completedCalls, 0);
        }
        SleepFor(2);
    }
    EXPECT_EQ(f.app->completedCalls, 1);
    EXPECT_EQ(f.app->completedOn, std::this_thread::get_id());
    EXPECT_TRUE(f.app->mLoadingThreadCompleted);
    EXPECT_DOUBLE_EQ(f.app->GetLoadingProgress(), 1.0);
    f.app->WaitForLoader();
    EXPECT_FALSE(f.app->mLoadingThread.joinable());
}

TEST(LoadingThread, QuitBeforeTheLoopStartsNoThread)
{
    ThreadFixture f(false, false);
    f.app->mShutdown = true;
    f.app->RunMainLoop();
    EXPECT_FALSE(f.app->mLoadingThreadStarted);
    EXPECT_FALSE(f.app->mLoadingThread.joinable());
    EXPECT_FALSE(f.app->mCursorThread.joinable());
}

TEST(LoadingThread, DestroyingTheApplicationWaitsForTheLoader)
{
    std::atomic<bool> finished{false};
    {
        ThreadFixture f(false, false);
        f.app->load = [&](LoaderApp&) {
            SleepFor(300);
            finished = true;
        };
        f.app->StartLoadingThread();
        SleepFor(20);
        // The fixture deletes the application here.
    }
    EXPECT_TRUE(finished);
}

TEST(CursorThread, MovesTheDisplayCursorOnlyWhenTheMouseMoves)
{
    ThreadFixture f(false);
    DDInterface* dd = AttachDisplay(*f.app);
    f.windows.cursorX = f.windows.cursorY = 0;
    AppServices::PollDisplay(f.app.get()); // the main thread publishes (0, 0)
    f.app->StartCursorThread();
    ASSERT_TRUE(f.app->mCursorThreadRunning);

    SleepFor(200);
    EXPECT_EQ(dd->CursorPosCalls(), 0) << "a still mouse makes no display call";

    const int moves[3][2] = {{10, 20}, {300, 200}, {301, 200}};
    for (const auto& m : moves) {
        f.windows.cursorX = m[0];
        f.windows.cursorY = m[1];
        AppServices::PollDisplay(f.app.get());
        EXPECT_TRUE(WaitUntil([&] {
            AutoCrit lock(dd->mCritSect);
            return dd->mCursorX == m[0] && dd->mCursorY == m[1];
        }));
    }
    SleepFor(50);
    EXPECT_EQ(dd->CursorPosCalls(), 3);

    // During playback the cursor follows the demo, not the real pointer.
    f.app->mLastDemoMouseX = 7;
    f.app->mLastDemoMouseY = 9;
    f.app->mPlayingDemoBuffer = true;
    f.windows.cursorX = 500;
    AppServices::PollDisplay(f.app.get());
    EXPECT_TRUE(WaitUntil([&] {
        AutoCrit lock(dd->mCritSect);
        return dd->mCursorX == 7 && dd->mCursorY == 9;
    }));
    f.app->mPlayingDemoBuffer = false;

    f.app->Shutdown();
    EXPECT_FALSE(f.app->mCursorThreadRunning);
    EXPECT_FALSE(f.app->mCursorThread.joinable());
}
