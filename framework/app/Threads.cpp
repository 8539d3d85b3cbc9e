// The loading thread (runs the application's loading procedure while the title
// screen shows its progress) and the cursor thread (moves the software cursor
// every 10 ms so it stays smooth while the main thread is busy).
//
// The loader only loads and counts; the main thread notices the end of loading in
// UpdateOnce and runs the loading-finished hook there. The cursor thread never
// touches the window system: it reads the mouse position the main thread publishes
// and moves the cursor through the display, under the display's lock. Both threads
// are joined before the application goes.
#include <chrono>
#include <system_error>
#include <thread>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "platform/Clock.h"
#include "platform/Heap.h"
#include "platform/Log.h"
#include "platform/crash/CrashHandler.h"

namespace Zant {

void ZantApp::StartLoadingThread()
{
    if (mLoadingThreadStarted)
        return;
    mLoadingThreadStarted = true;
    try {
        mLoadingThread = std::thread([this] {
            WaitForFirstFrame();
            LoadingThreadProc(this);
        });
    } catch (const std::system_error&) {
        // Without a thread the loading happens here; the game then starts loaded
        // rather than waiting forever for a loader that never ran.
        Platform::DebugOutput("The loading thread could not be started; loading now.\r\n");
        LoadingThreadProc(this);
    }
}

void ZantApp::LoadingThreadProc(ZantApp* app)
{
    Platform::ThreadCrashStack crashStack;
    // The pictures and sounds decoded now, on this thread and on the decoding workers,
    // come from a range of large pages, which ends with the loading.
    Platform::BeginLoadingMemory(Platform::PROGRAM_LOADING_RESERVE);
    app->LoadingProc();
    Platform::EndLoadingMemory();
    if (app->mShutdown) {
        Platform::DebugOutput("Resource loading stopped: the application is shutting down\r\n");
    } else {
        uint32_t seconds = (Platform::TickCount() - app->mTimeLoaded) / 1000;
        Platform::DebugOutput("Resource Loading Time: " + std::to_string(seconds) + "\r\n");
    }
    // Release: everything the loader built is visible to whoever sees the flag.
    app->mLoaded.store(true, std::memory_order_release);
}

void ZantApp::WaitForFirstFrame()
{
    // The loader and its decoding workers would take the cores the main thread
    // needs for its first frame: the title shows first, then the loading begins.
    // A display that never presents only delays the loading briefly.
    constexpr uint32_t MAX_WAIT_MS = 200;
    const uint32_t start = Platform::TickCount();
    while (!mFirstFrameShown.load(std::memory_order_acquire) && !mShutdown &&
           Platform::TickCount() - start < MAX_WAIT_MS)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ZantApp::WaitForLoader()
{
    // The loading procedure stops between its steps once the application shuts
    // down, so joining takes one step at most. The join alone is the wait: a
    // thread that has ended is joined at once, and without a thread (loading ran
    // here, or never started) there is nothing to wait for. The loader never
    // waits for itself.
    if (mLoadingThread.joinable() && mLoadingThread.get_id() != std::this_thread::get_id())
        mLoadingThread.join();
}

double ZantApp::GetLoadingProgress()
{
    if (mLoadingThreadCompleted)
        return 1.0;
    int total = mNumLoadingThreadTasks;
    if (!mLoadingThreadStarted || total <= 0)
        return 0.0;
    double p = static_cast<double>(mCompletedLoadingThreadTasks) / total;
    return p > 1.0 ? 1.0 : p < 0.0 ? 0.0 : p;
}

void ZantApp::StartCursorThread()
{
    if (mCursorThreadRunning)
        return;
    if (mCursorThread.joinable())
        mCursorThread.join();
    mCursorThreadRunning = true;
    try {
        mCursorThread = std::thread(&ZantApp::CursorThreadProc, this);
    } catch (const std::system_error&) {
        // Shutdown waits for this flag: a thread that never started must not be
        // waited for. The cursor then moves only when frames are presented.
        mCursorThreadRunning = false;
        Platform::DebugOutput("The cursor thread could not be started.\r\n");
    }
}

void ZantApp::CursorThreadProc(ZantApp* app)
{
    Platform::ThreadCrashStack crashStack;
    app->CursorThreadLoop();
}

void ZantApp::CursorThreadLoop()
{
    while (!mShutdown) {
        int x = 0, y = 0;
        AppServices::CursorPosition(this, x, y);
        if (x != mLastCursorX || y != mLastCursorY) {
            AppServices::SetDisplayCursorPos(this, x, y);
            mLastCursorX = x;
            mLastCursorY = y;
        }
        Platform::SleepMs(10);
    }
    mCursorThreadRunning = false;
}

} // namespace Zant
