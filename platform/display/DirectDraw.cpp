#include "platform/display/DirectDraw.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Platform {

namespace {

// Sides past this are bad arguments, not pictures.
constexpr int MAX_SURFACE_SIDE = 16384;

// Rows start on 16-byte boundaries, so a pitch may exceed width * bytes per pixel
// as it does on real display hardware; callers must step rows by the pitch.
int PitchFor(int width, int bitCount)
{
    const int bytes = width * ((bitCount + 7) / 8);
    return (bytes + 15) & ~15;
}

uint32_t ReadPixel(const uint8_t* p, int bytes)
{
    switch (bytes) {
    case 2: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 4: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: {
        uint32_t v = 0;
        std::memcpy(&v, p, size_t(bytes));
        return v;
    }
    }
}

void WritePixel(uint8_t* p, int bytes, uint32_t v)
{
    if (bytes == 2) {
        const uint16_t s = uint16_t(v);
        std::memcpy(p, &s, 2);
    } else {
        std::memcpy(p, &v, size_t(bytes));
    }
}

// The bits a colour key is compared on: the colour channels (a 32-bit surface's top
// byte is unused), or every bit of a format without masks.
uint32_t KeyMask(const DDPixelFormat& f)
{
    const uint32_t m = f.redMask | f.greenMask | f.blueMask;
    if (m != 0)
        return m;
    return f.bitCount >= 32 ? 0xFFFFFFFFu : (1u << f.bitCount) - 1;
}

DDPixelFormat FormatForBits(int bits)
{
    switch (bits) {
    case 16: return FORMAT_565;
    case 32: return FORMAT_XRGB;
    case 24: return DDPixelFormat{24, 0xFF0000, 0xFF00, 0xFF};
    default: return DDPixelFormat{bits, 0, 0, 0};
    }
}

} // namespace

// ---- DDSurface.

DDSurface::DDSurface(int width, int height, const DDPixelFormat& format, uint32_t caps,
                     std::shared_ptr<DDDeviceState> device)
    : mWidth(width), mHeight(height), mPitch(PitchFor(width, format.bitCount)), mFormat(format), mCaps(caps),
      mPixels(size_t(mPitch) * size_t(height), 0), mDevice(std::move(device))
{
}

DDResult DDSurface::GetPixelFormat(DDPixelFormat& format) const
{
    format = mFormat;
    return DD_OK;
}

DDResult DDSurface::GetSurfaceDesc(DDSurfaceDesc& desc) const
{
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.width = mWidth;
    desc.height = mHeight;
    desc.pitch = mPitch;
    desc.caps = mCaps;
    desc.pixelFormat = mFormat;
    return DD_OK;
}

DDResult DDSurface::Lock(DDSurfaceDesc& desc, uint32_t flags)
{
    GetSurfaceDesc(desc);
    desc.flags |= DDSD_LPSURFACE;
    desc.surface = mPixels.data();
    ++mLockCount;
    if (!(flags & DDLOCK_READONLY))
        ++mWrites;
    return DD_OK;
}

DDResult DDSurface::Unlock()
{
    if (mLockCount == 0)
        return DDERR_NOTLOCKED;
    --mLockCount;
    Touched();
    return DD_OK;
}

DDResult DDSurface::Blt(const DDRect* destRect, DDSurface* src, const DDRect* srcRect, uint32_t flags)
{
    if (src == nullptr)
        return DDERR_INVALIDPARAMS;
    if (IsPrimaryChain() && mDevice && mDevice->lost)
        return DDERR_SURFACELOST;
    if (mLockCount > 0 || src->mLockCount > 0)
        return DDERR_SURFACEBUSY;
    if (!(src->mFormat == mFormat))
        return DDERR_INVALIDPIXELFORMAT;
    const DDRect d = destRect ? *destRect : DDRect{0, 0, mWidth, mHeight};
    const DDRect s = srcRect ? *srcRect : DDRect{0, 0, src->mWidth, src->mHeight};
    if (d.Width() <= 0 || d.Height() <= 0 || s.Width() <= 0 || s.Height() <= 0)
        return DDERR_INVALIDRECT;
    if (s.left < 0 || s.top < 0 || s.right > src->mWidth || s.bottom > src->mHeight)
        return DDERR_INVALIDRECT;

    const int x0 = std::max(d.left, 0);
    const int x1 = std::min(d.right, mWidth);
    const int y0 = std::max(d.top, 0);
    const int y1 = std::min(d.bottom, mHeight);
    if (x0 >= x1 || y0 >= y1)
        return DD_OK;

    uint32_t key = 0;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0 && src->GetColorKey(key);
    const uint32_t keyMask = KeyMask(mFormat);
    key &= keyMask;
    const int bytes = (mFormat.bitCount + 7) / 8;
    const bool stretch = d.Width() != s.Width() || d.Height() != s.Height();

    // A surface copied onto itself reads from a snapshot.
    std::vector<uint8_t, LoadingAllocator<uint8_t>> snapshot;
    const uint8_t* from = src->mPixels.data();
    if (src == this) {
        snapshot = mPixels;
        from = snapshot.data();
    }

    for (int y = y0; y < y1; ++y) {
        const int sy = stretch ? s.top + int(int64_t(y - d.top) * s.Height() / d.Height()) : s.top + (y - d.top);
        const uint8_t* srow = from + size_t(sy) * src->mPitch;
        uint8_t* drow = mPixels.data() + size_t(y) * mPitch;
        if (!stretch && !keyed) {
            std::memcpy(drow + size_t(x0) * bytes, srow + size_t(s.left + x0 - d.left) * bytes,
                        size_t(x1 - x0) * bytes);
            continue;
        }
        for (int x = x0; x < x1; ++x) {
            const int sx = stretch ? s.left + int(int64_t(x - d.left) * s.Width() / d.Width()) : s.left + x - d.left;
            const uint32_t p = ReadPixel(srow + size_t(sx) * bytes, bytes);
            if (keyed && (p & keyMask) == key)
                continue;
            WritePixel(drow + size_t(x) * bytes, bytes, p);
        }
    }
    ++mWrites;
    Touched();
    return DD_OK;
}

DDResult DDSurface::SetColorKey(uint32_t key)
{
    mColorKey = key;
    mHasColorKey = true;
    return DD_OK;
}

DDResult DDSurface::GetAttachedSurface(std::shared_ptr<DDSurface>& out)
{
    out = mBackBuffer;
    return out ? DD_OK : DDERR_NOTFOUND;
}

DDResult DDSurface::Flip()
{
    if (!mBackBuffer)
        return DDERR_NOTFLIPPABLE;
    if (!mDevice || !mDevice->exclusive)
        return DDERR_NOEXCLUSIVEMODE;
    if (mDevice->lost)
        return DDERR_SURFACELOST;
    if (mLockCount > 0 || mBackBuffer->mLockCount > 0)
        return DDERR_SURFACEBUSY;
    mPixels.swap(mBackBuffer->mPixels);
    ++mWrites;
    Touched();
    return DD_OK;
}

DDResult DDSurface::SetClipper(std::shared_ptr<DDClipper> clipper)
{
    mClipper = std::move(clipper);
    return DD_OK;
}

DDResult DDSurface::IsLost() const
{
    return IsPrimaryChain() && mDevice && mDevice->lost ? DDERR_SURFACELOST : DD_OK;
}

// ---- DirectDraw.

DirectDraw::DirectDraw(DisplayScreen* screen) : mScreen(screen), mDevice(std::make_shared<DDDeviceState>()) {}

DDResult DirectDraw::Create(DisplayScreen* screen, std::unique_ptr<DirectDraw>& out)
{
    out.reset();
    if (screen == nullptr)
        return DDERR_GENERIC;
    out.reset(new DirectDraw(screen));
    return DD_OK;
}

DirectDraw::~DirectDraw()
{
    RestoreDisplayMode();
    // Surfaces that outlive this object can no longer be shown.
    mDevice->exclusive = false;
    mScreen->Detach();
}

DDResult DirectDraw::SetCooperativeLevel(SDL_Window* window, uint32_t flags)
{
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    if (!mScreen->Attach(window, exclusive))
        return exclusive ? DDERR_NOEXCLUSIVEMODE : DDERR_GENERIC;
    mWindow = window;
    mDevice->exclusive = exclusive;
    if (!exclusive)
        mHasMode = false;
    return DD_OK;
}

DDResult DirectDraw::SetDisplayMode(int width, int height, int bitCount)
{
    if (!mDevice->exclusive)
        return DDERR_NOEXCLUSIVEMODE;
    if (width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE ||
        (bitCount != 16 && bitCount != 32))
        return DDERR_INVALIDMODE;
    if (!mScreen->SetFullScreenMode(width, height, bitCount))
        return DDERR_UNSUPPORTEDMODE;
    mHasMode = true;
    mModeWidth = width;
    mModeHeight = height;
    mModeBits = bitCount;
    return DD_OK;
}

DDResult DirectDraw::RestoreDisplayMode()
{
    if (mHasMode)
        mScreen->RestoreMode();
    mHasMode = false;
    return DD_OK;
}

DDResult DirectDraw::GetMonitorFrequency(int& hz)
{
    hz = mScreen->RefreshRate();
    return hz > 0 ? DD_OK : DDERR_UNSUPPORTED;
}

DDPixelFormat DirectDraw::DisplayFormat()
{
    return FormatForBits(mHasMode ? mModeBits : mScreen->DesktopBitCount());
}

DDResult DirectDraw::CreateSurface(const DDSurfaceDesc& desc, DDSurfacePtr& out)
{
    out.reset();
    const uint32_t caps = (desc.flags & DDSD_CAPS) ? desc.caps : DDSCAPS_OFFSCREENPLAIN;
    // A 3D-capable surface is an ordinary one: the screen's 3D device draws into its
    // own target, and the frame is read back into the draw surface to be shown.
    try {
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            if (!mPrimary.expired())
                return DDERR_PRIMARYSURFACEALREADYEXISTS;
            int width = mModeWidth, height = mModeHeight;
            if (!mHasMode)
                mScreen->ClientSize(width, height);
            if (width <= 0 || height <= 0)
                return DDERR_INVALIDMODE;
            const DDPixelFormat format = DisplayFormat();
            auto primary = std::make_shared<DDSurface>(width, height, format, caps, mDevice);
            const bool chain = (desc.flags & DDSD_BACKBUFFERCOUNT) && desc.backBufferCount > 0;
            if (chain) {
                if (desc.backBufferCount != 1 || !(caps & DDSCAPS_FLIP) || !(caps & DDSCAPS_COMPLEX))
                    return DDERR_INVALIDPARAMS;
                primary->mBackBuffer =
                    std::make_shared<DDSurface>(width, height, format, DDSCAPS_BACKBUFFER, mDevice);
            }
            mPrimary = primary;
            out = std::move(primary);
            return DD_OK;
        }
        if (!(desc.flags & DDSD_WIDTH) || !(desc.flags & DDSD_HEIGHT) || desc.width <= 0 || desc.height <= 0 ||
            desc.width > MAX_SURFACE_SIDE || desc.height > MAX_SURFACE_SIDE)
            return DDERR_INVALIDPARAMS;
        DDPixelFormat format = DisplayFormat();
        if (desc.flags & DDSD_PIXELFORMAT) {
            const int bits = desc.pixelFormat.bitCount;
            if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
                return DDERR_INVALIDPIXELFORMAT;
            format = desc.pixelFormat;
        }
        out = std::make_shared<DDSurface>(desc.width, desc.height, format, caps | DDSCAPS_OFFSCREENPLAIN, mDevice);
        return DD_OK;
    } catch (const std::bad_alloc&) {
        out.reset();
        return DDERR_OUTOFMEMORY;
    }
}

DDResult DirectDraw::CreateClipper(std::shared_ptr<DDClipper>& out)
{
    out = std::make_shared<DDClipper>();
    return DD_OK;
}

DDResult DirectDraw::ShowPrimary(bool force)
{
    DDSurfacePtr primary = mPrimary.lock();
    if (!primary)
        return DDERR_NOTFOUND;
    if (mDevice->lost)
        return DDERR_SURFACELOST;
    if (!primary->TakeChanged() && !force)
        return DD_OK;
    return Show(*primary);
}

DDResult DirectDraw::Show(const DDSurface& surface)
{
    if (!mScreen->Show(surface.Pixels(), surface.Pitch(), surface.Format().bitCount, surface.Width(),
                       surface.Height())) {
        mDevice->lost = true;
        return DDERR_SURFACELOST;
    }
    return DD_OK;
}

DDResult DirectDraw::ShowInPlaceOfPrimary(DDSurface* surface)
{
    DDSurfacePtr primary = mPrimary.lock();
    if (!primary || !surface)
        return DDERR_NOTFOUND;
    if (mDevice->lost)
        return DDERR_SURFACELOST;
    if (surface->Width() != primary->Width() || surface->Height() != primary->Height() ||
        surface->Format() != primary->Format())
        return DDERR_INVALIDPARAMS;
    if (surface->IsLocked())
        return DDERR_SURFACEBUSY;
    return Show(*surface);
}

} // namespace Platform
