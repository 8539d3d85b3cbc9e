#pragma once
// Our own DirectDraw-like display layer on CPU memory: surfaces with a pitch, a
// pixel format, a source colour key and a lock count; a primary surface with an
// optional back buffer; rectangle blits with key and nearest-pixel stretch; and a
// display object that takes the window, switches to full screen and shows the
// primary through a DisplayScreen.
//
// Surfaces live in ordinary memory: they are never lost and Lock always succeeds.
// When the screen cannot show a frame (its window or rendering device went away)
// the display counts as lost: blits onto the primary and flips fail with
// DDERR_SURFACELOST until a new display object is made.
//
// Nothing here locks: the caller (the display interface) serialises every use of a
// display object and its surfaces with its own lock.
#include <atomic>
#include <memory>
#include <vector>

#include "platform/Heap.h"
#include "platform/display/DDTypes.h"
#include "platform/display/DisplayScreen.h"

namespace Platform {

class DirectDraw;

// State one display object shares with its surfaces (which may outlive it).
struct DDDeviceState {
    std::atomic<bool> lost{false};
    bool exclusive = false;
};

// Clips blits to a window; the display layer clips every blit to its destination
// anyway, so this only remembers its window.
class DDClipper {
public:
    DDResult SetWindow(SDL_Window* window)
    {
        mWindow = window;
        return DD_OK;
    }
    SDL_Window* Window() const { return mWindow; }

private:
    SDL_Window* mWindow = nullptr;
};

class DDSurface {
public:
    // Throws std::bad_alloc when the pixels do not fit in memory.
    DDSurface(int width, int height, const DDPixelFormat& format, uint32_t caps,
              std::shared_ptr<DDDeviceState> device);
    DDSurface(const DDSurface&) = delete;
    DDSurface& operator=(const DDSurface&) = delete;

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Pitch() const { return mPitch; }
    uint32_t Caps() const { return mCaps; }
    const DDPixelFormat& Format() const { return mFormat; }

    DDResult GetPixelFormat(DDPixelFormat& format) const;
    DDResult GetSurfaceDesc(DDSurfaceDesc& desc) const;
    // Fills pitch, pixel pointer, size and format; locks nest. DDLOCK_READONLY
    // promises not to write.
    DDResult Lock(DDSurfaceDesc& desc, uint32_t flags = 0);
    DDResult Unlock();
    int LockCount() const { return mLockCount; }

    // Copies srcRect of src (whole surface when null) to destRect of this surface
    // (whole surface when null), stretching nearest-pixel when the sizes differ and
    // clipping to this surface. DDBLT_KEYSRC skips source pixels equal to the
    // source's colour key. Both surfaces must have the same format and be unlocked.
    DDResult Blt(const DDRect* destRect, DDSurface* src, const DDRect* srcRect, uint32_t flags);

    DDResult SetColorKey(uint32_t key);
    void ClearColorKey() { mHasColorKey = false; }
    bool GetColorKey(uint32_t& key) const
    {
        key = mColorKey;
        return mHasColorKey;
    }

    // The back buffer of a primary made with one.
    DDResult GetAttachedSurface(std::shared_ptr<DDSurface>& out);
    // Swaps the primary's pixels with its back buffer's (full screen only).
    DDResult Flip();
    DDResult SetClipper(std::shared_ptr<DDClipper> clipper);
    DDResult IsLost() const;

    // Counts the changes that may have touched the pixels (locks for writing, blits
    // and flips into this surface), so another thread can tell whether they moved on.
    uint64_t WriteCount() const { return mWrites.load(); }
    bool IsLocked() const { return mLockCount > 0; }

    // True once after the pixels of a primary surface changed (blit, unlock, flip).
    bool TakeChanged() { return mChanged.exchange(false); }
    void MarkChanged() { mChanged = true; }

    // Direct row access for the screen (the caller holds the display lock).
    const uint8_t* Pixels() const { return mPixels.data(); }

private:
    friend class DirectDraw;

    bool IsPrimaryChain() const { return (mCaps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_BACKBUFFER)) != 0; }
    void Touched()
    {
        if (mCaps & DDSCAPS_PRIMARYSURFACE)
            mChanged = true;
    }

    int mWidth;
    int mHeight;
    int mPitch;
    DDPixelFormat mFormat;
    uint32_t mCaps;
    // The pixels start on a cache line: on rows a multiple of 64 bytes long (a screen's)
    // the drawing's vector stores never straddle two lines.
    std::vector<uint8_t, LoadingAllocator<uint8_t>> mPixels;
    int mLockCount = 0;
    bool mHasColorKey = false;
    uint32_t mColorKey = 0;
    std::shared_ptr<DDSurface> mBackBuffer;
    std::shared_ptr<DDClipper> mClipper;
    std::shared_ptr<DDDeviceState> mDevice;
    std::atomic<bool> mChanged{false};
    std::atomic<uint64_t> mWrites{0};
};

using DDSurfacePtr = std::shared_ptr<DDSurface>;

class DirectDraw {
public:
    // Fails with DDERR_GENERIC without a screen.
    static DDResult Create(DisplayScreen* screen, std::unique_ptr<DirectDraw>& out);
    ~DirectDraw();
    DirectDraw(const DirectDraw&) = delete;
    DirectDraw& operator=(const DirectDraw&) = delete;

    // DDSCL_NORMAL (windowed) or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN.
    DDResult SetCooperativeLevel(SDL_Window* window, uint32_t flags);
    // Full screen only; 16 or 32 bits per pixel.
    DDResult SetDisplayMode(int width, int height, int bitCount);
    DDResult RestoreDisplayMode();
    DDResult GetMonitorFrequency(int& hz);
    // The pixel format new surfaces get: the display mode's in full screen, the
    // desktop's in a window.
    DDPixelFormat DisplayFormat();

    // A primary surface (DDSCAPS_PRIMARYSURFACE, with DDSD_BACKBUFFERCOUNT 1 and
    // DDSCAPS_FLIP | DDSCAPS_COMPLEX also a back buffer) or an off-screen one
    // (DDSD_WIDTH and DDSD_HEIGHT required; the display format unless
    // DDSD_PIXELFORMAT is given).
    DDResult CreateSurface(const DDSurfaceDesc& desc, DDSurfacePtr& out);
    DDResult CreateClipper(std::shared_ptr<DDClipper>& out);

    // Shows the primary surface when its pixels changed since last shown (or always
    // when forced). Main thread only. A screen that cannot show it makes the display
    // lost.
    DDResult ShowPrimary(bool force);
    // Shows another surface of the primary's size and format in its place (a frame
    // that the primary will be made to match later).
    DDResult ShowInPlaceOfPrimary(DDSurface* surface);

    DisplayScreen* Screen() const { return mScreen; }
    bool IsExclusive() const { return mDevice->exclusive; }

private:
    explicit DirectDraw(DisplayScreen* screen);
    // Hands the surface's pixels to the screen; a screen that cannot show them makes
    // the display lost.
    DDResult Show(const DDSurface& surface);

    DisplayScreen* mScreen;
    std::shared_ptr<DDDeviceState> mDevice;
    SDL_Window* mWindow = nullptr;
    bool mHasMode = false;
    int mModeWidth = 0;
    int mModeHeight = 0;
    int mModeBits = 0;
    std::weak_ptr<DDSurface> mPrimary;
};

} // namespace Platform
