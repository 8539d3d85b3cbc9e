#pragma once
// The framework's application object: owns the windows, the widget manager, the
// display, sound and music, the dialogs, the settings and the demo state, and runs
// the main loop with its fixed 10 ms logic step.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/sound/GameVolumes.h"
#include "framework/util/PerfTimer.h"
#include "framework/widgets/ButtonListener.h"
#include "platform/Window.h"

namespace Platform {
class SingleInstance;
}

namespace Zant {

class Widget;
class WidgetManager;
class DDInterface;
class DDImage;
class Image;
class MemoryImage;
class Dialog;
class DSoundManager;
class MusicInterface;
class HTTPTransfer;
class InternetManager;
class ResourceManager;
class Buffer;
struct DemoRecordData;
struct Rect;
struct Color;

// The overlays' fonts and images (made on first use, kept to the end of the program).
struct DebugOverlayState;
void DeleteDebugOverlayState(DebugOverlayState* state);

// Exit codes of the process.
enum ExitCode { EXIT_NORMAL = 0, EXIT_FATAL = 1, EXIT_BAD_PARAMETER = 2 };

// Registry value types as the settings store keeps them.
enum RegistryType { REG_TYPE_NONE = 0, REG_TYPE_SZ = 1, REG_TYPE_BINARY = 3, REG_TYPE_DWORD = 4 };

// Dialog button modes.
enum { BUTTONS_NONE = 0, BUTTONS_YES_NO = 1, BUTTONS_OK_CANCEL = 2, BUTTONS_FOOTER = 3 };

// Cursor numbers.
enum { CURSOR_POINTER = 0, CURSOR_HAND = 1, CURSOR_DRAGGING = 2, CURSOR_TEXT = 3, CURSOR_MOVE = 4, CURSOR_NONE = 5, NUM_CURSORS = 6 };

// A demo marker: a name and the update it stands at.
struct DemoMarker {
    std::string mName;
    int mUpdate = 0;
};

// Where playback stands in the demo's stream: records still to replay; all of them
// replayed (the run goes on to the demo's last update, then ends); or stopped (the
// window was closed, or the run and the demo went out of step). The run stays a
// playback to its end in every state, so nothing is written or deleted.
enum class DemoStreamState { Records, AtEnd, Stopped };

// Providers the main loop asks about the system's screen saver.
class ScreenSaverInfo {
public:
    virtual ~ScreenSaverInfo() = default;
    // Time-out in seconds and whether the saver is enabled; false when unknown.
    virtual bool GetSettings(int& timeoutSeconds, bool& enabled) = 0;
    virtual bool IsRunning() = 0;
    // System-wide time of the last input; false when the system cannot tell.
    virtual bool GetLastInputTime(uint32_t& time) = 0;
};

// The desktop offers no portable screen-saver query: this one reports "not enabled",
// which leaves the game running.
class NoScreenSaver : public ScreenSaverInfo {
public:
    bool GetSettings(int& timeoutSeconds, bool& enabled) override
    {
        timeoutSeconds = 0;
        enabled = false;
        return true;
    }
    bool IsRunning() override { return false; }
    bool GetLastInputTime(uint32_t&) override { return false; }
};

class ZantApp : public ButtonListener, public ImageRegistry, public FontHost {
public:
    ZantApp();
    ~ZantApp() override;

    // 1-4: button events (the game's command dispatcher overrides them).
    void ButtonPress(int id, int clickCount) override;
    void ButtonPress(int id) override {}
    void ButtonDepress(int id) override {}
    void ButtonDownTick(int id) override {}

    // Main loop and frame pacing.
    virtual bool RunFrame();
    virtual void UpdateOnce();
    virtual bool DrawFrame();

    // Windows and display.
    virtual void CreateMainWindow();
    virtual void ApplyCursor();
    virtual void Redraw(const Rect* rect);
    virtual void ClearImageCaches();

    virtual void LoadingCompleted() {}
    virtual MusicInterface* CreateMusicInterface(void* window);
    virtual void Init();
    virtual void LoadingProc() {}

    virtual void SaveSettings();
    virtual void LoadSettings();

    virtual Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                              const std::string& footer, int buttonMode)
    {
        return nullptr;
    }
    virtual void ShowMessage(const std::string& text);
    // The error box ShowMessage shows, also while quitting.
    static void ShowErrorBox(const std::string& text);
    virtual void QueueWidgetDeletion(Widget* widget);

    virtual void WebPageOpenFailed(const std::string& url);
    virtual void WebPageOpened(const std::string& url);
    virtual bool OpenWebPage(const std::string& url, bool quitAfterOpen);

    virtual std::string ReadProductVersion(const std::string& path);
    virtual void SEHOccurred();
    virtual std::string BuildSessionReport();

    virtual void Shutdown();
    virtual void ParseCommandLine(const std::string& text);
    virtual void HandleCommandLineParam(const std::string& name, const std::string& value);
    virtual void RunMainLoop();

    virtual void PreDisplayHook() {}
    virtual void DisplayResetHook() {}

    virtual void PlaySoundPanned(int id, int pan);
    virtual void PlaySound(int id);
    virtual double GetMasterVolume();
    virtual double GetMusicVolume();
    virtual double GetSfxVolume();
    virtual bool IsMuted();
    virtual void SetMasterVolume(double volume);
    virtual void SetMusicVolume(double volume);
    virtual void SetSfxVolume(double volume);
    virtual void Mute(bool autoMute);
    virtual void Unmute(bool autoMute);

    virtual double GetLoadingProgress();

    virtual void SwitchScreenMode(bool windowed, bool is3D);
    virtual void SwitchScreenMode(bool windowed);
    virtual void SetVideoOnlyDraw(bool videoOnly);

    virtual Dialog* ShowDialog(int id, bool modal, const std::string& header, const std::string& lines,
                               const std::string& footer, int buttonMode);
    virtual Dialog* FindDialog(int id);
    virtual void AddDialog(int id, Dialog* dialog);
    virtual bool RemoveDialog(int id);
    virtual int CountDialogs();

    virtual void DialogAdded(Dialog* dialog) {}
    virtual void DialogRemoved(Dialog* dialog) {}
    virtual void GotFocus() {}
    virtual void LostFocus() {}

    virtual bool HandleDebugKey(int key);

    // ---- Main loop helpers.
    void FlushWidgetDeletions();
    void UpdateScreenSaverInfo(uint32_t now);
    void ResetFrameClock();
    // Copies the frame-rate (and demo-time) overlay images onto the screen.
    void DrawOverlayImages();

    // ---- Window procedure and deferred messages.
    // Returns true when the message was answered at once (no default handling).
    bool HandleWindowMessage(Platform::Msg message, int64_t param1, int64_t param2);
    void ProcessDeferredMessages();
    void ApplyActiveState();
    // Drains the window system's events through the window procedure.
    void PumpMessages();

    // ---- Loading and cursor threads.
    void StartLoadingThread();
    static void LoadingThreadProc(ZantApp* app);
    // Waits, on the loading thread, until the first frame is shown (or briefly).
    void WaitForFirstFrame();
    void WaitForLoader();
    void StartCursorThread();
    static void CursorThreadProc(ZantApp* app);
    void CursorThreadLoop();

    // ---- Registry access and settings (relative to the program's key).
    bool WriteRegistryValue(const std::string& name, int type, const uint8_t* data, int length);
    bool WriteRegistryString(const std::string& name, const std::string& value);
    bool WriteRegistryInt(const std::string& name, int value);
    bool WriteRegistryBool(const std::string& name, bool value);
    bool ReadRegistryValue(const std::string& name, int& type, uint8_t* data, int& length);
    bool ReadRegistryString(const std::string& name, std::string& value);
    bool ReadRegistryInt(const std::string& name, int& value);
    bool ReadRegistryBool(const std::string& name, bool& value);
    bool DeleteRegistryKey(const std::string& name);
    void DeleteRegistryValue(const std::string& name);
    bool ListRegistrySubKeys(const std::string& name, std::vector<std::string>& keys);
    // Writes between these two reach the store's file together, in one write by the
    // outermost end (false when it fails and the writes are undone). Nothing happens
    // while a demo plays back, as the writes then do not reach the store.
    void BeginRegistryBatch();
    bool EndRegistryBatch();

    // ---- Demo recording and playback.
    void DemoWriteUpdateDelta();
    void DemoRecordLoadingFinished();
    void DemoRecordInput(const Platform::WindowEvent& event);
    void DemoRecordMouseInWindow(bool inside);
    // Keys that steer playback (pause, speed, markers); true when consumed.
    bool HandleDemoPlaybackKey(char c);
    void StopDemoPlayback();
    void SaveDemoFile();
    bool OpenDemoFile(std::string& error);
    // Starts playing the demo whose file contents are given (OpenDemoFile's second half).
    bool PlayDemoData(const std::string& file, std::string& error);
    bool DemoReadRecordHeader();
    void ReplayDemoEvents();
    bool FileExists(const std::string& path);
    bool LoadFileToBuffer(const std::string& path, Buffer& buffer);
    bool SaveBytesToFile(const std::string& path, const uint8_t* bytes, int length);
    bool SaveBufferToFile(const std::string& path, const Buffer& buffer);
    bool DeleteFileUnlessReplaying(const std::string& path);
    void DemoSyncBuffer(Buffer& buffer);
    void DemoSyncByte(bool& flag);
    void DemoSyncText(std::string& text);
    void DemoSyncString(const std::string& text);
    void ShowDemoMarkerList();
    void ToggleDemoVolume();
    // Outside results as long records. While recording, DemoWriteRecord writes the
    // header of a record of code and then its data (main thread only). While
    // playing, DemoTakeRecord takes the pending record when it has code and is due
    // at this update and gives its data; otherwise playback stops as out of sync
    // and the result is false.
    void DemoWriteRecord(int code, const std::function<void(Buffer&)>& writeData);
    bool DemoTakeRecord(int code, DemoRecordData& data);
    // An HTTP transfer's result, recorded when the main thread polls the transfer.
    // During playback the transfer takes its result from the pending record when
    // that record is due and belongs to the transfer (false otherwise).
    void DemoRecordTransferResult(uint32_t transferId, int resultCode, const std::string& content);
    bool DemoTakeTransferResult(uint32_t transferId, int& resultCode, std::string& content);
    // A demo plays and records remain to be replayed.
    bool IsReplayingDemo() const { return mPlayingDemoBuffer && mDemoStreamState == DemoStreamState::Records; }
    // Decides once, on the main thread after LoadSettings, whether an update check
    // is due, and passes the answer through the demo (mStartUpdateCheckDue).
    void DecideUpdateCheckDue();
    // The marker list: "name (hh:mm:ss)" for every marker ahead of the current update,
    // with the update each entry jumps to.
    std::vector<std::string> DemoMarkerListEntries(std::vector<int>* updates = nullptr);
    void ChooseDemoMarker(int update);
    // The marker list dialog is up: the demo waits for the viewer's choice, whose
    // own mouse and keys reach the list.
    bool DemoMarkerListOpen();
    // Play time left in the demo as "hh:mm:ss", for the demo-time overlay.
    std::string DemoTimeRemainingText();

    // ---- Properties file.
    // The start-up form: optional, with the signature check.
    bool LoadPropertiesFile(const std::string& path);
    bool LoadPropertiesFile(const std::string& path, bool required, bool checkSignature);
    // Checks data (the file read from path) against path + ".sig".
    bool VerifyFileSignature(const Buffer& data, const std::string& path);
    // Reads path through the demo-aware file functions and checks it.
    bool VerifyFileSignature(const std::string& path);
    std::string LookupStringProperty(const std::string& name, const std::string& def = "");
    bool LookupBoolProperty(const std::string& name, bool def = false);
    int LookupIntProperty(const std::string& name, int def = 0);
    bool HasProperty(const std::string& name);
    void StoreStringProperty(const std::string& name, const std::string& value);
    void StoreBoolProperty(const std::string& name, bool value);
    void StoreIntProperty(const std::string& name, int value);

    // ---- Application services.
    void SelectCursor(int number);
    void AssignCursorImage(int number, Image* image);
    void SetCustomCursorsFlag(bool flag);
    bool Is3D();
    bool Is3DSupported();
    bool Is3DRecommended();
    DDImage* LoadImageFile(const std::string& path);
    DDImage* DuplicateImage(Image* image, const Rect& rect);
    DDImage* DuplicateImage(Image* image);
    void MirrorImageHorizontally(Image* image);
    void FlipImageVertically(Image* image);
    MemoryImage* TransformImagePixels(Image* image, const Color& color);
    void AddImage(MemoryImage* image) override;
    void ForgetImage(MemoryImage* image) override;
    // Fonts load their layer images and report descriptor errors through the application.
    Image* LoadFontImage(const std::string& path) override;
    void ShowFontError(const std::string& message) override;
    MemoryImage* NewFontImage() override;
    void PutClipboardText(const std::string& text);
    std::string GetClipboardText();
    bool IsUpdateCheckDue();
    void StampUpdateCheckTime();

    // ---- Debug keys, overlays and 3D switching.
    void Set3DAcceleration(bool is3D, bool reinitialise);
    // The 3D test's verdict when its drawing ran in the background: once it is in
    // (wait: until it is), applied as the display's start applies a verdict, unless
    // the 3D mode was switched during the run. The drawing starts once the first
    // frame is shown and the loading is done, or at once when waited for.
    void Take3DTestVerdict(bool wait);
    void ShowVideoMemoryReport();
    void WriteImageReport();
    void DrawFPS();
    void DrawDemoTime();

    // Whether a window of this size must be full screen on a desktop this big.
    static bool MustRunFullScreen(int width, int height, const Platform::DisplayBounds& usable);

    // ---- Process helpers.
    // Ends the process at once with code: sets quit, flushes the standard streams.
    [[noreturn]] void FatalExit(int code);

    // Platform services (real ones unless a test installs fakes before Init).
    void SetWindowSystem(Platform::WindowSystem* windows);
    Platform::WindowSystem* GetWindowSystem() { return mWindows; }
    void SetScreenSaverInfo(ScreenSaverInfo* info) { mScreenSaver = info; }

public:
    // ---- Identity.
    std::string mProdName = "Product";
    std::string mTitle = "ZantApp";
    std::string mProductVersion;
    int mBuildNum = 0;
    std::string mBuildDate;
    std::string mUserName; // sent with crash reports
    std::thread::id mPrimaryThreadId;
    uint32_t mTimeLoaded = 0;
    uint32_t mRandSeed = 0;
    std::string mRegKey;

    // ---- Size and mode.
    int mWidth = 640;
    int mHeight = 480;
    bool mIsWindowed = true;
    std::atomic<bool> mShutdown{false};
    bool mCloseRequest = false;
    bool mInitialized = false;
    bool mDontUpdate = false;
    bool m3DChanged = false;
    bool mFullScreenForced = false;
    bool mWindowedForced = false;

    // ---- Single instance.
    bool mOnlyAllowOneCopyToRun = true;
    Platform::SingleInstance* mInstanceLock = nullptr;

    // ---- Owned objects.
    WidgetManager* mWidgetManager = nullptr;
    DDInterface* mDDInterface = nullptr;
    DSoundManager* mSoundManager = nullptr;
    MusicInterface* mMusicInterface = nullptr;
    HTTPTransfer* mHTTPTransfer = nullptr;
    ResourceManager* mResourceManager = nullptr;
    InternetManager* mInternetManager = nullptr;
    std::map<int, Dialog*> mDialogMap;
    std::vector<Widget*> mDeferredDeletions;
    std::vector<Platform::WindowEvent> mDeferredMessages;
    std::map<std::string, std::string> mDialogStrings;

    // ---- Windows and input state.
    bool mHasMainWindow = false;
    bool mActive = true;
    bool mMinimized = false;
    bool mHasFocus = true;
    bool mMouseIn = false;
    bool mLButtonDown = false;
    bool mRButtonDown = false;
    bool mDebugKeysEnabled = false;
    bool mCrashed = false;
    bool mVideoOnlyDraw = false;
    int mPresentCount = 0;
    bool mAutoEnable3D = false;
    bool mTest3D = false;
    uint32_t mLastTimerTime = 0;
    uint32_t mLastBigDelayTime = 0;
    uint32_t mLastUserInputTick = 0;
    bool mWebPageOpenPending = false;
    bool mQuitAfterWebPage = false;
    bool mQuittingAfterWebPage = false;
    std::string mOpenedUrl;
    uint32_t mOpenedUrlTime = 0;

    // ---- Sound.
    double mMusicVolume = kDefaultMusicVolume;
    double mSfxVolume = kDefaultSfxVolume;
    double mDemoMusicVolume = 0.0;
    double mDemoSfxVolume = 0.0;
    int mMuteCount = 0;
    int mAutoMuteCount = 0;
    bool mNoSoundNeeded = false;
    bool mWantFMod = false;

    // ---- Cursors.
    int mCursorNum = CURSOR_POINTER;
    Image* mCursorImages[NUM_CURSORS] = {};
    bool mCustomCursorsEnabled = false;
    bool mSysCursor = true;

    // ---- Registered images (the loading thread creates images too).
    std::recursive_mutex mImageLock;
    std::set<MemoryImage*> mMemoryImageSet;

    // ---- Settings.
    bool mWaitForVSync = false;
    bool mITSuccess = false;
    int mLastVerCheckQueryTime = 0;
    bool mLastShutdownWasGraceful = true;
    std::string mReferId;
    bool mLoadedSettings = false;

    // ---- Pacing.
    int mFrameTime = 10;
    double mUpdateMultiplier = 1.0;
    bool mPaused = false;
    uint32_t mLastTime = 0;
    int mUpdateFTimeAcc = 0;
    int mNonDrawCount = 0;
    int mUpdateCount = 0;
    int mUpdateAppDepth = 0;
    int mUpdatesWithChanges = 0;
    int mSleepCount = 0;
    int mDrawCount = 0;
    int64_t mDrawTime = 0;
    int64_t mScreenBltTime = 0;
    int64_t mTotalScreenBltTime = 0;
    uint32_t mLastDrawTick = 0;
    uint32_t mNextDrawTick = 0;
    bool mInMainLoop = false;
    int mPassCount = 0;
    bool mScreenSaverIdle = false;
    uint32_t mLastScreenSaverTest = 0;
    uint32_t mLastScreenSaverSettingsRead = 0;
    bool mScreenSaverSettingsRead = false;
    int mScreenSaverThreshold = 0;
    bool mScreenSaverEnabled = false;
    bool mCatchUpClockSet = false;
    uint32_t mLastCatchUpDraw = 0;

    // ---- Overlays.
    bool mShowFPS = false;
    MemoryImage* mFPSImage = nullptr;
    MemoryImage* mDemoTimeImage = nullptr;
    int mFPSDrawCount = 0;
    int mFPSRate = 0;
    PrecisionTimer mFPSTimer;
    bool mFPSTimerStarted = false;
    uint32_t mLastDemoTimeRefresh = 0;
    std::string mImageReportFolder = "_dump"; // relative to the working folder
    // Declared after the image set: the overlay images leave it when this goes.
    std::unique_ptr<DebugOverlayState, void (*)(DebugOverlayState*)> mOverlayState{nullptr,
                                                                                   &DeleteDebugOverlayState};

    // ---- Threads.
    std::atomic<bool> mLoadingThreadStarted{false};
    // Set once a frame has reached the window.
    std::atomic<bool> mFirstFrameShown{false};
    std::atomic<bool> mLoaded{false};
    bool mLoadingThreadCompleted = false;
    std::atomic<bool> mCursorThreadRunning{false};
    std::atomic<int> mNumLoadingThreadTasks{0};
    std::atomic<int> mCompletedLoadingThreadTasks{0};
    std::thread mLoadingThread;
    std::thread mCursorThread;
    int mLastCursorX = 0;
    int mLastCursorY = 0;

    // ---- Demo.
    bool mRecordingDemoBuffer = false;
    bool mPlayingDemoBuffer = false;
    std::string mDemoFileName = "vorlix.dmo";
    Buffer* mDemoBuffer = nullptr;
    int mLastDemoUpdateCnt = 0;
    bool mDemoNeedsCommand = true;
    bool mDemoIsShortCmd = false;
    int mDemoCmdNum = 0;
    int mDemoCmdOrder = -1;
    int mDemoCmdBitPos = 0;
    bool mDemoLoadingComplete = false;
    int mDemoLength = 0;
    int mLastDemoMouseX = 0;
    int mLastDemoMouseY = 0;
    std::vector<DemoMarker> mDemoMarkerList;
    int mDemoAdvanceToUpdate = 0;
    bool mFastForwardToMarker = false;
    bool mDemoPlaybackRequested = false;
    DemoStreamState mDemoStreamState = DemoStreamState::Records;
    // Playback out of step shows the message and ends the program with code 1
    // (set by Init for the program's playback); otherwise it only stops playing.
    bool mDemoFaultIsFatal = false;
    std::shared_ptr<Buffer> mDemoBufferStore; // owns mDemoBuffer when the application made it
    bool mDemoCloseRecorded = false;          // a close record is in the stream being recorded
    bool mStartUpdateCheckDue = false;        // decided once by DecideUpdateCheckDue

    // ---- Properties.
    std::map<std::string, std::string> mStringProperties;
    std::map<std::string, std::vector<std::string>> mStringVectorProperties;
    std::map<std::string, bool> mBoolProperties;
    std::map<std::string, int> mIntProperties;

protected:
    Platform::WindowSystem* mWindows = nullptr;
    bool mOwnsWindows = false;
    ScreenSaverInfo* mScreenSaver = nullptr;
    NoScreenSaver mNoScreenSaver;

private:
    // Sets the display's 3D flag and rebuilds the display when asked; 3D that cannot
    // start falls back to 2D.
    void Switch3DMode(bool is3D, bool reinitialise);
};

// Whether url may be handed to the browser: an http:// or https:// address without
// blanks or control characters.
bool IsWebPageAddress(const std::string& url);

// The one application object of the process.
extern ZantApp* gZantApp;

} // namespace Zant
