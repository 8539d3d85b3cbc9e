#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <vector>

#include "framework/app/AppServices.h"
#include "platform/Process.h"
#include "tests/app/AppTestSupport.h"

using Zant::ZantApp;

namespace {

// Runs frames until the fake clock reaches the given time, recording how many
// updates ran between consecutive draws.
struct PacingRun {
    int updates = 0;
    int draws = 0;
    int longestRun = 0;
};

PacingRun RunUntil(FakeAppFixture& f, uint32_t until, int maxFrames = 1000000)
{
    PacingRun r;
    int run = 0;
    int lastDraws = f.app->mDrawCount;
    int before = f.app->mUpdateCount;
    for (int i = 0; i < maxFrames && Platform::TickDiff(f.clock.TickCount(), until) < 0; ++i) {
        int u = f.app->mUpdateCount;
        int nd = f.app->mNonDrawCount;
        f.app->RunFrame();
        if (f.app->mUpdateCount != u) {
            ++run;
        } else if (f.app->mNonDrawCount == 0 && nd != 0) {
            r.longestRun = std::max(r.longestRun, run);
            run = 0;
        }
        (void)lastDraws;
    }
    r.longestRun = std::max(r.longestRun, run);
    r.updates = f.app->mUpdateCount - before;
    return r;
}

// A widget that is always dirty, so every draw presents.
class Painter : public Zant::Widget {
public:
    void Update() override
    {
        Widget::Update();
        MarkDirty();
    }
};

} // namespace

TEST(MainLoop, SpeedOneRunsOneHundredUpdatesPerSecond)
{
    FakeAppFixture f;
    uint32_t start = f.clock.TickCount();
    PacingRun r = RunUntil(f, start + 10000);
    EXPECT_NEAR(r.updates, 1000, 1);
}

TEST(MainLoop, StallCatchesUpAtMostOneSecondInShortRuns)
{
    for (uint32_t stall : {3000u, 5000u}) {
        FakeAppFixture f;
        f.clock.Advance(stall); // the loop falls behind
        uint32_t behind = f.clock.TickCount();
        // Catch up: run frames without letting fake time pass until the backlog is gone.
        int run = 0, longest = 0, updates = 0;
        for (int i = 0; i < 1000 && Platform::TickDiff(f.clock.TickCount(), f.app->mLastTime) >= 10; ++i) {
            int u = f.app->mUpdateCount;
            f.app->RunFrame();
            if (f.app->mUpdateCount != u) {
                ++run;
                ++updates;
            } else {
                longest = std::max(longest, run);
                run = 0;
                f.clock.Set(behind); // drawing takes no time in this run
            }
        }
        longest = std::max(longest, run);
        EXPECT_GE(updates, 100) << "stall " << stall;
        EXPECT_LE(updates, 101) << "stall " << stall;
        EXPECT_LE(longest, 10) << "stall " << stall;
    }
}

TEST(MainLoop, ATerminationRequestStopsADemoCatchUpBetweenUpdates)
{
    FakeAppFixture f;
    // Far behind a demo target, on a clock that does not move: nothing else would
    // end the catch-up before the target.
    f.app->mDemoAdvanceToUpdate = 5000;
    struct sigaction savedTerm {}, savedInt {};
    sigaction(SIGTERM, nullptr, &savedTerm);
    sigaction(SIGINT, nullptr, &savedInt);
    Platform::InstallTerminationHandlers();
    f.app->RunFrame();
    EXPECT_EQ(f.app->mUpdateCount, 5000) << "without a request the catch-up runs to its target";
    f.app->mDemoAdvanceToUpdate = 10000;
    raise(SIGTERM);
    f.app->RunFrame();
    EXPECT_TRUE(Platform::TerminationRequested()) << "left for the window system to turn into a close";
    Platform::ClearTerminationRequest();
    sigaction(SIGTERM, &savedTerm, nullptr);
    sigaction(SIGINT, &savedInt, nullptr);
    EXPECT_EQ(f.app->mUpdateCount, 5000);
}

TEST(MainLoop, SpeedMultiplierScalesTheStep)
{
    struct Case {
        double multiplier;
        int expectedUpdatesPerSecond; // 1000 / step
    } cases[] = {{1.0, 100}, {1.5, 166}, {2.0 / 3.0, 66}, {0.6666666666666666, 66}};
    for (const Case& c : cases) {
        FakeAppFixture f;
        f.app->mUpdateMultiplier = c.multiplier;
        uint32_t start = f.clock.TickCount();
        PacingRun r = RunUntil(f, start + 1000);
        EXPECT_NEAR(r.updates, c.expectedUpdatesPerSecond, 1) << "multiplier " << c.multiplier;
    }
}

TEST(MainLoop, StoppedOrPausedRunsNeitherUpdatesNorDrawsButFlushesDeletions)
{
    for (int mode = 0; mode < 3; ++mode) {
        FakeAppFixture f;
        if (mode == 0)
            f.app->mUpdateMultiplier = 0;
        else if (mode == 1)
            f.app->mUpdateMultiplier = -1;
        else
            f.app->mPaused = true;
        f.clock.Advance(500);
        struct Tracked : Zant::Widget {
            bool* gone;
            explicit Tracked(bool* g) : gone(g) {}
            ~Tracked() override { *gone = true; }
        };
        bool gone = false;
        f.app->QueueWidgetDeletion(new Tracked(&gone));
        for (int i = 0; i < 100; ++i)
            f.app->RunFrame();
        EXPECT_EQ(f.app->mUpdateCount, 0) << mode;
        EXPECT_EQ(f.app->mDrawCount, 0) << mode;
        EXPECT_TRUE(gone) << mode;
    }
}

TEST(MainLoop, HighSpeedUpdatesEveryPassAndDrawsEveryTenth)
{
    FakeAppFixture f;
    f.app->mUpdateMultiplier = 20; // step 0 ms
    Painter painter;
    f.app->mWidgetManager->AddWidget(&painter);
    for (int i = 0; i < 100; ++i)
        f.app->RunFrame();
    EXPECT_EQ(f.app->mUpdateCount, 90);
    f.app->mWidgetManager->RemoveWidget(&painter);
}

TEST(MainLoop, WrapAroundOfTheTickCountChangesNothing)
{
    PacingRun a, b;
    {
        FakeAppFixture atZero(0);
        a = RunUntil(atZero, 0 + 3000);
    }
    {
        FakeAppFixture nearWrap(0xFFFFFC18u); // 1000 ms before the counter wraps
        b = RunUntil(nearWrap, 0xFFFFFC18u + 3000);
    }
    EXPECT_EQ(a.updates, b.updates);
    EXPECT_NEAR(b.updates, 300, 1);
}

TEST(MainLoop, MinimisedWindowStopsTheUpdateCounter)
{
    FakeAppFixture f;
    f.app->mMinimized = true;
    uint32_t start = f.clock.TickCount();
    RunUntil(f, start + 1000);
    EXPECT_EQ(f.app->mUpdateCount, 0);
    EXPECT_EQ(f.app->mWidgetManager->mUpdatePass, 0);
}

TEST(MainLoop, LoadingPhaseHasNoRunLimitAndSpacesFrames)
{
    FakeAppFixture f;
    f.app->mLoadingThreadCompleted = false;
    f.app->mLoadingThreadStarted = true; // a loader that never finishes
    Painter painter;
    f.app->mWidgetManager->AddWidget(&painter);
    f.clock.Advance(600); // 60 updates due
    int updatesBeforeDraw = 0;
    while (f.app->mDrawCount == 0 && updatesBeforeDraw < 1000) {
        int u = f.app->mUpdateCount;
        f.app->RunFrame();
        if (f.app->mUpdateCount == u)
            break;
        ++updatesBeforeDraw;
    }
    EXPECT_GT(updatesBeforeDraw, 10); // no run limit while loading
    // Frames while loading are at least 50 ms apart.
    uint32_t start = f.clock.TickCount();
    RunUntil(f, start + 1000);
    EXPECT_LE(f.app->mDrawCount, 21);
    f.app->mWidgetManager->RemoveWidget(&painter);
    f.app->mLoadingThreadStarted = false;
}

TEST(MainLoop, WidgetQueuedTwiceIsDeletedOnceAtTheEndOfTheFrame)
{
    FakeAppFixture f;
    int destroyed = 0;
    struct SelfRemoving : Zant::Widget {
        ZantApp* app;
        int* destroyed;
        SelfRemoving(ZantApp* a, int* d) : app(a), destroyed(d) {}
        ~SelfRemoving() override { ++*destroyed; }
        void Update() override
        {
            mWidgetManager->RemoveWidget(this);
            app->QueueWidgetDeletion(this);
            app->QueueWidgetDeletion(this); // owner queues it as well
            EXPECT_EQ(*destroyed, 0);        // still valid during the update
        }
    };
    auto* w = new SelfRemoving(f.app.get(), &destroyed);
    f.app->mWidgetManager->AddWidget(w);
    f.clock.Advance(10);
    f.app->RunFrame();
    EXPECT_EQ(destroyed, 1);
    f.app->RunFrame();
    EXPECT_EQ(destroyed, 1);
}

TEST(MainLoop, DeletionQueuedByADestructorIsHonoured)
{
    FakeAppFixture f;
    int destroyed = 0;
    struct Child : Zant::Widget {
        int* d;
        explicit Child(int* x) : d(x) {}
        ~Child() override { ++*d; }
    };
    struct Parent : Zant::Widget {
        ZantApp* app;
        Child* child;
        int* d;
        Parent(ZantApp* a, int* x) : app(a), child(new Child(x)), d(x) {}
        ~Parent() override
        {
            app->QueueWidgetDeletion(child);
            ++*d;
        }
    };
    f.app->QueueWidgetDeletion(new Parent(f.app.get(), &destroyed));
    f.app->FlushWidgetDeletions();
    EXPECT_EQ(destroyed, 2);
    EXPECT_TRUE(f.app->mDeferredDeletions.empty());
}

TEST(MainLoop, ExitPageDecision)
{
    struct Case {
        bool ready;
        std::vector<int> draws;
        bool show;
        size_t consumed;
    } cases[] = {
        {true, {4}, true, 1},     {true, {3, 20}, true, 2}, {true, {3, 21}, false, 2},
        {false, {30}, true, 1},   {false, {31}, false, 1},
    };
    for (const Case& c : cases) {
        size_t used = 0;
        auto next = [&]() { return c.draws.at(used++); };
        EXPECT_EQ(Zant::AppServices::DecideExitPage(c.ready, next), c.show);
        EXPECT_EQ(used, c.consumed);
    }
}

namespace {
class ScriptedSaver : public Zant::ScreenSaverInfo {
public:
    bool GetSettings(int& timeout, bool& on) override
    {
        timeout = timeoutSeconds;
        on = enabled;
        return true;
    }
    bool IsRunning() override { return running; }
    bool GetLastInputTime(uint32_t& t) override
    {
        t = lastInput;
        return true;
    }
    int timeoutSeconds = 60;
    bool enabled = true;
    bool running = false;
    uint32_t lastInput = 0;
};

class DirtyCounter : public Zant::Widget {};
} // namespace

TEST(MainLoop, ScreenSaverIdleStopsUpdatesUntilInputReturns)
{
    FakeAppFixture f;
    ScriptedSaver saver;
    f.app->SetScreenSaverInfo(&saver);
    uint32_t now = f.clock.TickCount();

    saver.lastInput = now - 59000; // threshold is 58 s
    f.app->UpdateScreenSaverInfo(now);
    EXPECT_TRUE(f.app->mScreenSaverIdle);
    int before = f.app->mUpdateCount;
    f.app->UpdateOnce();
    EXPECT_EQ(f.app->mUpdateCount, before);
    EXPECT_FALSE(f.app->DrawFrame());

    DirtyCounter w;
    f.app->mWidgetManager->AddWidget(&w);
    w.mDirty = false;
    saver.lastInput = now;
    f.app->UpdateScreenSaverInfo(now + 100);
    EXPECT_FALSE(f.app->mScreenSaverIdle);
    EXPECT_TRUE(w.mDirty); // everything is drawn again
    f.app->mWidgetManager->RemoveWidget(&w);

    // A short time-out still gives a threshold of at least one second.
    FakeAppFixture g;
    ScriptedSaver quick;
    quick.timeoutSeconds = 2;
    g.app->SetScreenSaverInfo(&quick);
    uint32_t t = g.clock.TickCount();
    quick.lastInput = t - 900;
    g.app->UpdateScreenSaverInfo(t);
    EXPECT_FALSE(g.app->mScreenSaverIdle);
    quick.lastInput = t - 1100;
    g.app->UpdateScreenSaverInfo(t + 10001); // settings are re-read at most every 10 s
    EXPECT_TRUE(g.app->mScreenSaverIdle);
}

TEST(MainLoop, DisabledScreenSaverNeverIdles)
{
    FakeAppFixture f;
    ScriptedSaver saver;
    saver.enabled = false;
    f.app->SetScreenSaverInfo(&saver);
    uint32_t now = f.clock.TickCount();
    saver.lastInput = now - 3600000;
    f.app->UpdateScreenSaverInfo(now);
    EXPECT_FALSE(f.app->mScreenSaverIdle);
}
