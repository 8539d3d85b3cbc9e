// Demo recording and playback: the demo file, the input records written between
// updates, and their replay.
//
// The hand-shake with UpdateOnce: during playback a record's header is read ahead
// whenever one is needed, so a header is pending whenever records remain. An
// update waits while the pending record is due at the current update; input
// records are replayed between updates by ReplayDemoEvents, and outside results
// are taken by the operation that asks for them (DemoTakeRecord), after which the
// next header is read at once, so that an input record due at the same update
// holds the next update back even when several updates run in a row.
#include <algorithm>
#include <cstdlib>

#include "framework/app/DemoFormat.h"
#include "framework/app/DemoSupport.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace Zant {

using Platform::Msg;

namespace {

Buffer& RecordingStream(ZantApp& app)
{
    if (!app.mDemoBuffer) {
        app.mDemoBufferStore = std::make_shared<Buffer>();
        app.mDemoBuffer = app.mDemoBufferStore.get();
    }
    return *app.mDemoBuffer;
}

void WriteLongHeader(ZantApp& app, int code)
{
    app.DemoWriteUpdateDelta();
    app.mDemoBuffer->WriteNumBits(0, 1);
    app.mDemoBuffer->WriteNumBits(code, 5);
}

// Starts a record. Two records are written first when they are due: the end of
// loading (the game's loading-completed hook may record results before the main
// loop writes it, and playback must see the end of loading first), and a close
// when the run began shutting down without one (the end of the desktop session),
// so that playback shuts down where the recording did.
void BeginRecord(ZantApp& app, bool isShort, int code)
{
    RecordingStream(app);
    if (app.mLoadingThreadCompleted && !app.mDemoLoadingComplete)
        app.DemoRecordLoadingFinished();
    if (app.mShutdown && !app.mDemoCloseRecorded) {
        app.mDemoCloseRecorded = true;
        WriteLongHeader(app, DEMO_CLOSE);
    }
    if (isShort) {
        app.DemoWriteUpdateDelta();
        app.mDemoBuffer->WriteNumBits(1, 1);
        app.mDemoBuffer->WriteNumBits(code, 1);
    } else {
        WriteLongHeader(app, code);
    }
}

bool CanRecord(const ZantApp& app)
{
    if (!app.mRecordingDemoBuffer)
        return false;
    if (!OnMainThread(app)) {
        // Another thread's records would land at an unpredictable place in the stream.
        Platform::DebugOutput("Demo record from another thread left out\n");
        return false;
    }
    return true;
}

void RecordMousePosition(ZantApp& app, int x, int y)
{
    x = std::clamp(x, DEMO_MOUSE_MIN, DEMO_MOUSE_MAX);
    y = std::clamp(y, DEMO_MOUSE_MIN, DEMO_MOUSE_MAX);
    const int dx = x - app.mLastDemoMouseX, dy = y - app.mLastDemoMouseY;
    // A message that does not move the mouse (a click where the last move left it)
    // writes no move: the stream stays as short as the demo format has it.
    if (dx == 0 && dy == 0)
        return;
    if (std::abs(dx) < DEMO_SHORT_MOVE_LIMIT && std::abs(dy) < DEMO_SHORT_MOVE_LIMIT) {
        BeginRecord(app, true, DEMO_SHORT_MOUSE_MOVE);
        app.mDemoBuffer->WriteNumBits(dx, 6);
        app.mDemoBuffer->WriteNumBits(dy, 6);
    } else {
        BeginRecord(app, false, DEMO_MOUSE_POSITION);
        app.mDemoBuffer->WriteNumBits(x, 12);
        app.mDemoBuffer->WriteNumBits(y, 12);
    }
    app.mLastDemoMouseX = x;
    app.mLastDemoMouseY = y;
}

void RecordMouseButton(ZantApp& app, bool down, int button)
{
    BeginRecord(app, true, DEMO_SHORT_MOUSE_BUTTON);
    app.mDemoBuffer->WriteNumBits(down ? 1 : 0, 1);
    app.mDemoBuffer->WriteNumBits(button, 3);
}

// Gives back the volumes the playback key 'S' took away, and makes the saved
// volumes the current ones, so that the give-back at shutdown changes nothing.
void RestoreDemoVolumes(ZantApp& app)
{
    if (app.GetMusicVolume() == 0 && app.mDemoMusicVolume > 0)
        app.SetMusicVolume(app.mDemoMusicVolume);
    if (app.GetSfxVolume() == 0 && app.mDemoSfxVolume > 0)
        app.SetSfxVolume(app.mDemoSfxVolume);
    app.mDemoMusicVolume = app.GetMusicVolume();
    app.mDemoSfxVolume = app.GetSfxVolume();
}

void MoveDemoMouse(ZantApp& app, int x, int y)
{
    app.mLastDemoMouseX = x;
    app.mLastDemoMouseY = y;
    if (!app.mWidgetManager)
        return;
    if (!app.mLButtonDown && !app.mRButtonDown)
        app.mWidgetManager->MouseMove(x, y);
    else
        app.mWidgetManager->MouseDrag(x, y);
}

// Replays one input record the way the deferred-message pass handles the live event.
void ApplyInputRecord(ZantApp& app, const DemoRecordHeader& header, const DemoRecordData& data)
{
    WidgetManager* widgets = app.mWidgetManager;
    if (header.mShort) {
        if (header.mCode == DEMO_SHORT_MOUSE_MOVE) {
            MoveDemoMouse(app, app.mLastDemoMouseX + data.mX, app.mLastDemoMouseY + data.mY);
            return;
        }
        (data.mButton > 0 ? app.mLButtonDown : app.mRButtonDown) = data.mDown;
        if (!widgets)
            return;
        if (data.mDown)
            widgets->MouseDown(app.mLastDemoMouseX, app.mLastDemoMouseY, data.mButton);
        else
            widgets->MouseUp(app.mLastDemoMouseX, app.mLastDemoMouseY, data.mButton);
        return;
    }
    switch (header.mCode) {
    case DEMO_MOUSE_POSITION:
        MoveDemoMouse(app, data.mX, data.mY);
        break;
    case DEMO_ACTIVATE:
        app.mActive = data.mValue != 0;
        app.ApplyActiveState();
        if (app.mActive && !app.mIsWindowed && widgets)
            widgets->MarkAllWidgetsDirty();
        if (app.mWebPageOpenPending && !app.mActive)
            app.WebPageOpened(app.mOpenedUrl);
        break;
    case DEMO_SIZE: {
        const bool minimized = data.mValue != 0;
        if (!app.mShutdown && minimized != app.mMinimized) {
            app.mMinimized = minimized;
            if (minimized)
                app.Mute(true);
            else
                app.Unmute(true);
        }
        app.ApplyActiveState();
        break;
    }
    case DEMO_KEY_DOWN:
        if (widgets)
            widgets->KeyDown(data.mValue);
        break;
    case DEMO_KEY_UP:
        if (widgets)
            widgets->KeyUp(data.mValue);
        break;
    case DEMO_KEY_CHAR:
        if (widgets)
            widgets->KeyChar(static_cast<char>(data.mValue));
        break;
    case DEMO_CLOSE:
        RestoreDemoVolumes(app);
        app.Shutdown();
        break;
    case DEMO_MOUSE_ENTERED:
        app.mMouseIn = true;
        app.ApplyCursor();
        break;
    case DEMO_MOUSE_LEFT:
        if (widgets)
            widgets->MouseLeftWindow();
        app.mMouseIn = false;
        app.ApplyCursor();
        break;
    case DEMO_LOADING_FINISHED:
        app.mDemoLoadingComplete = true;
        break;
    default: // fillers
        break;
    }
}

// Playback that has left the recorded run cannot show anything the run did. The
// program says so and ends; an application playing without Init (the tests' own)
// only stops playing.
void DemoOutOfSync(ZantApp& app, const std::string& what)
{
    if (app.mDemoStreamState == DemoStreamState::Stopped)
        return;
    Platform::DebugOutput("demo out of sync: " + what + " at update " + std::to_string(app.mUpdateCount) + "\n");
    app.StopDemoPlayback();
    if (!app.mDemoFaultIsFatal)
        return;
    Platform::MessageBoxRequest box;
    box.title = "FATAL ERROR";
    box.text = DEMO_OUT_OF_STEP_TEXT;
    box.icon = Platform::BoxIcon::Error;
    Platform::ShowMessageBox(box);
    app.FatalExit(EXIT_FATAL);
}

} // namespace

// ---- Recording

void ZantApp::DemoWriteUpdateDelta()
{
    if (!mRecordingDemoBuffer)
        return;
    Buffer& stream = RecordingStream(*this);
    int delta = std::max(mUpdateCount - mLastDemoUpdateCnt, 0);
    while (delta > DEMO_MAX_DELTA) {
        WriteDemoRecordHeader(stream, DEMO_MAX_DELTA, false, DEMO_FILLER);
        delta -= DEMO_MAX_DELTA;
        ++mDemoCmdOrder;
    }
    stream.WriteNumBits(delta, 4);
    mLastDemoUpdateCnt = mUpdateCount;
    ++mDemoCmdOrder;
}

void ZantApp::DemoRecordLoadingFinished()
{
    if (!CanRecord(*this) || mDemoLoadingComplete)
        return;
    mDemoLoadingComplete = true;
    RecordingStream(*this);
    WriteLongHeader(*this, DEMO_LOADING_FINISHED);
}

void ZantApp::DemoRecordInput(const Platform::WindowEvent& event)
{
    if (!CanRecord(*this) || mShutdown)
        return;
    switch (event.msg) {
    case Msg::Size:
        BeginRecord(*this, false, DEMO_SIZE);
        mDemoBuffer->WriteBoolean(event.param1 != 0);
        break;
    case Msg::Close:
        mDemoCloseRecorded = true;
        BeginRecord(*this, false, DEMO_CLOSE);
        break;
    case Msg::ActivateApp:
        BeginRecord(*this, false, DEMO_ACTIVATE);
        mDemoBuffer->WriteNumBits(event.param1 != 0 ? 1 : 0, 1);
        break;
    case Msg::KeyDown:
    case Msg::KeyUp:
    case Msg::Char:
        BeginRecord(*this, false,
                    event.msg == Msg::KeyDown ? DEMO_KEY_DOWN : event.msg == Msg::KeyUp ? DEMO_KEY_UP : DEMO_KEY_CHAR);
        mDemoBuffer->WriteNumBits(static_cast<int>(event.param1 & 0xFF), 8);
        break;
    case Msg::MouseMove:
    case Msg::LButtonDown:
    case Msg::LButtonUp:
    case Msg::LButtonDblClk:
    case Msg::RButtonDown:
    case Msg::RButtonUp:
    case Msg::RButtonDblClk:
        RecordMousePosition(*this, Platform::MouseX(event.param2), Platform::MouseY(event.param2));
        switch (event.msg) {
        case Msg::LButtonDown: RecordMouseButton(*this, true, 1); break;
        case Msg::LButtonUp: RecordMouseButton(*this, false, 1); break;
        case Msg::LButtonDblClk: RecordMouseButton(*this, true, 2); break;
        case Msg::RButtonDown: RecordMouseButton(*this, true, -1); break;
        case Msg::RButtonUp: RecordMouseButton(*this, false, -1); break;
        case Msg::RButtonDblClk: RecordMouseButton(*this, true, -2); break;
        default: break;
        }
        break;
    default: // the window timer and the rest carry no input
        break;
    }
}

void ZantApp::DemoRecordMouseInWindow(bool inside)
{
    if (!CanRecord(*this) || mShutdown)
        return;
    BeginRecord(*this, false, inside ? DEMO_MOUSE_ENTERED : DEMO_MOUSE_LEFT);
}

void ZantApp::DemoWriteRecord(int code, const std::function<void(Buffer&)>& writeData)
{
    if (!CanRecord(*this))
        return;
    BeginRecord(*this, false, code);
    writeData(*mDemoBuffer);
}

void ZantApp::SaveDemoFile()
{
    if (!mRecordingDemoBuffer)
        return;
    // The recording ends with a record at its last update, so that playback can
    // tell a whole stream from one cut at a record boundary: a close, which is also
    // how the recorded run ended when the program ended it (its own quit, the end
    // of the desktop session) without a record after it.
    if (!mDemoCloseRecorded && OnMainThread(*this)) {
        mDemoCloseRecorded = true;
        BeginRecord(*this, false, DEMO_CLOSE);
    }
    DemoFileContents demo;
    demo.mSeed = mRandSeed;
    demo.mProductVersion = mProductVersion;
    demo.mMarkers = mDemoMarkerList;
    demo.mTotalUpdates = mUpdateCount;
    if (mDemoBuffer)
        demo.mStream = mDemoBuffer->ToString();
    if (!Platform::WriteFileAtomic(Platform::ToNativePath(mDemoFileName), EncodeDemoFile(demo)))
        Platform::DebugOutput("Unable to write demo file: " + mDemoFileName + "\n");
}

// ---- Playback

bool ZantApp::OpenDemoFile(std::string& error)
{
    std::string file;
    if (!ReadWholeFile(Platform::ToNativePath(mDemoFileName), file)) {
        error = "Demo file not found: " + mDemoFileName;
        return false;
    }
    return PlayDemoData(file, error);
}

bool ZantApp::PlayDemoData(const std::string& file, std::string& error)
{
    DemoFileContents demo;
    if (!DecodeDemoFile(file, mProductVersion, demo, error))
        return false;

    mRandSeed = demo.mSeed;
    SeedRandom(mRandSeed);
    mDemoMarkerList = demo.mMarkers;
    mDemoLength = demo.mTotalUpdates;
    mDemoBufferStore = std::make_shared<Buffer>();
    mDemoBuffer = mDemoBufferStore.get();
    mDemoBuffer->SetData(demo.mStream);
    mLastDemoUpdateCnt = 0;
    mDemoNeedsCommand = true;
    mDemoCmdOrder = -1;
    mDemoCmdBitPos = 0;
    mDemoLoadingComplete = false;
    mLastDemoMouseX = 0;
    mLastDemoMouseY = 0;
    mDemoStreamState = DemoStreamState::Records;
    mRecordingDemoBuffer = false;
    mPlayingDemoBuffer = true;
    return true;
}

bool ZantApp::DemoReadRecordHeader()
{
    if (!mPlayingDemoBuffer || !mDemoBuffer || mDemoStreamState == DemoStreamState::Stopped)
        return false;
    if (mDemoStreamState == DemoStreamState::AtEnd)
        return mUpdateCount >= mLastDemoUpdateCnt;
    if (mDemoNeedsCommand) {
        const size_t start = mDemoBuffer->GetReadBitPos();
        DemoRecordHeader header;
        if (!ReadDemoRecordHeader(*mDemoBuffer, header)) {
            // A recording ends with a record at its last update (SaveDemoFile sees
            // to it): a stream that stops short was cut.
            if (mLastDemoUpdateCnt < mDemoLength) {
                DemoOutOfSync(*this, "the records end at update " + std::to_string(mLastDemoUpdateCnt) + " of " +
                                         std::to_string(mDemoLength));
                return false;
            }
            // Every record is replayed. The end stands like a pending record at the
            // demo's last update: updates run up to it, then playback ends.
            mDemoStreamState = DemoStreamState::AtEnd;
            mDemoNeedsCommand = false;
            mLastDemoUpdateCnt = std::max(mLastDemoUpdateCnt, mDemoLength);
            return mUpdateCount >= mLastDemoUpdateCnt;
        }
        mLastDemoUpdateCnt += header.mDelta;
        mDemoIsShortCmd = header.mShort;
        mDemoCmdNum = header.mCode;
        mDemoCmdBitPos = static_cast<int>(start);
        ++mDemoCmdOrder;
        mDemoNeedsCommand = false;
    }
    return mUpdateCount == mLastDemoUpdateCnt;
}

void ZantApp::ReplayDemoEvents()
{
    if (!mPlayingDemoBuffer || !mDemoBuffer)
        return;
    while (!mShutdown && mDemoStreamState != DemoStreamState::Stopped) {
        if (!DemoReadRecordHeader())
            return;
        if (mDemoStreamState == DemoStreamState::AtEnd) {
            Platform::DebugOutput("Demo playback finished at update " + std::to_string(mUpdateCount) + "\n");
            RestoreDemoVolumes(*this);
            mDemoStreamState = DemoStreamState::Stopped;
            mDemoNeedsCommand = true;
            Shutdown();
            return;
        }
        const DemoRecordHeader header{0, mDemoIsShortCmd, mDemoCmdNum};
        if (!header.mShort && IsDemoResultCode(header.mCode)) {
            // A result belongs to the operation that asks for it. Once both sides
            // finished loading, the loading-completed hook is about to ask.
            if (mDemoLoadingComplete && !mLoadingThreadCompleted)
                return;
            DemoOutOfSync(*this, "result record " + std::to_string(header.mCode) + " not asked for");
            return;
        }
        DemoRecordData data;
        if (!ReadDemoRecordData(*mDemoBuffer, header, data)) {
            DemoOutOfSync(*this, "unreadable record " + std::to_string(header.mCode));
            return;
        }
        mDemoNeedsCommand = true;
        ApplyInputRecord(*this, header, data);
    }
}

bool ZantApp::DemoTakeRecord(int code, DemoRecordData& data)
{
    data = DemoRecordData();
    if (!mPlayingDemoBuffer || !mDemoBuffer || mDemoStreamState == DemoStreamState::Stopped)
        return false;
    if (!OnMainThread(*this)) {
        Platform::DebugOutput("Demo result asked for on another thread\n");
        return false;
    }
    bool due = false;
    for (;;) {
        due = DemoReadRecordHeader();
        if (mDemoStreamState != DemoStreamState::Records) {
            DemoOutOfSync(*this, "no record left for result " + std::to_string(code));
            return false;
        }
        // Fillers carry nothing; a close that stands for the recorded run's shutdown
        // is passed over when this run is already shutting down.
        const bool filler = !mDemoIsShortCmd && mDemoCmdNum == DEMO_FILLER;
        const bool closing = !mDemoIsShortCmd && mDemoCmdNum == DEMO_CLOSE && mShutdown;
        if (!due || !(filler || closing))
            break;
        mDemoNeedsCommand = true;
    }
    if (!due || mDemoIsShortCmd || mDemoCmdNum != code) {
        DemoOutOfSync(*this, "result " + std::to_string(code) + " asked for, record " +
                                 std::string(mDemoIsShortCmd ? "short " : "") + std::to_string(mDemoCmdNum) +
                                 " of update " + std::to_string(mLastDemoUpdateCnt) + " pending");
        return false;
    }
    if (!ReadDemoRecordData(*mDemoBuffer, DemoRecordHeader{0, false, code}, data)) {
        DemoOutOfSync(*this, "unreadable result record " + std::to_string(code));
        data = DemoRecordData();
        return false;
    }
    mDemoNeedsCommand = true;
    DemoReadRecordHeader(); // an input due at this update now holds the next update back
    return true;
}

void ZantApp::StopDemoPlayback()
{
    if (!mPlayingDemoBuffer || mDemoStreamState == DemoStreamState::Stopped)
        return;
    RestoreDemoVolumes(*this);
    mDemoStreamState = DemoStreamState::Stopped;
    // Updates no longer wait for records or for the demo's end of loading.
    mDemoNeedsCommand = true;
    mDemoLoadingComplete = true;
    mDemoAdvanceToUpdate = 0;
    mFastForwardToMarker = false;
}

} // namespace Zant
