// The main window: its window procedure, the deferred input list, presenting and
// switching between windowed and full screen.
#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Process.h"

namespace Zant {

using Platform::Msg;
using Platform::TickDiff;

namespace {
// Display initialisation results the window reacts to.
constexpr int kResultOk = 0;
constexpr int kResultExclusiveFail = 4;
constexpr int kResultDispChangeFail = 5;
constexpr int kResultInvalidColorDepth = 6;
constexpr int kResult3DFail = 7;

constexpr int kKeyEnter = 13;
constexpr int kKeyF4 = 115;
constexpr int kKeyCtrl = 17;
constexpr int kKeyAlt = 18;
constexpr int kKeyD = 68;

// A button message: which button, pressed or released, and the click count widgets get.
struct ButtonMessage {
    Msg msg;
    bool right;
    bool down;
    int clickCount;
};
constexpr ButtonMessage kButtonMessages[] = {
    {Msg::LButtonDown, false, true, 1},   {Msg::LButtonUp, false, false, 1}, {Msg::LButtonDblClk, false, true, 2},
    {Msg::RButtonDown, true, true, -1},   {Msg::RButtonUp, true, false, -1}, {Msg::RButtonDblClk, true, true, -2},
};
} // namespace

void ZantApp::PumpMessages()
{
    if (!mWindows)
        return;
    if (mInstanceLock && mInstanceLock->PollNotifications() > 0)
        HandleWindowMessage(Msg::Notify, 0, 0);
    Platform::WindowEvent e;
    while (!mShutdown && mWindows->PollEvent(e))
        HandleWindowMessage(e.msg, e.param1, e.param2);
}

bool ZantApp::HandleWindowMessage(Msg message, int64_t param1, int64_t param2)
{
    switch (message) {
    case Msg::SysKeyDown:
        if (param1 == kKeyEnter) {
            if (!mFullScreenForced && !mWindowedForced && mLoadingThreadCompleted)
                SwitchScreenMode(!mIsWindowed);
        } else if (param1 == kKeyF4) {
            mDeferredMessages.push_back({Msg::Close, 0, 0});
        }
        return true;
    case Msg::SetCursor:
        if (!mCrashed)
            ApplyCursor();
        return false;
    case Msg::Paint:
        if (mInitialized && !mCrashed) {
            if (mInMainLoop)
                Redraw(nullptr);
            return true;
        }
        return false;
    case Msg::EndSession:
        Shutdown();
        return false;
    case Msg::Notify:
        // A second copy was started: bring this one to the front.
        if (mWindows)
            mWindows->RestoreAndRaise();
        return true;
    case Msg::ActivateApp:
        mActive = param1 != 0;
        break;
    default:
        break;
    }

    switch (message) {
    case Msg::Size:
    case Msg::Close:
    case Msg::ActivateApp:
    case Msg::KeyDown:
    case Msg::KeyUp:
    case Msg::Char:
    case Msg::Timer:
    case Msg::MouseMove:
    case Msg::LButtonDown:
    case Msg::LButtonUp:
    case Msg::LButtonDblClk:
    case Msg::RButtonDown:
    case Msg::RButtonUp:
    case Msg::RButtonDblClk:
        if (mPlayingDemoBuffer) {
            if (message == Msg::Char && HandleDemoPlaybackKey(static_cast<char>(param1)))
                return true;
            if (message == Msg::KeyDown)
                HandleDebugKey(static_cast<int>(param1));
        }
        mDeferredMessages.push_back({message, param1, param2});
        return message == Msg::Close;
    default:
        return false;
    }
}

void ZantApp::ProcessDeferredMessages()
{
    // Handlers may append (a close, for one); walk by index.
    for (size_t i = 0; i < mDeferredMessages.size(); ++i) {
        Platform::WindowEvent e = mDeferredMessages[i];
        if (mRecordingDemoBuffer && !mShutdown)
            DemoRecordInput(e);
        if (mPlayingDemoBuffer && e.msg != Msg::Close && !DemoMarkerListOpen())
            continue;
        if (!mWidgetManager && e.msg != Msg::Close)
            continue;

        switch (e.msg) {
        case Msg::KeyDown: {
            mLastUserInputTick = mLastTimerTime;
            int key = static_cast<int>(e.param1);
            if (key == kKeyD && mWidgetManager->IsKeyDown(kKeyCtrl) && mWidgetManager->IsKeyDown(kKeyAlt))
                mDebugKeysEnabled = !mDebugKeysEnabled;
            if (mDebugKeysEnabled && HandleDebugKey(key))
                break;
            mWidgetManager->KeyDown(key);
            break;
        }
        case Msg::KeyUp:
            mLastUserInputTick = mLastTimerTime;
            mWidgetManager->KeyUp(static_cast<int>(e.param1));
            break;
        case Msg::Char:
            mLastUserInputTick = mLastTimerTime;
            mWidgetManager->KeyChar(static_cast<char>(static_cast<int8_t>(e.param1)));
            break;
        case Msg::Size: {
            bool minimized = e.param1 != 0;
            if (!mShutdown && minimized != mMinimized) {
                mMinimized = minimized;
                if (minimized)
                    Mute(true);
                else
                    Unmute(true);
            }
            ApplyActiveState();
            break;
        }
        case Msg::ActivateApp:
            if (!mCrashed && !mShutdown) {
                ApplyActiveState();
                if (mActive && !mIsWindowed)
                    mWidgetManager->MarkAllWidgetsDirty();
                if (mWebPageOpenPending && !mActive)
                    WebPageOpened(mOpenedUrl);
            }
            break;
        case Msg::Timer:
            if (!mCrashed && mInMainLoop) {
                uint32_t t = Platform::TickCount();
                if (TickDiff(t, mLastTimerTime) > 500)
                    mLastBigDelayTime = t;
                mLastTimerTime = t;
                if (mWebPageOpenPending && TickDiff(t, mLastBigDelayTime) > 5000) {
                    int age = TickDiff(t, mOpenedUrlTime);
                    if (age >= 8001 && !mActive)
                        WebPageOpened(mOpenedUrl);
                    else if (age > 12000 && mActive)
                        WebPageOpenFailed(mOpenedUrl);
                }
                bool inside = mWindows && mWindows->IsCursorInWindow();
                if (inside != mMouseIn) {
                    if (mRecordingDemoBuffer)
                        DemoRecordMouseInWindow(inside);
                    if (!inside) {
                        int x = 0, y = 0;
                        mWindows->GetCursorPos(x, y);
                        mWidgetManager->MouseLeftWindow();
                    }
                    mMouseIn = inside;
                    ApplyCursor();
                }
            }
            break;
        case Msg::MouseMove:
        case Msg::LButtonDown:
        case Msg::LButtonUp:
        case Msg::LButtonDblClk:
        case Msg::RButtonDown:
        case Msg::RButtonUp:
        case Msg::RButtonDblClk: {
            if (mCrashed)
                break;
            mLastUserInputTick = mLastTimerTime;
            int x = Platform::MouseX(e.param2), y = Platform::MouseY(e.param2);
            if (!mLButtonDown && !mRButtonDown)
                mWidgetManager->MouseMove(x, y);
            else
                mWidgetManager->MouseDrag(x, y);
            if (!mMouseIn) {
                if (mRecordingDemoBuffer)
                    DemoRecordMouseInWindow(true);
                mMouseIn = true;
                ApplyCursor();
            }
            // The mouse is captured while a button is down.
            for (const ButtonMessage& button : kButtonMessages) {
                if (button.msg != e.msg)
                    continue;
                (button.right ? mRButtonDown : mLButtonDown) = button.down;
                if (button.down)
                    mWidgetManager->MouseDown(x, y, button.clickCount);
                else
                    mWidgetManager->MouseUp(x, y, button.clickCount);
                mWindows->CaptureMouse(button.down);
                break;
            }
            break;
        }
        case Msg::Close:
            StopDemoPlayback();
            Shutdown();
            break;
        default:
            break;
        }
    }
    mDeferredMessages.clear();
}

void ZantApp::ApplyActiveState()
{
    bool hasFocus = mActive && !mMinimized;
    if (hasFocus == mHasFocus)
        return;
    mHasFocus = hasFocus;
    if (hasFocus) {
        Unmute(true);
        if (mWidgetManager)
            mWidgetManager->AppGotFocus();
        GotFocus();
    } else {
        Mute(true);
        if (mWidgetManager)
            mWidgetManager->AppLostFocus();
        LostFocus();
    }
}

void ZantApp::CreateMainWindow()
{
    if (!mWindows)
        return;
    if (mHasMainWindow) {
        mWindows->DestroyMainWindow();
        mHasMainWindow = false;
        if (mWidgetManager)
            mWidgetManager->mImage = nullptr;
    }
    if (!mWindows->CreateMainWindow(mTitle, 64, 64, mWidth, mHeight, !mIsWindowed)) {
        ShowMessage("Failed to create the main window.");
        FatalExit(EXIT_FATAL);
    }
    mHasMainWindow = true;

    if (!AppServices::HasDisplay(this)) {
        AppServices::CreateDisplay(this);
        bool is3D = false;
        if (ReadRegistryBool("Is3D", is3D)) {
            if (mAutoEnable3D) {
                mAutoEnable3D = false;
                mTest3D = true;
            }
            if (is3D)
                mTest3D = true;
            AppServices::SetDisplay3D(this, is3D);
        }
    }

    DisplayResetHook();
    std::string error;
    int result = AppServices::InitDisplay(this, mIsWindowed, error);
    if (AppServices::Display3DTestRanAnew(this))
        DeleteRegistryValue("Is3D");

    if (mIsWindowed && result == kResultInvalidColorDepth) {
        if (mWindowedForced) {
            ShowMessage("Please set your desktop color depth to 16 bit.");
            FatalExit(EXIT_FATAL);
        }
        mFullScreenForced = true;
        SwitchScreenMode(false);
        return;
    }
    if (!mIsWindowed && (result == kResultExclusiveFail || result == kResultDispChangeFail)) {
        mWindowedForced = true;
        if (mFullScreenForced) {
            // Neither a window nor full screen can be had: going on would run
            // without a display.
            ShowMessage("Failed to initialize the SDL display: " + error);
            FatalExit(EXIT_FATAL);
        }
        SwitchScreenMode(true);
        return;
    }
    if (result == kResult3DFail) {
        Set3DAcceleration(false, true);
        return;
    }
    if (result != kResultOk) {
        if (Is3D()) {
            Set3DAcceleration(false, true);
            return;
        }
        ShowMessage("Failed to initialize the SDL display: " + error);
        FatalExit(EXIT_FATAL);
    }

    if (mMinimized) {
        Unmute(true);
        mMinimized = false;
        ApplyActiveState();
    }
    if (mWidgetManager) {
        mWidgetManager->mImage = AppServices::ScreenImage(this);
        mWidgetManager->MarkAllWidgetsDirty();
    }
}

void ZantApp::Redraw(const Rect* rect)
{
    if (mShutdown || mScreenSaverIdle)
        return;
    if (AppServices::Present(this, rect)) {
        AppServices::SetPresentFailed(false);
        ++mPresentCount;
        if (!mFirstFrameShown.exchange(true, std::memory_order_acq_rel)) {
            // What start-up cost until the player saw something (bench/startup.sh reads it).
            const int ms = int(Platform::ProcessCpuSeconds() * 1000);
            Platform::DebugOutput("First frame shown after " + std::to_string(ms) + " ms of CPU\r\n");
        }
        return;
    }
    AppServices::SetPresentFailed(true);
    if (!mActive || mMinimized) {
        ++mPresentCount;
        return;
    }
    if (mWidgetManager)
        mWidgetManager->mImage = nullptr;
    DisplayResetHook();
    std::string error;
    int result = AppServices::InitDisplay(this, mIsWindowed, error);
    if (mIsWindowed && result == kResultInvalidColorDepth) {
        SwitchScreenMode(false);
        mFullScreenForced = true;
        return;
    }
    if (result == kResult3DFail) {
        Set3DAcceleration(false, true);
        return;
    }
    if (result != kResultOk)
        return;
    ClearImageCaches();
    if (mWidgetManager) {
        mWidgetManager->mImage = AppServices::ScreenImage(this);
        mWidgetManager->MarkAllWidgetsDirty();
    }
    mLastTime = Platform::TickCount();
    ++mPresentCount;
}

void ZantApp::SwitchScreenMode(bool windowed, bool is3D)
{
    bool wanted = mFullScreenForced ? false : windowed;
    if (wanted == mIsWindowed) {
        Set3DAcceleration(is3D, true);
        return;
    }
    Set3DAcceleration(is3D, false);
    if (mPlayingDemoBuffer)
        wanted = true; // demos play windowed
    mIsWindowed = wanted;
    CreateMainWindow();
    if (mWindows)
        mWindows->ShowMainWindow(!mWebPageOpenPending);
    AppServices::SoundWindowChanged(this);
    ClearImageCaches();
    mLastTime = Platform::TickCount();
}

void ZantApp::SwitchScreenMode(bool windowed) { SwitchScreenMode(windowed, Is3D()); }

void ZantApp::SetVideoOnlyDraw(bool videoOnly)
{
    if (videoOnly == mVideoOnlyDraw)
        return;
    mVideoOnlyDraw = videoOnly;
    AppServices::SetDisplayVideoOnly(this, videoOnly);
    if (mWidgetManager) {
        mWidgetManager->mImage = AppServices::ScreenImage(this);
        mWidgetManager->MarkAllWidgetsDirty();
    }
}

} // namespace Zant
