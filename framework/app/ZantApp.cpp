// Construction, initialisation, shutdown and destruction of the application object.
#include "framework/app/ZantApp.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

#include "BuildInfo.h"
#include "framework/app/AppServices.h"
#include "framework/util/MersenneTwister.h"
#include "framework/util/PerfTimer.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace Zant {

ZantApp* gZantApp = nullptr;

namespace {

// Xlib ends the process with exit(1) when the X connection breaks or the window is
// destroyed under the program, and no normal end follows. What can still be done
// is done then: the run is marked as ended (settings are written at each change
// already) and the notify socket removed. A normal end has deleted the
// application by the time exit handlers run, and FatalExit runs none.
void EndOnUnexpectedExit()
{
    ZantApp* app = gZantApp;
    if (!app || !app->mLoadedSettings)
        return;
    if (!app->mPlayingDemoBuffer) // nothing is written during playback
        app->WriteRegistryInt("InProgress", 0);
    if (app->mInstanceLock)
        app->mInstanceLock->Release();
}

} // namespace


namespace {

// Monochrome 32x32 cursor masks: a pointing hand (hot spot 11,4) and a closed,
// dragging hand (hot spot 15,10). Each row is 32 bits, most significant bit leftmost;
// '#' is black, 'o' white, anything else transparent.
const char* const kHandShape[32] = {
    "          ##                    ", "         #oo#                   ", "         #oo#                   ",
    "         #oo#                   ", "         #oo#                   ", "         #oo###                 ",
    "         #oo#oo###              ", "         #oo#oo#oo##            ", "      ## #oo#oo#oo#o#           ",
    "     #oo##oooooooo#o#           ", "     #ooo#oooooooooo#           ", "      #oo#oooooooooo#           ",
    "       #ooooooooooo#            ", "       #ooooooooooo#            ", "        #oooooooooo#            ",
    "        #ooooooooo#             ", "         #oooooooo#             ", "         #oooooooo#             ",
    "         ##########             ", "", "", "", "", "", "", "", "", "", "", "", "", ""};
const char* const kDragShape[32] = {
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "          ## ## ##              ", "         #oo#oo#oo##            ", "         #oo#oo#oo#o#           ",
    "       ###oooooooo#o#           ", "      #oo#oooooooooo#           ", "      #oooooooooooo#            ",
    "       #ooooooooooo#            ", "        #oooooooooo#            ", "         #oooooooo#             ",
    "         ##########             ", "", "", "", "", "", ""};

void BuildCursorMasks(const char* const shape[32], uint8_t data[128], uint8_t mask[128])
{
    for (int y = 0; y < 32; ++y) {
        const char* row = shape[y];
        for (int x = 0; x < 32; ++x) {
            char c = row[0] ? row[std::min<size_t>(x, 31)] : ' ';
            if (row[0] && static_cast<size_t>(x) >= std::char_traits<char>::length(row))
                c = ' ';
            int byte = y * 4 + x / 8, bit = 0x80 >> (x % 8);
            if (c == '#') {
                data[byte] |= bit;
                mask[byte] |= bit;
            } else if (c == 'o') {
                mask[byte] |= bit;
            }
        }
    }
}

} // namespace

ZantApp::ZantApp()
{
    gZantApp = this;
    mPrimaryThreadId = std::this_thread::get_id();
    mTimeLoaded = Platform::TickCount();
    mLastDrawTick = mTimeLoaded;
    mNextDrawTick = mTimeLoaded;

    // Build information: eight digits of build number, then the date (kept only
    // when the number is not zero).
    const std::string info = PLINDOR_BUILD_INFO;
    mBuildNum = 0;
    for (size_t i = 0; i < 8 && i < info.size() && info[i] >= '0' && info[i] <= '9'; ++i)
        mBuildNum = mBuildNum * 10 + (info[i] - '0');
    if (mBuildNum != 0 && info.size() > 8)
        mBuildDate = info.substr(8);

    std::string folder;
    mProductVersion = ReadProductVersion(Platform::ProgramFolder(folder) ? folder + "/plindor" : "");

    mDialogStrings["DIALOG_BUTTON_OK"] = "OK";
    mDialogStrings["DIALOG_BUTTON_CANCEL"] = "CANCEL";
    mDialogStrings["UPDATE_CHECK_TITLE"] = "Check for Updates";
    // Shown while the check runs: the question has been answered by then.
    mDialogStrings["UPDATE_CHECK_BODY"] = "Looking on the internet for a newer version of this game. Please wait.";
    mDialogStrings["UP_TO_DATE_TITLE"] = "Up to Date";
    mDialogStrings["UP_TO_DATE_BODY"] = "You already have the newest version of this game.";
    mDialogStrings["NEW_VERSION_TITLE"] = "New Version";
    mDialogStrings["NEW_VERSION_BODY"] =
        "A newer version of this game is available. Would you like to visit the download page now?";

    mScreenSaver = &mNoScreenSaver;
    AppServices::Construct(this);
}

ZantApp::~ZantApp()
{
    // The threads use what follows; they end before any of it goes. Shutting down
    // first stops a loader still at work instead of waiting for all of it.
    Shutdown();
    WaitForLoader();
    if (mCursorThread.joinable())
        mCursorThread.join();

    // Hardware-acceleration question, only when 3D was switched during the run.
    if (m3DChanged && mDDInterface) {
        bool stored = false;
        if (ReadRegistryBool("Is3D", stored) || Is3DRecommended()) {
            WriteRegistryBool("Is3D", Is3D());
        } else if (Is3D()) {
            Platform::MessageBoxRequest box;
            box.title = "Vorlix Hardware Acceleration Confirmation";
            box.text = "Hardware Acceleration was switched on during this session.\r\n"
                       "If this resulted in slower performance, it should be switched off.\r\n"
                       "Would you like to keep Hardware Acceleration switched on?";
            box.buttons = Platform::BoxButtons::YesNo;
            box.icon = Platform::BoxIcon::Question;
            box.defaultAnswer = Platform::BoxAnswer::No;
            bool yes = Platform::ShowMessageBox(box) == Platform::BoxAnswer::Yes;
            AppServices::SetDisplay3D(this, yes);
            if (yes)
                WriteRegistryBool("Is3D", true);
        }
    }

    for (auto& [id, dialog] : mDialogMap) {
        if (mWidgetManager)
            mWidgetManager->RemoveWidget(dialog);
        delete dialog;
    }
    mDialogMap.clear();
    FlushWidgetDeletions();

    delete mWidgetManager;
    mWidgetManager = nullptr;
    AppServices::Destroy(this); // display, music, sound, transfer, internet manager, resources

    if (mWindows) {
        mWindows->DestroyMainWindow();
        mHasMainWindow = false;
    }
    if (gZantApp == this)
        gZantApp = nullptr;

    SaveDemoFile();

    if (mInstanceLock) {
        mInstanceLock->Release();
        delete mInstanceLock;
        mInstanceLock = nullptr;
    }
    if (mOwnsWindows)
        delete mWindows;
    mWindows = nullptr;
}

void ZantApp::SetWindowSystem(Platform::WindowSystem* windows)
{
    if (mOwnsWindows)
        delete mWindows;
    mWindows = windows;
    mOwnsWindows = false;
}

void ZantApp::ButtonPress(int id, int clickCount) { ButtonPress(id); }

void ZantApp::FatalExit(int code)
{
    mShutdown = true;
    fflush(stdout);
    fflush(stderr);
    _exit(code);
}

bool ZantApp::MustRunFullScreen(int width, int height, const Platform::DisplayBounds& usable)
{
    // A desktop whose usable area cannot hold the window plays full screen.
    return usable.width > 0 && usable.height > 0 && (width >= usable.width || height >= usable.height);
}

void ZantApp::Init()
{
    if (mShutdown)
        return;

    if (!mWindows) {
        mWindows = new Platform::SdlWindowSystem();
        mOwnsWindows = true;
    }
    // A machine without a usable display cannot run the game.
    std::string videoError;
    if (!mWindows->InitVideo(videoError)) {
        Platform::MessageBoxRequest box;
        box.title = "You need a display";
        box.text = "This application requires a graphical display (SDL video) to run: " + videoError;
        box.icon = Platform::BoxIcon::Error;
        Platform::ShowMessageBox(box);
        FatalExit(EXIT_FATAL);
    }

    // The command line arrives from the entry point through AppServices.
    std::string params = AppServices::CommandLineParameters();
    if (!params.empty())
        ParseCommandLine(params);
    if (mShutdown)
        return;

    Platform::DebugOutput("Product: " + mProdName + "\r\n");
    Platform::DebugOutput("BuildNum: " + std::to_string(mBuildNum) + "\r\n");
    Platform::DebugOutput("BuildDate: " + mBuildDate + "\r\n");

    if (mOnlyAllowOneCopyToRun) {
        std::string folder = Platform::UserDataFolder();
        mInstanceLock = new Platform::SingleInstance();
        if (!mInstanceLock->Acquire(mProdName, folder)) {
            Platform::SingleInstance::Notify(mProdName, folder);
            delete mInstanceLock;
            mInstanceLock = nullptr;
            FatalExit(EXIT_NORMAL);
        }
    }

    if (!Platform::ChangeToProgramFolder()) {
        Platform::MessageBoxRequest box;
        box.title = "FATAL ERROR";
        box.text = "The program's folder could not be found.";
        box.icon = Platform::BoxIcon::Error;
        Platform::ShowMessageBox(box);
        FatalExit(EXIT_FATAL);
    }

    mRandSeed = Platform::TickCount();
    SeedRandom(mRandSeed);

    if (mDemoPlaybackRequested) {
        // The program's own playback ends the program when it goes out of step.
        mDemoFaultIsFatal = true;
        std::string error;
        if (!OpenDemoFile(error)) {
            mDemoPlaybackRequested = false;
            mPlayingDemoBuffer = false;
            ShowMessage(error);
            FatalExit(EXIT_FATAL);
        }
    }

    LoadPropertiesFile("properties\\partner.xml");
    if (HasProperty("ProdName"))
        mProdName = LookupStringProperty("ProdName");
    if (HasProperty("DefaultWindowed"))
        mIsWindowed = LookupBoolProperty("DefaultWindowed", mIsWindowed);
    std::string title = LookupStringProperty("Title");
    if (!title.empty())
        mTitle = title + " " + mProductVersion;

    AppServices::CreateInternetManager(this);

    // The runtime generator serves one game call; seeding it from the framework's
    // generator (which a demo stores) keeps replays identical.
    RuntimeSrand(mPlayingDemoBuffer || mRecordingDemoBuffer ? mRandSeed : Platform::TickCount());

    LoadSettings();
    static std::once_flag exitHook;
    std::call_once(exitHook, [] { std::atexit(EndOnUnexpectedExit); });
    if (HasProperty("DontUpdate"))
        mDontUpdate = LookupBoolProperty("DontUpdate", mDontUpdate);
    // Decided once, and taken from the recording during playback.
    DecideUpdateCheckDue();

    mWidgetManager = new WidgetManager(this);
    mWidgetManager->SetScreenSize(mWidth, mHeight);

    uint8_t data[128] = {}, mask[128] = {};
    BuildCursorMasks(kHandShape, data, mask);
    mWindows->DefineCursor(Platform::SystemCursor::Hand, data, mask, 11, 4);
    uint8_t data2[128] = {}, mask2[128] = {};
    BuildCursorMasks(kDragShape, data2, mask2);
    mWindows->DefineCursor(Platform::SystemCursor::Dragging, data2, mask2, 15, 10);

    if (mIsWindowed && MustRunFullScreen(mWidth, mHeight, mWindows->UsableBounds()))
        mIsWindowed = false;

    PreDisplayHook();
    CreateMainWindow();

    AppServices::CreateSoundManager(this);
    SetSfxVolume(mSfxVolume);
    mMusicInterface = CreateMusicInterface(nullptr);
    SetMusicVolume(mMusicVolume);

    mInitialized = true;
}

void ZantApp::Shutdown()
{
    if (mShutdown.exchange(true))
        return;
    // The loader sees the flag between its steps; what follows tears down the
    // music, the sounds and the display it may still be loading into.
    WaitForLoader();

    if (mPlayingDemoBuffer) {
        SetMusicVolume(mDemoMusicVolume);
        SetSfxVolume(mDemoSfxVolume);
    }
    // The cursor thread sees the quit flag within one 10 ms step.
    while (mCursorThreadRunning)
        Platform::SleepMs(10);
    if (mCursorThread.joinable())
        mCursorThread.join();

    AppServices::StopMusicAndTransfers(this);
    AppServices::RestoreDisplayMode(this);
    if (mWindows)
        mWindows->HideMainWindow();
    if (mLoadedSettings)
        SaveSettings();
}

void ZantApp::ShowMessage(const std::string& text)
{
    if (!mShutdown)
        ShowErrorBox(text);
}

void ZantApp::ShowErrorBox(const std::string& text)
{
    Platform::MessageBoxRequest box;
    box.title = "FATAL ERROR";
    box.text = text;
    box.icon = Platform::BoxIcon::Error;
    Platform::ShowMessageBox(box);
}

void ZantApp::QueueWidgetDeletion(Widget* widget)
{
    if (!widget)
        return;
    // A widget queued twice (a screen queueing itself, then its owner) is deleted once.
    for (Widget* w : mDeferredDeletions)
        if (w == widget)
            return;
    mDeferredDeletions.push_back(widget);
}

void ZantApp::FlushWidgetDeletions()
{
    AdjustGlobalCount(false);
    // A destructor may queue more widgets (a container dropping its children):
    // take the list out before deleting and repeat until nothing is left.
    while (!mDeferredDeletions.empty()) {
        std::vector<Widget*> batch;
        batch.swap(mDeferredDeletions);
        for (Widget* w : batch)
            delete w;
    }
    AdjustGlobalCount(true);
}

} // namespace Zant
