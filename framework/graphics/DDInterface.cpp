#include "framework/graphics/DDInterface.h"

#include <algorithm>

#include "framework/app/ZantApp.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/D3DTester.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DXResult.h"
#include "framework/graphics/Graphics.h"
#include "platform/Log.h"

namespace Zant {

using namespace Platform;

namespace {

int LowestSetBit(uint32_t mask)
{
    int shift = 0;
    while (shift < 32 && !(mask & (1u << shift)))
        ++shift;
    return shift;
}

int BitsFrom(uint32_t mask, int shift)
{
    int top = shift;
    while (top < 32 && (mask & (1u << top)))
        ++top;
    return top - shift;
}

void FillSaturationTable(std::vector<int>& table, int bits)
{
    const int max = (1 << bits) - 1;
    table.assign(size_t(2 * max + 1), 0);
    for (int i = 0; i <= 2 * max; ++i)
        table[size_t(i)] = std::min(i, max);
}

void FillConversionTable(uint32_t table[256], uint32_t mask)
{
    for (uint32_t v = 0; v < 256; ++v)
        table[v] = uint32_t(uint64_t(v) * mask / 255) & mask;
}

DDRect ToDDRect(const Rect& r) { return DDRect{r.x, r.y, r.x + r.width, r.y + r.height}; }

} // namespace

DDRect DDInterface::CursorPlace::OnSurface() const { return ToDDRect(visible); }

DDRect DDInterface::CursorPlace::InArea() const
{
    return ToDDRect(Rect(visible.x - area.x, visible.y - area.y, visible.width, visible.height));
}

DDInterface::DDInterface(ZantApp* app, std::unique_ptr<DisplayScreen> screen) : mApp(app), mScreen(std::move(screen))
{
    mD3DInterface = new D3DInterface();
    mD3DInterface->mDisplay = this;
    if (mApp) {
        mWidth = mApp->mWidth;
        mHeight = mApp->mHeight;
    }
}

DDInterface::~DDInterface()
{
    AutoCrit lock(mCritSect);
    // Images that outlive the display keep their pixels in memory and forget it.
    std::vector<DDImage*> others;
    for (DDImage* image : mDDImageSet)
        if (!IsOwnImage(image))
            others.push_back(image);
    for (DDImage* image : others) {
        image->DeleteDDSurface();
        image->mDDInterface = nullptr;
        mDDImageSet.erase(image);
    }
    ReleaseAll();
    delete mD3DInterface;
    mD3DInterface = nullptr;
    delete mD3DTester;
    mD3DTester = nullptr;
    mScreen.reset();
}

ImageRegistry* DDInterface::Registry() const { return mApp; }

bool DDInterface::IsOwnImage(const DDImage* image) const
{
    return image != nullptr &&
           (image == mScreenImage || image == mOldCursorAreaImage || image == mNewCursorAreaImage);
}

std::string DDInterface::ResultName(int code)
{
    switch (code) {
    case RESULT_OK: return "RESULT_OK";
    case RESULT_FAIL: return "RESULT_FAIL";
    case RESULT_DD_CREATE_FAIL: return "RESULT_DD_CREATE_FAIL";
    case RESULT_SURFACE_FAIL: return "RESULT_SURFACE_FAIL";
    case RESULT_EXCLUSIVE_FAIL: return "RESULT_EXCLUSIVE_FAIL";
    case RESULT_DISPCHANGE_FAIL: return "RESULT_DISPCHANGE_FAIL";
    case RESULT_INVALID_COLORDEPTH: return "RESULT_INVALID_COLORDEPTH";
    default: return "RESULT_UNKNOWN";
    }
}

bool DDInterface::LogResult(DDResult result, const std::string& step)
{
    if (!DDFailed(result))
        return false;
    mErrorString = step + ": " + DirectXErrorName(result);
    return true;
}

void DDInterface::RegisterImage(DDImage* image)
{
    AutoCrit lock(mCritSect);
    mDDImageSet.insert(image);
}

void DDInterface::UnregisterImage(DDImage* image)
{
    AutoCrit lock(mCritSect);
    mDDImageSet.erase(image);
}

void DDInterface::DropImageTextures(MemoryImage* image)
{
    if (mD3DInterface)
        mD3DInterface->DropImageTextures(image);
}

void DDInterface::RunHardwareTest()
{
    if (mD3DTester || !mTestHost || !(mTest3D || mAutoEnable3D))
        return;
    mD3DTester = new D3DTester(mTestHost.get());
    mD3DTester->SetVidMemoryConstraints(mMinVidMemory, mRecVidMemory);
    D3DTestInput input;
    if (mScreen) {
        input.device = [this] { return mScreen->Device(); };
        input.adapter = mScreen->Adapter();
    }
    input.drawing = mTestDrawing.get();
    input.desktopBits = mScreen ? mScreen->DesktopBitCount() : 32;
    if (mScreen)
        mScreen->DesktopSize(input.desktopWidth, input.desktopHeight);
    input.videoMemoryBytes = VIDEO_MEMORY_BYTES;
    if (!mD3DTester->Begin(input) && !(mWaitForHardwareTest && mD3DTester->Finish(true)))
        return; // the verdict comes in the background
    mIs3D = HardwareTestWants3D(mIs3D);
    mTestRanAnew = mD3DTester->mFreshResult;
}

bool DDInterface::HardwareTestWants3D(bool is3D) const
{
    if (!mD3DTester || mD3DTester->Pending())
        return is3D;
    if (mAutoEnable3D && mD3DTester->IsRecommended())
        is3D = true;
    if (!mD3DTester->IsSupported())
        is3D = false;
    if (mD3DTester->mFreshResult && !mD3DTester->mWarning.empty())
        is3D = false;
    return is3D;
}

bool DDInterface::HardwareTestPending() const { return mD3DTester && mD3DTester->Pending(); }

bool DDInterface::PollHardwareTest(bool start, bool wait)
{
    if (!HardwareTestPending() || (!start && !wait && !mD3DTester->DrawingStarted()))
        return false;
    const bool started = mD3DTester->DrawingStarted();
    const bool done = mD3DTester->Finish(wait);
    if (!started && mD3DTester->DrawingStarted())
        Platform::DebugOutput("The 3D test's drawing started\r\n");
    if (done)
        Platform::DebugOutput("The 3D test's verdict: failure reason \"" + mD3DTester->mFailureReason +
                              "\", warning \"" + mD3DTester->mWarning + "\"\r\n");
    return done;
}

DDResult DDInterface::CreateSurface(const DDSurfaceDesc& desc, DDSurfacePtr& out)
{
    AutoCrit lock(mCritSect);
    out.reset();
    if (!mDD)
        return DDERR_INVALIDOBJECT;
    DDResult result = mDD->CreateSurface(desc, out);
    if (DDFailed(result))
        return result;
    // The game draws only in 16 or 32 bits: on a screen of another depth every
    // surface fails, the primary included.
    const DDSurface* primary = mPrimarySurface ? mPrimarySurface.get() : out.get();
    DDPixelFormat format;
    primary->GetPixelFormat(format);
    if (format.bitCount != 16 && format.bitCount != 32) {
        out.reset();
        return DDERR_INVALIDPIXELFORMAT;
    }
    return DD_OK;
}

DDResult DDInterface::CreatePlainSurface(int width, int height, uint32_t caps, DDSurfacePtr& out)
{
    DDSurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.caps = DDSCAPS_OFFSCREENPLAIN | caps;
    desc.width = width;
    desc.height = height;
    return CreateSurface(desc, out);
}

DDImage* DDInterface::WrapSurface(const DDSurfacePtr& surface)
{
    auto* image = new DDImage(this);
    image->SetSurface(surface);
    image->SetImageMode(false, false);
    return image;
}

int DDInterface::Init(SDL_Window* window, bool isWindowed)
{
    AutoCrit lock(mCritSect);
    mInitialized = false;
    mTestRanAnew = false;

    // Images give up their surfaces (keeping their pixels) and get new ones below.
    std::vector<DDImage*> hadSurfaces;
    for (DDImage* image : mDDImageSet) {
        if (IsOwnImage(image) || (!image->mSurface && !image->mWantDDSurface))
            continue;
        image->DeleteDDSurface();
        hadSurfaces.push_back(image);
    }

    ReleaseAll();

    mWindow = window;
    if (mApp) {
        mWidth = mApp->mWidth;
        mHeight = mApp->mHeight;
    }
    mIsWindowed = isWindowed;

    if (LogResult(DirectDraw::Create(mScreen.get(), mDD), "DirectDrawCreateEx"))
        return RESULT_DD_CREATE_FAIL;

    int rate = 0;
    if (DDFailed(mDD->GetMonitorFrequency(rate)) || rate < 60)
        rate = 60;
    mRefreshRate = rate;
    mMillisecondsPerFrame = 1000 / rate;

    const uint32_t drawCaps = mIs3D ? (DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE) : DDSCAPS_SYSTEMMEMORY;
    std::shared_ptr<DDClipper> clipper;
    if (!isWindowed) {
        if (LogResult(mDD->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                      "SetCooperativeLevel FullScreen"))
            return RESULT_EXCLUSIVE_FAIL;
        // The test draws with the window's renderer, which exists once the window is taken.
        RunHardwareTest();
        // Full screen always draws in 16 bits, whatever the desktop's depth.
        if (LogResult(mDD->SetDisplayMode(mWidth, mHeight, 16), "SetDisplayMode FullScreen"))
            return RESULT_DISPCHANGE_FAIL;
        DDSurfaceDesc desc;
        desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (mIs3D ? uint32_t(DDSCAPS_3DDEVICE) : 0u);
        desc.backBufferCount = 1;
        if (LogResult(CreateSurface(desc, mPrimarySurface), "CreateSurface FullScreen Primary"))
            return RESULT_SURFACE_FAIL;
        if (LogResult(mPrimarySurface->GetAttachedSurface(mSecondarySurface), "GetAttachedSurface"))
            return RESULT_SURFACE_FAIL;
        if (LogResult(CreatePlainSurface(mWidth, mHeight, drawCaps, mDrawSurface),
                      "CreateSurface FullScreen DrawSurface"))
            return RESULT_SURFACE_FAIL;
        if (LogResult(mDD->CreateClipper(clipper), "CreateClipper FullScreen"))
            return RESULT_FAIL;
    } else {
        // A window shares the desktop: the normal level cannot be refused.
        mDD->SetCooperativeLevel(window, DDSCL_NORMAL);
        RunHardwareTest();
        DDSurfaceDesc desc;
        desc.flags = DDSD_CAPS;
        desc.caps = DDSCAPS_PRIMARYSURFACE | (mIs3D ? uint32_t(DDSCAPS_3DDEVICE) : 0u);
        const DDResult result = CreateSurface(desc, mPrimarySurface);
        if (result == DDERR_INVALIDPIXELFORMAT) {
            LogResult(result, "CreateSurface Windowed Primary");
            return RESULT_INVALID_COLORDEPTH;
        }
        if (LogResult(result, "CreateSurface Windowed Primary"))
            return RESULT_SURFACE_FAIL;
        if (LogResult(CreatePlainSurface(mWidth, mHeight, drawCaps, mDrawSurface),
                      "CreateSurface Windowed DrawSurface"))
            return RESULT_SURFACE_FAIL;
        if (LogResult(mDD->CreateClipper(clipper), "CreateClipper Windowed"))
            return RESULT_FAIL;
    }
    if (!DDFailed(clipper->SetWindow(window)))
        mPrimarySurface->SetClipper(clipper);
    clipper.reset();

    if (LogResult(CreatePlainSurface(mCursorWidth, mCursorHeight, 0, mOldCursorArea), "CreateSurface OldCursorArea"))
        return RESULT_SURFACE_FAIL;
    if (LogResult(CreatePlainSurface(mCursorWidth, mCursorHeight, 0, mNewCursorArea), "CreateSurface NewCursorArea"))
        return RESULT_SURFACE_FAIL;
    mOldCursorAreaImage = WrapSurface(mOldCursorArea);
    mNewCursorAreaImage = WrapSurface(mNewCursorArea);

    if (!ReadScreenFormat()) {
        LogResult(DDERR_INVALIDPIXELFORMAT, "GetPixelFormat");
        return RESULT_INVALID_COLORDEPTH;
    }

    if (!mIs3D) {
        for (DDImage* image : hadSurfaces)
            if (mDDImageSet.count(image))
                image->GenerateDDSurface();
    }

    SetVideoOnlyDraw(mVideoOnlyDraw);

    if (mIs3D && !mD3DInterface->InitFromDDInterface(this)) {
        mErrorString = "3D init error: " + mD3DInterface->mErrorString;
        return RESULT_3D_FAIL;
    }

    ++mInitCount;
    mInitialized = true;
    return RESULT_OK;
}

bool DDInterface::ReadScreenFormat()
{
    DDPixelFormat format;
    mPrimarySurface->GetPixelFormat(format);
    if (format.bitCount != 16 && format.bitCount != 32)
        return false;
    mScreenBitCount = format.bitCount;
    mRedMask = format.redMask;
    mGreenMask = format.greenMask;
    mBlueMask = format.blueMask;
    mRedShift = LowestSetBit(mRedMask);
    mGreenShift = LowestSetBit(mGreenMask);
    mBlueShift = LowestSetBit(mBlueMask);
    mRedBits = BitsFrom(mRedMask, mRedShift);
    mGreenBits = BitsFrom(mGreenMask, mGreenShift);
    mBlueBits = BitsFrom(mBlueMask, mBlueShift);
    FillSaturationTable(mRedAddTable, mRedBits);
    FillSaturationTable(mGreenAddTable, mGreenBits);
    FillSaturationTable(mBlueAddTable, mBlueBits);
    FillConversionTable(mRedConvTable, mRedMask);
    FillConversionTable(mGreenConvTable, mGreenMask);
    FillConversionTable(mBlueConvTable, mBlueMask);
    return true;
}

void DDInterface::SetVideoOnlyDraw(bool videoOnly)
{
    AutoCrit lock(mCritSect);
    mVideoOnlyDraw = videoOnly;
    if (mVideoOnlyDraw && !mSecondarySurface && mDD) {
        if (DDFailed(CreatePlainSurface(mWidth, mHeight, DDSCAPS_VIDEOMEMORY, mSecondarySurface)))
            mVideoOnlyDraw = false;
    }
    delete mScreenImage;
    mScreenImage = nullptr;
    const DDSurfacePtr& target = mVideoOnlyDraw ? mSecondarySurface : mDrawSurface;
    if (!target)
        return;
    mScreenImage = WrapSurface(target);
    mScreenImage->mNoLock = mVideoOnlyDraw;
    mScreenImage->mVideoMemory = mVideoOnlyDraw;
}

void DDInterface::ReleaseAll()
{
    AutoCrit lock(mCritSect);
    mInitialized = false;
    if (mD3DInterface)
        mD3DInterface->ReleaseTextures();
    mPrimaryStale = false;
    mHasOldCursorArea = false;
    delete mOldCursorAreaImage;
    delete mNewCursorAreaImage;
    mOldCursorAreaImage = nullptr;
    mNewCursorAreaImage = nullptr;
    mOldCursorArea.reset();
    mNewCursorArea.reset();
    delete mScreenImage;
    mScreenImage = nullptr;
    mDrawSurface.reset();
    mSecondarySurface.reset();
    mPrimarySurface.reset();
    // Letting the display object go leaves full screen and lets go of the window.
    mDD.reset();
}

void DDInterface::RestoreDisplayMode()
{
    AutoCrit lock(mCritSect);
    if (mDD)
        mDD->RestoreDisplayMode();
}

bool DDInterface::Present(const Rect* rect)
{
    AutoCrit lock(mCritSect);
    if (!mInitialized)
        return false;
    if (mIs3D) {
        // A failed 3D step switches 3D off; the application then makes the display again.
        if (!mD3DInterface->mErrorString.empty()) {
            mIs3D = false;
            return false;
        }
        mD3DInterface->EndScene();
        // The frame comes back into the draw surface, which the 2D path below shows
        // with the cursor on it.
        DDSurfaceDesc desc;
        bool read = !DDFailed(mDrawSurface->Lock(desc));
        if (read) {
            read = mD3DInterface->ReadFrame(desc.surface, desc.pitch, desc.pixelFormat.bitCount, desc.width,
                                            desc.height);
            mDrawSurface->Unlock();
        }
        if (!read) {
            mErrorString = mD3DInterface->mErrorString;
            mIs3D = false;
            return false;
        }
    }

    const Rect area = rect ? *rect : Rect(0, 0, mWidth, mHeight);
    const std::string step = mIsWindowed ? "Redraw Windowed" : "Redraw FullScreen Flip";
    const bool whole = area.x == 0 && area.y == 0 && area.width == mWidth && area.height == mHeight;
    DDResult result = DD_OK;
    if (whole && !mVideoOnlyDraw) {
        // A whole frame is shown straight from the draw surface with the cursor drawn
        // in; the primary is brought up to date only when the cursor thread needs it
        // (SyncPrimary), which saves copying every frame.
        DrawCursor(mDrawSurface.get());
        result = mDD->ShowInPlaceOfPrimary(mDrawSurface.get());
        // The draw surface gets its background back; the save-under now tells what
        // the screen shows beneath the cursor.
        if (mHasOldCursorArea) {
            RestoreCursorArea(mDrawSurface.get());
            mHasOldCursorArea = true;
        }
        if (result != DDERR_INVALIDPARAMS) {
            if (LogResult(result, step))
                return false;
            mPrimaryStale = true;
            mPresentedWrites = mDrawSurface->WriteCount();
            return true;
        }
        mHasOldCursorArea = false; // the primary differs in size: copied below
    }

    // A primary left behind takes the whole draw surface, not just the part asked.
    const DDRect part = ToDDRect(mPrimaryStale ? Rect(0, 0, mWidth, mHeight) : area);
    mPrimaryStale = false;
    if (mIsWindowed) {
        if (!mVideoOnlyDraw) {
            DrawCursor(mDrawSurface.get());
            result = mPrimarySurface->Blt(&part, mDrawSurface.get(), &part, DDBLT_WAIT);
            if (mHasOldCursorArea) {
                RestoreCursorArea(mDrawSurface.get());
                mHasOldCursorArea = true;
            }
        } else {
            DrawCursor(mSecondarySurface.get());
            result = mPrimarySurface->Blt(&part, mSecondarySurface.get(), &part, DDBLT_WAIT);
        }
    } else {
        if (!mVideoOnlyDraw)
            result = mSecondarySurface->Blt(&part, mDrawSurface.get(), &part, DDBLT_WAIT);
        DrawCursor(mSecondarySurface.get());
        if (!DDFailed(result))
            result = mPrimarySurface->Flip();
    }
    if (LogResult(result, step))
        return false;
    return !LogResult(mDD->ShowPrimary(true), step);
}

bool DDInterface::ShowChangedPrimary()
{
    AutoCrit lock(mCritSect);
    if (!mInitialized)
        return true;
    // A stale primary has not changed since the frame it stands for was shown.
    if (mPrimaryStale)
        return true;
    const DDResult result = mDD->ShowPrimary(false);
    return !LogResult(result, mIsWindowed ? "Redraw Windowed" : "Redraw FullScreen Flip");
}

// ---- Software cursor.

DDInterface::CursorPlace DDInterface::PlaceCursor(int x, int y) const
{
    CursorPlace place;
    place.area = Rect(x - mCursorWidth / 2, y - mCursorHeight / 2, mCursorWidth, mCursorHeight);
    place.visible = place.area.Intersection(Rect(0, 0, mWidth, mHeight));
    return place;
}

void DDInterface::DrawCursorImage(DDImage* target, int left, int top)
{
    // The image is centred in the area; a larger one is cut to it.
    Graphics g(target);
    g.DrawImage(mCursorImage, left + (mCursorWidth - mCursorImage->GetWidth()) / 2,
                top + (mCursorHeight - mCursorImage->GetHeight()) / 2);
}

void DDInterface::DrawCursor(DDSurface* surface)
{
    if (!mCursorImage || !mPrimarySurface || !surface)
        return;
    const CursorPlace place = PlaceCursor(mCursorX, mCursorY);
    mHasOldCursorArea = false;
    if (place.empty())
        return;
    const DDRect onSurface = place.OnSurface();
    const DDRect inArea = place.InArea();
    mHasOldCursorArea = !DDFailed(mOldCursorArea->Blt(&inArea, surface, &onSurface, DDBLT_WAIT));
    // Without a save-under the cursor could not be taken away again: leave it off.
    if (!mHasOldCursorArea)
        return;
    if (surface == mDrawSurface.get() && !mIs3D && mScreenImage && !mVideoOnlyDraw) {
        Graphics g(mScreenImage);
        g.ClipRect(place.visible);
        g.DrawImage(mCursorImage, place.area.x + (mCursorWidth - mCursorImage->GetWidth()) / 2,
                    place.area.y + (mCursorHeight - mCursorImage->GetHeight()) / 2);
        return;
    }
    mNewCursorArea->Blt(&inArea, mOldCursorArea.get(), &inArea, DDBLT_WAIT);
    DrawCursorImage(mNewCursorAreaImage, 0, 0);
    surface->Blt(&onSurface, mNewCursorArea.get(), &inArea, DDBLT_WAIT);
}

void DDInterface::RestoreCursorArea(DDSurface* surface)
{
    if (mHasOldCursorArea && mPrimarySurface && surface) {
        const CursorPlace place = PlaceCursor(mCursorX, mCursorY);
        if (!place.empty()) {
            const DDRect onSurface = place.OnSurface();
            const DDRect inArea = place.InArea();
            surface->Blt(&onSurface, mOldCursorArea.get(), &inArea, DDBLT_WAIT);
        }
    }
    mHasOldCursorArea = false;
}

void DDInterface::MoveSoftwareCursor(DDSurface* surface, int x, int y)
{
    if (!mCursorImage || !surface) {
        mCursorX = x;
        mCursorY = y;
        return;
    }
    const CursorPlace from = PlaceCursor(mCursorX, mCursorY);
    const CursorPlace to = PlaceCursor(x, y);

    // What lies under the new place; where the two areas overlap that is still the
    // old cursor, so the old save-under supplies the background there, and the old
    // area gets the new cursor drawn in, so restoring it never shows a gap.
    bool savedNew = false;
    if (!to.empty()) {
        const DDRect onSurface = to.OnSurface();
        const DDRect inArea = to.InArea();
        savedNew = !DDFailed(mNewCursorArea->Blt(&inArea, surface, &onSurface, DDBLT_WAIT));
    }
    const Rect overlap = from.visible.Intersection(to.visible);
    if (savedNew && overlap.width > 0 && overlap.height > 0) {
        const DDRect inOld = ToDDRect(Rect(overlap.x - from.area.x, overlap.y - from.area.y, overlap.width,
                                           overlap.height));
        const DDRect inNew =
            ToDDRect(Rect(overlap.x - to.area.x, overlap.y - to.area.y, overlap.width, overlap.height));
        mNewCursorArea->Blt(&inNew, mOldCursorArea.get(), &inOld, DDBLT_WAIT);
        DrawCursorImage(mOldCursorAreaImage, to.area.x - from.area.x, to.area.y - from.area.y);
    }
    if (!from.empty()) {
        const DDRect onSurface = from.OnSurface();
        const DDRect inArea = from.InArea();
        surface->Blt(&onSurface, mOldCursorArea.get(), &inArea, DDBLT_WAIT);
    }
    if (savedNew) {
        mOldCursorArea->Blt(nullptr, mNewCursorArea.get(), nullptr, DDBLT_WAIT);
        DrawCursorImage(mNewCursorAreaImage, 0, 0);
        const DDRect onSurface = to.OnSurface();
        const DDRect inArea = to.InArea();
        surface->Blt(&onSurface, mNewCursorArea.get(), &inArea, DDBLT_WAIT);
    }
    mHasOldCursorArea = savedNew;
    mCursorX = x;
    mCursorY = y;
}

bool DDInterface::SyncPrimary()
{
    if (!mPrimaryStale)
        return true;
    if (!mPrimarySurface || !mDrawSurface || mDrawSurface->WriteCount() != mPresentedWrites)
        return false; // the draw surface has moved on from the frame on screen
    if (DDFailed(mPrimarySurface->Blt(nullptr, mDrawSurface.get(), nullptr, DDBLT_WAIT)))
        return false;
    // The frame on screen had the cursor drawn in; the save-under still holds what
    // lies beneath it.
    if (mCursorImage && mHasOldCursorArea) {
        const CursorPlace place = PlaceCursor(mCursorX, mCursorY);
        if (!place.empty()) {
            const DDRect onSurface = place.OnSurface();
            const DDRect inArea = place.InArea();
            mNewCursorArea->Blt(&inArea, mOldCursorArea.get(), &inArea, DDBLT_WAIT);
            DrawCursorImage(mNewCursorAreaImage, 0, 0);
            mPrimarySurface->Blt(&onSurface, mNewCursorArea.get(), &inArea, DDBLT_WAIT);
        }
    }
    // What the screen shows already.
    mPrimarySurface->TakeChanged();
    mPrimaryStale = false;
    return true;
}

void DDInterface::SetCursorImage(Image* image)
{
    AutoCrit lock(mCritSect);
    if (image == mCursorImage)
        return;
    if (!SyncPrimary()) {
        // The next present draws the new image.
        mCursorImage = image;
        return;
    }
    RestoreCursorArea(mPrimarySurface.get());
    mCursorImage = image;
    DrawCursor(mPrimarySurface.get());
}

void DDInterface::SetCursorPos(int x, int y)
{
    AutoCrit lock(mCritSect);
    ++mCursorPosCalls;
    if (x == mCursorX && y == mCursorY)
        return;
    if (!SyncPrimary()) {
        // A new frame is on its way; it draws the cursor at its new place.
        mCursorX = x;
        mCursorY = y;
        return;
    }
    if (!mHasOldCursorArea) {
        mCursorX = x;
        mCursorY = y;
        DrawCursor(mPrimarySurface.get());
    } else {
        MoveSoftwareCursor(mPrimarySurface.get(), x, y);
    }
}

} // namespace Zant
