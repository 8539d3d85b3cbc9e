#pragma once
// The display back end: owns the display object and surfaces of the main window
// (windowed or full screen), the screen image every widget is drawn into, the set of
// surface-backed images (so their surfaces survive a re-initialisation), and the
// software mouse cursor with its save-under areas. The cursor thread moves the
// cursor while the main thread draws; one re-entrant lock keeps them apart.
//
// Presenting pushes the primary surface to the window on the main thread; a cursor
// moved by the cursor thread only changes the primary in memory, and the main loop
// shows it with ShowChangedPrimary.
#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/Rect.h"
#include "framework/util/CriticalSection.h"
#include "platform/display/DirectDraw.h"

struct SDL_Window;

namespace Zant {

class ZantApp;
class ImageRegistry;
class Image;
class MemoryImage;
class DDImage;
class D3DInterface;
class D3DTester;
class D3DTestHost;
class D3DTestDrawing;

class DDInterface {
public:
    enum {
        RESULT_OK = 0,
        RESULT_FAIL = 1,
        RESULT_DD_CREATE_FAIL = 2,
        RESULT_SURFACE_FAIL = 3,
        RESULT_EXCLUSIVE_FAIL = 4,
        RESULT_DISPCHANGE_FAIL = 5,
        RESULT_INVALID_COLORDEPTH = 6,
        RESULT_3D_FAIL = 7,
    };

    static constexpr int CURSOR_AREA_SIZE = 64;

    // app may be null (a display without an application: 640x480, images not
    // registered with anyone else).
    DDInterface(ZantApp* app, std::unique_ptr<Platform::DisplayScreen> screen);
    virtual ~DDInterface();
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // Result code as in the enum; mErrorString names the failed step.
    int Init(SDL_Window* window, bool isWindowed);
    // Presents the frame (rect null: the whole screen); false when it failed and the
    // display must be initialised again.
    bool Present(const Rect* rect);
    // Shows the primary when something (a cursor move) changed it since it was last
    // shown. Main thread only; false when the display is lost.
    bool ShowChangedPrimary();
    DDImage* GetScreenImage() { return mScreenImage; }
    Platform::DDResult CreateSurface(const Platform::DDSurfaceDesc& desc, Platform::DDSurfacePtr& out);
    void RegisterImage(DDImage* image);
    void UnregisterImage(DDImage* image);
    void SetCursorImage(Image* image);
    // (x, y) is the cursor's centre in window coordinates.
    void SetCursorPos(int x, int y);
    void SetVideoOnlyDraw(bool videoOnly);
    void DropImageTextures(MemoryImage* image);
    // For a failed result sets mErrorString to "step: name" and answers true.
    bool LogResult(Platform::DDResult result, const std::string& step);
    void ReleaseAll();
    void RestoreDisplayMode();
    static std::string ResultName(int code);

    // The hardware test's drawing, while it runs in the background: starts it when
    // start is set and it has not started, and takes its verdict once it is in (wait:
    // until then). True when the verdict came in with this call; the display's 3D
    // flag is left as it is (HardwareTestWants3D tells what the verdict asks).
    bool PollHardwareTest(bool start, bool wait);
    bool HardwareTestPending() const;
    // The display's 3D flag as the hardware test's verdict sets it from is3D.
    bool HardwareTestWants3D(bool is3D) const;

    ImageRegistry* Registry() const;
    Platform::DisplayScreen* Screen() const { return mScreen.get(); }
    bool IsOwnImage(const DDImage* image) const;
    // SetCursorPos calls that reached the display (the cursor thread's traffic).
    int CursorPosCalls() const { return mCursorPosCalls; }

public:
    ZantApp* mApp;
    D3DInterface* mD3DInterface = nullptr; // owned
    D3DTester* mD3DTester = nullptr;       // owned; made by the first hardware test
    bool mIs3D = false;
    // What the hardware test reads and asks of the application (none: no test runs).
    std::unique_ptr<D3DTestHost> mTestHost;
    // Where the hardware test's drawing runs when it must (a helper copy of the
    // program); none: on the screen's own device, within Init.
    std::unique_ptr<D3DTestDrawing> mTestDrawing;
    // Init waits for the drawing's verdict (a demo being recorded keeps the verdict
    // where the display starts); otherwise it comes in the background, through
    // PollHardwareTest.
    bool mWaitForHardwareTest = false;
    // The hardware test ran with a missing or stale cache during the last Init.
    bool mTestRanAnew = false;
    bool mAutoEnable3D = false;
    bool mTest3D = false;
    int mMinVidMemory = 6;
    int mRecVidMemory = 14;
    // The video memory our display layer reports: it keeps its surfaces in ordinary
    // memory and cannot ask the graphics card.
    static constexpr int64_t VIDEO_MEMORY_BYTES = int64_t(256) << 20;
    CriticalSectionLock mCritSect;

    std::unique_ptr<Platform::DisplayScreen> mScreen;
    std::unique_ptr<Platform::DirectDraw> mDD;
    Platform::DDSurfacePtr mPrimarySurface;
    Platform::DDSurfacePtr mSecondarySurface;
    Platform::DDSurfacePtr mDrawSurface;

    int mWidth = 640;
    int mHeight = 480;
    int mRefreshRate = 60;
    int mMillisecondsPerFrame = 16;

    // Screen pixel format.
    int mScreenBitCount = 0;
    uint32_t mRedMask = 0, mGreenMask = 0, mBlueMask = 0;
    int mRedBits = 0, mGreenBits = 0, mBlueBits = 0;
    int mRedShift = 0, mGreenShift = 0, mBlueShift = 0;
    // Additive drawing looks up table[dest + src] for channel values up to their
    // maximum each, so each table holds 2 * max + 1 entries of min(i, max).
    std::vector<int> mRedAddTable, mGreenAddTable, mBlueAddTable;
    // 8-bit channel value to its bits in the screen format.
    uint32_t mRedConvTable[256] = {}, mGreenConvTable[256] = {}, mBlueConvTable[256] = {};

    bool mInitialized = false;
    SDL_Window* mWindow = nullptr;
    bool mIsWindowed = true;
    DDImage* mScreenImage = nullptr;
    std::set<DDImage*> mDDImageSet;
    bool mVideoOnlyDraw = false;
    int mInitCount = 0;

    // Software cursor.
    int mCursorWidth = CURSOR_AREA_SIZE;
    int mCursorHeight = CURSOR_AREA_SIZE;
    int mCursorX = 0;
    int mCursorY = 0;
    Image* mCursorImage = nullptr;
    bool mHasOldCursorArea = false;
    Platform::DDSurfacePtr mOldCursorArea;
    Platform::DDSurfacePtr mNewCursorArea;
    DDImage* mOldCursorAreaImage = nullptr;
    DDImage* mNewCursorAreaImage = nullptr;

    std::string mErrorString;

    // The primary lags behind the frame on screen, which was shown straight from the
    // draw surface; mPresentedWrites is the draw surface's write count at that moment.
    bool mPrimaryStale = false;
    uint64_t mPresentedWrites = 0;

private:
    // Brings the primary up to the frame on screen (cursor included); false when the
    // draw surface has changed since, and the next present must show the change.
    bool SyncPrimary();
    // Where the cursor's area lies on a surface: the visible part and its offset
    // inside the area.
    struct CursorPlace {
        Rect area;    // unclipped, in surface coordinates
        Rect visible; // clipped to the screen
        bool empty() const { return visible.width <= 0 || visible.height <= 0; }
        Platform::DDRect OnSurface() const;
        Platform::DDRect InArea() const;
    };
    CursorPlace PlaceCursor(int x, int y) const;
    void DrawCursorImage(DDImage* target, int left, int top);
    void DrawCursor(Platform::DDSurface* surface);
    void RestoreCursorArea(Platform::DDSurface* surface);
    void MoveSoftwareCursor(Platform::DDSurface* surface, int x, int y);
    void RunHardwareTest();
    bool ReadScreenFormat();
    Platform::DDResult CreatePlainSurface(int width, int height, uint32_t caps, Platform::DDSurfacePtr& out);
    DDImage* WrapSurface(const Platform::DDSurfacePtr& surface);

    std::atomic<int> mCursorPosCalls{0};
};

} // namespace Zant
