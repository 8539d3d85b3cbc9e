// The main loop: a fixed 10 ms logic step scaled by the speed multiplier, at most
// ten updates in a row before a draw, catch-up limited to one second, and a draw
// whenever no update is due. All times are wrapping 32-bit milliseconds compared
// through signed differences.
#include <algorithm>
#include <cstdio>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "framework/util/PerfTimer.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Process.h"

namespace Zant {

using Platform::TickDiff;


namespace {
// Brackets a pass with the framework's global nesting count.
struct GlobalCountScope {
    GlobalCountScope() { AdjustGlobalCount(false); }
    ~GlobalCountScope() { AdjustGlobalCount(true); }
};

uint32_t Now() { return Platform::TickCount(); }

std::string Line(const char* format, long long value)
{
    char buf[128];
    snprintf(buf, sizeof buf, format, value);
    return buf;
}
} // namespace

void ZantApp::RunMainLoop()
{
    if (mShutdown)
        return;

    StartCursorThread();
    StartLoadingThread();

    if (mWindows)
        mWindows->ShowMainWindow(true);

    mPassCount = 0;
    uint32_t start = Now();
    mInMainLoop = true;
    mLastTime = start;
    mLastUserInputTick = start;
    mLastTimerTime = start;

    while (!mShutdown) {
        PumpMessages();
        ReplayDemoEvents();
        ProcessDeferredMessages();
        if (mShutdown)
            break;
        ++mPassCount;
        RunFrame();
        // Publishes the mouse position for the cursor thread and shows a moved cursor.
        AppServices::PollDisplay(this);
        Take3DTestVerdict(false);
    }

    FlushWidgetDeletions();
    mInMainLoop = false;
    WaitForLoader();

    char secs[64];
    snprintf(secs, sizeof secs, "Seconds       = %g\r\n", static_cast<uint32_t>(Now() - start) * 0.001);
    Platform::DebugOutput(secs);
    Platform::DebugOutput(Line("Count         = %lld\r\n", mPassCount));
    Platform::DebugOutput(Line("Sleep Count   = %lld\r\n", mSleepCount));
    Platform::DebugOutput(Line("Update Count  = %lld\r\n", mUpdateCount));
    Platform::DebugOutput(Line("Draw Count    = %lld\r\n", mDrawCount));
    Platform::DebugOutput(Line("Draw Time     = %lld\r\n", mDrawTime));
    Platform::DebugOutput(Line("Screen Blt    = %lld\r\n", mScreenBltTime));
    // The average uses every present's time, not just the last one, in 64 bits.
    int64_t spent = mDrawTime + mTotalScreenBltTime;
    if (spent > 0)
        Platform::DebugOutput(Line("Avg FPS       = %lld\r\n", static_cast<int64_t>(mDrawCount) * 1000 / spent));

    if (!mQuittingAfterWebPage && AppServices::ShouldShowExitPage(this))
        AppServices::ShowExitPage(this);

    SaveSettings();
}

bool ZantApp::RunFrame()
{
    if (mCloseRequest)
        Shutdown();

    // The marker list holds the demo where it is until the viewer has chosen.
    if (DemoMarkerListOpen()) {
        DrawFrame();
        Platform::SleepMs(static_cast<uint32_t>(mFrameTime));
        ResetFrameClock();
        FlushWidgetDeletions();
        return true;
    }

    // Demo catch-up: run updates as fast as possible, drawing once a second.
    if (mUpdateCount < mDemoAdvanceToUpdate || mFastForwardToMarker) {
        if (!mCatchUpClockSet) {
            mCatchUpClockSet = true;
            mLastCatchUpDraw = Now();
        }
        while (mUpdateCount < mDemoAdvanceToUpdate || mFastForwardToMarker) {
            // A termination request waits for no target: the loop's next pass takes it.
            if (Platform::TerminationRequested())
                return false;
            int before = mUpdateCount;
            UpdateOnce();
            if (mUpdateCount == before)
                return false;
            uint32_t now = Now();
            if (TickDiff(now, mLastCatchUpDraw) >= 1000) {
                mLastCatchUpDraw = now;
                DrawFrame();
                return true;
            }
        }
    }

    if (!mPaused && mUpdateMultiplier > 0) {
        int step = static_cast<int>(mFrameTime / mUpdateMultiplier);
        uint32_t now = Now();
        int slept = 0;
        bool updated = false;
        if (TickDiff(now, mLastTime) >= step) {
            ++mNonDrawCount;
            if (mNonDrawCount < 10 || !mLoadingThreadCompleted) {
                UpdateOnce();
                mLastTime += step;
                if (TickDiff(now, mLastTime) > 1000)
                    mLastTime = now - 1000;
                updated = true;
            }
        }
        if (!updated) {
            mNonDrawCount = 0;
            DrawFrame();
            int elapsed = TickDiff(Now(), mLastTime);
            if (elapsed < step) {
                ++mSleepCount;
                slept = step - elapsed;
                Platform::SleepMs(static_cast<uint32_t>(slept));
            }
        }
        // While loading, leave the loading thread about two thirds of the time.
        if (!mLoadingThreadCompleted) {
            int worked = TickDiff(Now(), now) - slept;
            int extra = 2 * worked - slept;
            if (extra > 250)
                Platform::SleepMs(250);
            else if (extra >= 0)
                Platform::SleepMs(static_cast<uint32_t>(extra));
        }
    }

    // With a demo, widgets go right after an update (below): what their destructors
    // do, such as a profile write the demo records, then falls on the same update
    // when it is recorded and when it is played back.
    if (!mRecordingDemoBuffer && !mPlayingDemoBuffer)
        FlushWidgetDeletions();
    return true;
}

void ZantApp::UpdateOnce()
{
    if (mScreenSaverIdle)
        return;

    if (!mPlayingDemoBuffer) {
        if (mLoaded && !mLoadingThreadCompleted) {
            mLoadingThreadCompleted = true;
            LoadingCompleted();
            if (mRecordingDemoBuffer)
                DemoRecordLoadingFinished();
        }
    } else {
        if (mDemoLoadingComplete && mLoaded && !mLoadingThreadCompleted) {
            mLoadingThreadCompleted = true;
            LoadingCompleted();
        }
        if (mLoadingThreadCompleted != mDemoLoadingComplete)
            return;
        // Wait for a record due at this update; at the end of the stream no header
        // is pending and playback runs on.
        if (!mDemoNeedsCommand && mUpdateCount == mLastDemoUpdateCnt)
            return;
    }

    if (!mMinimized) {
        ++mUpdateCount;
        if (mWidgetManager && mWidgetManager->UpdateFrame())
            ++mUpdatesWithChanges;
        if (mRecordingDemoBuffer || mPlayingDemoBuffer)
            FlushWidgetDeletions();
    }
    AppServices::UpdateServices(this);
}

bool ZantApp::DrawFrame()
{
    GlobalCountScope nesting;
    if (mShowFPS) {
        DrawFPS();
        if (mPlayingDemoBuffer)
            DrawDemoTime();
    }

    uint32_t now = Now();
    if (TickDiff(now, mLastScreenSaverTest) > 1000) {
        mLastScreenSaverTest = now;
        UpdateScreenSaverInfo(now);
    }
    if (mScreenSaverIdle)
        return false;

    // Checked before drawing: a frame drawn but not presented would leave its
    // widgets clean and the picture stale.
    if (TickDiff(now, mNextDrawTick) < 0)
        return false;

    bool drew = mWidgetManager && mWidgetManager->DrawScreen();
    if (!drew && TickDiff(now, mLastDrawTick) < 1000)
        return false;

    ++mDrawCount;
    uint32_t t = Now();
    mDrawTime += TickDiff(t, now);

    if (mShowFPS)
        DrawOverlayImages();

    if (mWaitForVSync && mIsWindowed && mWindows) {
        int period = mWindows->RefreshPeriod();
        int since = TickDiff(Now(), mLastDrawTick);
        if (since < period)
            Platform::SleepMs(static_cast<uint32_t>(period - since));
    }

    Redraw(nullptr);
    uint32_t t3 = Now();
    mScreenBltTime = TickDiff(t3, t);
    mTotalScreenBltTime += mScreenBltTime;
    mLastDrawTick = t3;

    if (mLoadingThreadStarted && !mLoaded) {
        int spent = std::max(15, TickDiff(t3, now));
        mNextDrawTick += static_cast<uint32_t>(spent + 35);
        if (TickDiff(t3, mNextDrawTick) >= 0)
            mNextDrawTick = t3;
    } else {
        mNextDrawTick = t3;
    }
    return true;
}

void ZantApp::UpdateScreenSaverInfo(uint32_t now)
{
    if (!mScreenSaver)
        return;
    if (!mScreenSaverSettingsRead || TickDiff(now, mLastScreenSaverSettingsRead) >= 10000) {
        mScreenSaverSettingsRead = true;
        mLastScreenSaverSettingsRead = now;
        int timeout = 0;
        bool enabled = false;
        if (mScreenSaver->GetSettings(timeout, enabled)) {
            mScreenSaverEnabled = enabled;
            mScreenSaverThreshold = std::max(1, timeout - 2) * 1000;
        }
        if (!mScreenSaverEnabled)
            mScreenSaverIdle = false;
    }
    uint32_t lastInput = 0;
    if (mScreenSaver->GetLastInputTime(lastInput))
        mLastUserInputTick = TickDiff(lastInput, now) > 0 ? now : lastInput;
    if (!mScreenSaverEnabled)
        return;
    int idleFor = TickDiff(now, mLastUserInputTick);
    if (mScreenSaverIdle) {
        if (mScreenSaver->IsRunning())
            return;
        if (idleFor < mScreenSaverThreshold) {
            mScreenSaverIdle = false;
            if (mWidgetManager)
                mWidgetManager->MarkAllWidgetsDirty();
        }
    } else if (idleFor > mScreenSaverThreshold) {
        mScreenSaverIdle = true;
    }
}

void ZantApp::ResetFrameClock() { mLastTime = Now(); }

} // namespace Zant
