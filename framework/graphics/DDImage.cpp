#include "framework/graphics/DDImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/ImageSource.h"
#include "framework/graphics/RowCopy.h"

namespace Zant {

using namespace Platform;

namespace {

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint32_t max = 0;
};

// A surface's layout of its three colour channels.
struct SurfaceFormat {
    int bitCount = 0;
    Channel c[3]; // red, green, blue
    uint32_t rgbMask = 0;

    explicit SurfaceFormat(const DDPixelFormat& f) : bitCount(f.bitCount)
    {
        const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
        for (int i = 0; i < 3; ++i) {
            Channel& ch = c[i];
            ch.mask = masks[i];
            while (ch.shift < 32 && ch.mask && !(ch.mask & (1u << ch.shift)))
                ++ch.shift;
            while (ch.shift + ch.bits < 32 && (ch.mask & (1u << (ch.shift + ch.bits))))
                ++ch.bits;
            ch.max = ch.bits > 0 ? (1u << ch.bits) - 1 : 0;
            rgbMask |= ch.mask;
        }
    }
    bool Drawable() const { return bitCount == 16 || bitCount == 32; }
    // 0x..RRGGBB words, the software renderer's layout: drawn with its row kernels
    // (the alpha byte is not read).
    bool SoftwareLayout() const
    {
        return bitCount == 32 && c[0].mask == 0xFF0000 && c[1].mask == 0xFF00 && c[2].mask == 0xFF;
    }
};

uint32_t Clamp255(int v) { return v < 0 ? 0u : v > 255 ? 255u : uint32_t(v); }

uint32_t PackOpaque(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

// Pixels of a source image in 0xAARRGGBB, from its pixel array or through its palette.
class SourcePixels {
public:
    explicit SourcePixels(MemoryImage* image) : mWidth(image->GetWidth())
    {
        if (image->IsPalettized() && image->GetColorIndices() != nullptr) {
            mIndices = image->GetColorIndices();
            mPalette = image->GetColorTable();
        } else {
            mBits = image->GetBits();
        }
    }
    bool IsValid() const { return mBits != nullptr || (mIndices != nullptr && mPalette != nullptr); }
    uint32_t At(int x, int y) const
    {
        const size_t i = size_t(y) * mWidth + x;
        return mBits != nullptr ? mBits[i] : mPalette[mIndices[i]];
    }

private:
    int mWidth;
    const uint32_t* mBits = nullptr;
    const uint8_t* mIndices = nullptr;
    const uint32_t* mPalette = nullptr;
};

// An 8-bit channel placed in a channel of the surface, as the drawing family
// converts colours: (c * m + m / 2) >> 8, masked.
uint32_t ToChannel(uint32_t c, uint32_t m) { return uint32_t((uint64_t(c) * m + (m >> 1)) >> 8) & m; }

// The exact conversion used when a surface is made from an image's pixels.
uint32_t ToChannelExact(uint32_t c, uint32_t m) { return uint32_t(uint64_t(c) * m / 255) & m; }

// A channel's bits back to 8 bits, rounding up so that converting again gives the
// same bits (rounding down would darken the image at every round trip).
uint32_t FromChannel(uint32_t v, const Channel& ch)
{
    if (ch.max == 0)
        return 0;
    const uint32_t x = (v & ch.mask) >> ch.shift;
    return (x * 255 + ch.max - 1) / ch.max;
}

// The destination part of a normal blend: each channel keeps (256 - a) / 256.
uint32_t Faded(uint32_t d, uint32_t a, const SurfaceFormat& f)
{
    uint32_t out = 0;
    for (const Channel& ch : f.c)
        out |= uint32_t((uint64_t(d & ch.mask) * (256 - a) + (ch.mask >> 1)) >> 8) & ch.mask;
    return out;
}

// One colour drawn normally: opaque colours are stored, others premultiplied and
// added to the faded destination.
struct NormalPaint {
    uint32_t value = 0;
    uint32_t alpha = 0;

    NormalPaint(uint32_t r, uint32_t g, uint32_t b, uint32_t a, const SurfaceFormat& f) : alpha(a)
    {
        const uint32_t rgb[3] = {r, g, b};
        for (int i = 0; i < 3; ++i) {
            const uint32_t c = a == 255 ? rgb[i] : (rgb[i] * a + 128) >> 8;
            value |= ToChannel(c, f.c[i].mask);
        }
    }
    // A colour's channels, each clamped to 0..255.
    static NormalPaint OfColor(const Color& color, const SurfaceFormat& f)
    {
        return NormalPaint(Clamp255(color.red), Clamp255(color.green), Clamp255(color.blue), Clamp255(color.alpha), f);
    }
    // A pixel in 0xAARRGGBB with the given alpha.
    static NormalPaint OfPixel(uint32_t p, uint32_t a, const SurfaceFormat& f)
    {
        return NormalPaint((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, a, f);
    }
    uint32_t Apply(uint32_t d, const SurfaceFormat& f) const
    {
        return alpha == 255 ? value : Faded(d, alpha, f) + value;
    }
};

// The additive lookup tables of a format: the display's own when the formats agree.
class AddTables {
public:
    AddTables(const SurfaceFormat& f, const DDInterface* dd)
    {
        const bool shared = dd != nullptr && dd->mRedMask == f.c[0].mask && dd->mGreenMask == f.c[1].mask &&
                            dd->mBlueMask == f.c[2].mask && !dd->mRedAddTable.empty();
        for (int i = 0; i < 3; ++i) {
            if (shared) {
                const std::vector<int>& table =
                    i == 0 ? dd->mRedAddTable : i == 1 ? dd->mGreenAddTable : dd->mBlueAddTable;
                mTable[i] = table.data();
                continue;
            }
            const int max = int(f.c[i].max);
            mOwn[i].resize(size_t(2 * max + 1));
            for (int k = 0; k <= 2 * max; ++k)
                mOwn[i][size_t(k)] = std::min(k, max);
            mTable[i] = mOwn[i].data();
        }
    }
    // Adds source channel values (each at most the channel's maximum) to d.
    uint32_t Add(uint32_t d, const uint32_t s[3], const SurfaceFormat& f) const
    {
        uint32_t out = d & ~f.rgbMask;
        for (int i = 0; i < 3; ++i) {
            const Channel& ch = f.c[i];
            const uint32_t dv = (d & ch.mask) >> ch.shift;
            out |= uint32_t(mTable[i][dv + s[i]]) << ch.shift;
        }
        return out;
    }

private:
    const int* mTable[3] = {};
    std::vector<int> mOwn[3];
};

template <typename T>
T* RowOf(const DDSurfaceDesc& desc, int y)
{
    return reinterpret_cast<T*>(static_cast<uint8_t*>(desc.surface) + size_t(y) * desc.pitch);
}

// Holds a nested surface lock for a scope.
class SurfaceLock {
public:
    explicit SurfaceLock(DDImage& image) : mImage(image), mLocked(image.LockSurface()) {}
    ~SurfaceLock()
    {
        if (mLocked)
            mImage.UnlockSurface();
    }
    explicit operator bool() const { return mLocked; }

private:
    DDImage& mImage;
    bool mLocked;
};

// An image's surface locked for drawing, with its format and pixel access in the
// surface's 16- or 32-bit layout. False when the surface cannot be locked or has a
// layout the drawing family does not draw on.
class LockedSurface {
public:
    explicit LockedSurface(DDImage& image)
        : mLock(image), desc(image.mLockedSurfaceDesc), format(image.mLockedSurfaceDesc.pixelFormat)
    {
    }
    explicit operator bool() const { return bool(mLock) && format.Drawable(); }
    // True when the lock holds, whatever the layout.
    bool Locked() const { return bool(mLock); }
    // Drawn with the software renderer's row kernels.
    bool SoftwareLayout() const { return format.SoftwareLayout() && desc.pitch % 4 == 0; }
    PixelRows Rows() const { return PixelRows{static_cast<uint32_t*>(desc.surface), size_t(desc.pitch) / 4, true}; }

    uint32_t Load(int x, int y) const
    {
        return format.bitCount == 16 ? uint32_t(RowOf<uint16_t>(desc, y)[x]) : RowOf<uint32_t>(desc, y)[x];
    }
    void Store(int x, int y, uint32_t v) const
    {
        if (format.bitCount == 16)
            RowOf<uint16_t>(desc, y)[x] = uint16_t(v);
        else
            RowOf<uint32_t>(desc, y)[x] = v;
    }
    // Replaces the pixel at (x, y) with op(pixel).
    template <typename Op>
    void Update(int x, int y, const Op& op) const
    {
        Store(x, y, op(Load(x, y)));
    }
    // The same for every pixel of r, a row at a time.
    template <typename Op>
    void UpdateRect(const Rect& r, const Op& op) const
    {
        for (int y = r.y; y < r.y + r.height; ++y) {
            if (format.bitCount == 16) {
                uint16_t* row = RowOf<uint16_t>(desc, y) + r.x;
                for (int i = 0; i < r.width; ++i)
                    row[i] = uint16_t(op(row[i]));
            } else {
                uint32_t* row = RowOf<uint32_t>(desc, y) + r.x;
                for (int i = 0; i < r.width; ++i)
                    row[i] = op(row[i]);
            }
        }
    }
    // Blends a source pixel in 0xAARRGGBB over (x, y); fully transparent ones are skipped.
    void BlendPixel(int x, int y, uint32_t p) const
    {
        const uint32_t alpha = p >> 24;
        if (alpha == 0)
            return;
        const NormalPaint paint = NormalPaint::OfPixel(p, alpha, format);
        Update(x, y, [&](uint32_t d) { return paint.Apply(d, format); });
    }

private:
    SurfaceLock mLock;

public:
    const DDSurfaceDesc& desc;
    const SurfaceFormat format;
};

// Walks the rows of part of a source in its run lengths (native holds the source's
// pixels, or its palette when indices is set): a run whose first pixel skip() accepts
// is passed over whole, every pixel of the others goes to plot(column, row, pixel).
template <typename Skip, typename Plot>
void WalkRuns(const Rect& part, int srcWidth, const uint32_t* native, const uint8_t* indices, const uint8_t* runs,
              const Skip& skip, const Plot& plot)
{
    for (int row = 0; row < part.height; ++row) {
        const size_t base = size_t(part.y + row) * srcWidth + part.x;
        auto nativeAt = [&](int k) { return indices ? native[indices[base + k]] : native[base + k]; };
        for (int i = 0; i < part.width;) {
            const int n = std::min(std::max<int>(runs[base + i], 1), part.width - i);
            if (!skip(nativeAt(i)))
                for (int k = i; k < i + n; ++k)
                    plot(k, row, nativeAt(k));
            i += n;
        }
    }
}

// Calls plot(x, y) for each pixel of a line: walked along its major axis from the
// end with the smaller major coordinate, one pixel a step, the minor coordinate
// carried with its fraction. Pixels outside width x height are skipped.
template <typename Plot>
void WalkLine(double x1, double y1, double x2, double y2, int width, int height, const Plot& plot)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    double a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    double a2 = xMajor ? x2 : y2, b2 = xMajor ? y2 : x2;
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int majorSize = xMajor ? width : height;
    const int minorSize = xMajor ? height : width;
    const double slope = a2 != a1 ? (b2 - b1) / (a2 - a1) : 0.0;
    double start = std::trunc(a1), end = std::trunc(a2);
    double minor = b1;
    if (start < 0) {
        minor += -start * slope;
        start = 0;
    }
    end = std::min(end, double(majorSize - 1));
    if (start > end)
        return;
    for (int m = int(start); m <= int(end); ++m, minor += slope) {
        const double f = std::floor(minor);
        if (f < 0 || f >= minorSize)
            continue;
        if (xMajor)
            plot(m, int(f));
        else
            plot(int(f), m);
    }
}

} // namespace

// ---- Construction and the two pixel stores.

DDImage::DDImage(DDInterface* ddInterface) : DDImage(ddInterface, ddInterface ? ddInterface->Registry() : nullptr) {}

DDImage::DDImage(DDInterface* ddInterface, ImageRegistry* registry) : MemoryImage(registry), mDDInterface(ddInterface)
{
    if (mDDInterface)
        mDDInterface->RegisterImage(this);
}

DDImage::~DDImage()
{
    ReleaseSurface();
    if (mDDInterface)
        mDDInterface->UnregisterImage(this);
}

void DDImage::JoinSets(DDInterface* ddInterface, ImageRegistry* registry)
{
    if (mApp == nullptr && registry != nullptr) {
        mApp = registry;
        mApp->AddImage(this);
    }
    if (mDDInterface == nullptr && ddInterface != nullptr) {
        mDDInterface = ddInterface;
        mDDInterface->RegisterImage(this);
    }
}

bool DDImage::Is3DTarget() const
{
    return mDDInterface != nullptr && mDDInterface->mIs3D && mSurface != nullptr &&
           mSurface == mDDInterface->mDrawSurface;
}

void DDImage::ReleaseSurface()
{
    if (!mSurface)
        return;
    auto release = [this] {
        if (mLockCount > 0)
            mSurface->Unlock();
        mLockCount = 0;
        mSurface.reset();
        mSurfaceIsShared = false;
        NoteLock();
    };
    if (mDDInterface) {
        AutoCrit lock(mDDInterface->mCritSect);
        release();
    } else {
        release();
    }
}

DDSurfacePtr DDImage::GetSurface()
{
    if (!mSurface)
        GenerateDDSurface();
    return mSurface;
}

bool DDImage::GenerateDDSurface()
{
    if (mSurface)
        return true;
    if (!mDDInterface || mWidth <= 0 || mHeight <= 0)
        return false;
    CommitBits();
    if (mHasAlpha)
        return false;

    AutoCrit lock(mDDInterface->mCritSect);
    mWantDDSurface = true;
    // A palettised image turns into pixels first.
    const uint32_t* bits = MemoryImage::GetBits();
    if (bits == nullptr)
        return false;
    DDSurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.caps = DDSCAPS_OFFSCREENPLAIN | (mVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    desc.width = mWidth;
    desc.height = mHeight;
    DDSurfacePtr surface;
    if (DDFailed(mDDInterface->CreateSurface(desc, surface)))
        return false;
    mSurface = surface;
    if (!LockSurface()) {
        mSurface.reset();
        return false;
    }
    const SurfaceFormat f(mLockedSurfaceDesc.pixelFormat);
    if (!f.Drawable()) {
        UnlockSurface();
        return true;
    }
    uint32_t table[3][256];
    for (int i = 0; i < 3; ++i)
        for (uint32_t v = 0; v < 256; ++v)
            table[i][v] = ToChannelExact(v, f.c[i].mask);
    auto convert = [&](uint32_t p) {
        return table[0][(p >> 16) & 0xFF] | table[1][(p >> 8) & 0xFF] | table[2][p & 0xFF];
    };
    const size_t count = PixelCount();

    // Transparent pixels all become one key value that no visible pixel has.
    bool keyed = false;
    uint32_t key = 0;
    if (mHasTrans) {
        for (size_t i = 0; i < count; ++i) {
            if ((bits[i] >> 24) != 255) {
                key = f.bitCount == 16 ? convert(bits[i]) : bits[i];
                keyed = true;
                break;
            }
        }
    }
    if (keyed) {
        bool collides = false;
        for (size_t i = 0; i < count && !collides; ++i) {
            if ((bits[i] >> 24) == 255)
                collides = f.bitCount == 16 ? convert(bits[i]) == key : (convert(bits[i]) & 0xFFFFFF) == key;
        }
        if (collides) {
            // One bit for each value a visible pixel uses; the key is a free one.
            const bool small = f.bitCount == 16;
            std::vector<uint32_t> used(small ? 2048 : 524288, 0);
            for (size_t i = 0; i < count; ++i) {
                if ((bits[i] >> 24) == 0)
                    continue;
                const uint32_t v = convert(bits[i]) & (small ? 0xFFFF : 0xFFFFFF);
                used[v >> 5] |= 1u << (v & 31);
            }
            auto lowestFree = [](uint32_t word) {
                int bit = 0;
                while (word & (1u << bit))
                    ++bit;
                return uint32_t(bit);
            };
            if (small) {
                for (size_t w = used.size(); w-- > 0;) {
                    if (used[w] != 0xFFFFFFFFu) {
                        key = uint32_t(w) * 32 + lowestFree(used[w]);
                        break;
                    }
                }
            } else {
                for (size_t w = 0; w < used.size(); ++w) {
                    if (used[w] != 0xFFFFFFFFu) {
                        key = uint32_t(w) * 32 + lowestFree(used[w]);
                        break;
                    }
                }
            }
        }
    }

    for (int y = 0; y < mHeight; ++y) {
        const uint32_t* from = bits + size_t(y) * mWidth;
        if (f.bitCount == 16) {
            uint16_t* to = RowOf<uint16_t>(mLockedSurfaceDesc, y);
            for (int x = 0; x < mWidth; ++x)
                to[x] = uint16_t(keyed && (from[x] >> 24) != 255 ? key : convert(from[x]));
        } else {
            uint32_t* to = RowOf<uint32_t>(mLockedSurfaceDesc, y);
            for (int x = 0; x < mWidth; ++x)
                to[x] = keyed && (from[x] >> 24) != 255 ? key : convert(from[x]);
        }
    }
    if (keyed)
        mSurface->SetColorKey(key);
    UnlockSurface();
    return true;
}

void DDImage::DeleteDDSurface()
{
    if (!mSurface)
        return;
    if (mBits == nullptr && mColorTable == nullptr)
        GetBits();
    ReleaseSurface();
}

void DDImage::PurgeBits()
{
    if (GenerateDDSurface())
        FreeBits();
}

bool DDImage::LockSurface()
{
    if (Is3DTarget())
        return false;
    if (mLockCount == 0) {
        if (!mSurface)
            GenerateDDSurface();
        if (!mSurface)
            return false;
        mLockedSurfaceDesc = DDSurfaceDesc();
        if (DDFailed(mSurface->Lock(mLockedSurfaceDesc)))
            return false;
    }
    ++mLockCount;
    if (mLockCount == 1)
        NoteLock();
    return true;
}

bool DDImage::UnlockSurface()
{
    if (Is3DTarget() || mLockCount == 0)
        return false;
    if (--mLockCount == 0) {
        if (mSurface)
            mSurface->Unlock();
        NoteLock();
    }
    return true;
}

void DDImage::NoteLock()
{
    const DDSurfaceDesc& desc = mLockedSurfaceDesc;
    mLockedSoftwareLayout = mLockCount > 0 && SurfaceFormat(desc.pixelFormat).SoftwareLayout();
    mLockedRows = PixelRows{};
    if (mLockedSoftwareLayout && desc.surface != nullptr && desc.pitch % 4 == 0)
        mLockedRows = PixelRows{static_cast<uint32_t*>(desc.surface), size_t(desc.pitch) / 4, true};
}

void DDImage::SetSurface(DDSurfacePtr surface)
{
    ReleaseSurface();
    FreeBits();
    mColorTable.reset();
    mColorIndices.reset();
    MemoryImage::DeleteExtraBuffers();
    mSurface = std::move(surface);
    mSurfaceIsShared = mSurface != nullptr;
    if (mSurface) {
        mWidth = mSurface->Width();
        mHeight = mSurface->Height();
    }
    mNoLock = false;
}

void DDImage::SetVideoMemory(bool videoMemory)
{
    if (videoMemory == mVideoMemory)
        return;
    mVideoMemory = videoMemory;
    GetBits();
    DeleteDDSurface();
}

uint32_t* DDImage::GetBits()
{
    if (mBits != nullptr)
        return mBits.get();
    if (!mSurface)
        return MemoryImage::GetBits();
    if (mNoLock)
        return nullptr;
    const LockedSurface target(*this);
    if (!target.Locked())
        return nullptr;
    const SurfaceFormat& f = target.format;
    const size_t count = PixelCount();
    auto bits = Platform::MakeLoadingArray<uint32_t>(count + 1);
    bits[count] = GUARD_WORD;
    uint32_t key = 0;
    const bool keyed = mSurface->GetColorKey(key);
    key &= f.rgbMask;
    if (target) {
        const int w = std::min(mWidth, mSurface->Width());
        const int h = std::min(mHeight, mSurface->Height());
        for (int y = 0; y < h; ++y) {
            uint32_t* to = bits.get() + size_t(y) * mWidth;
            for (int x = 0; x < w; ++x) {
                const uint32_t v = target.Load(x, y);
                // Keyed pixels were transparent.
                if (keyed && (v & f.rgbMask) == key)
                    to[x] = 0;
                else
                    to[x] = PackOpaque(FromChannel(v, f.c[0]), FromChannel(v, f.c[1]), FromChannel(v, f.c[2]));
            }
        }
    }
    mBits = std::move(bits);
    return mBits.get();
}

void DDImage::WriteBitsToSurface()
{
    if (mBits == nullptr || mNoLock)
        return;
    const LockedSurface target(*this);
    if (!target)
        return;
    const SurfaceFormat& f = target.format;
    const int w = std::min(mWidth, mSurface->Width());
    const int h = std::min(mHeight, mSurface->Height());
    for (int y = 0; y < h; ++y) {
        const uint32_t* from = mBits.get() + size_t(y) * mWidth;
        for (int x = 0; x < w; ++x) {
            const uint32_t p = from[x];
            const uint32_t v = ToChannelExact((p >> 16) & 0xFF, f.c[0].mask) |
                               ToChannelExact((p >> 8) & 0xFF, f.c[1].mask) | ToChannelExact(p & 0xFF, f.c[2].mask);
            target.Store(x, y, v);
        }
    }
}

void DDImage::BitsChanged()
{
    MemoryImage::BitsChanged();
    if (!mSurface)
        return;
    if (mSurfaceIsShared) {
        // The display shows this surface: the new pixels go into it.
        if (mBits != nullptr) {
            WriteBitsToSurface();
            FreeBits();
        }
        return;
    }
    ReleaseSurface();
}

void DDImage::CommitBits()
{
    if (!mSurface)
        MemoryImage::CommitBits();
}

void DDImage::DeleteExtraBuffers() { MemoryImage::DeleteExtraBuffers(); }

void DDImage::Create(int width, int height)
{
    ReleaseSurface();
    MemoryImage::Create(width, height);
}

bool DDImage::Palletize()
{
    if (!MemoryImage::Palletize())
        return false;
    DeleteDDSurface();
    return true;
}

// ---- Dispatch between the surface and the software renderer.

bool DDImage::CanDrawOnSurface()
{
    if (!mDDInterface)
        return false;
    const bool cursorArea = this == mDDInterface->mOldCursorAreaImage || this == mDDInterface->mNewCursorAreaImage;
    if (!cursorArea) {
        CommitBits();
        if (mHasAlpha || mHasTrans || mDDInterface->mIs3D)
            return false;
    }
    // No copy of the surface's pointer (a count kept across threads) for each draw.
    if (!mSurface)
        GenerateDDSurface();
    return mSurface != nullptr;
}

void DDImage::SurfaceDrawn()
{
    // The surface is now the only true copy.
    FreeBits();
    MemoryImage::DeleteExtraBuffers();
    ++mBitsChangedCount;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (Is3DTarget()) {
        mDDInterface->mD3DInterface->FillRect(rect, color, drawMode);
        return;
    }
    if (CanDrawOnSurface()) {
        if (drawMode == DRAWMODE_ADDITIVE)
            AdditiveFillRect(rect, color);
        else
            NormalFillRect(rect, color);
        SurfaceDrawn();
        return;
    }
    if (GetBits() == nullptr)
        return;
    MemoryImage::FillRect(rect, color, drawMode);
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (Is3DTarget()) {
        mDDInterface->mD3DInterface->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (!CanDrawOnSurface())
        return; // lines are drawn only into surfaces
    // Ends far outside any image (callers other than Graphics do not clip) are
    // walked as lines, which stay inside the image.
    const bool sane = std::abs(x1) < 1e9 && std::abs(x2) < 1e9 && std::abs(y1) < 1e9 && std::abs(y2) < 1e9;
    if (y1 == y2 && sane) {
        const int left = int(std::trunc(std::min(x1, x2))), right = int(std::trunc(std::max(x1, x2)));
        FillRect(Rect(left, int(std::trunc(y1)), right - left + 1, 1).Intersection(Rect(0, 0, mWidth, mHeight)),
                 color, drawMode);
        return;
    }
    if (x1 == x2 && sane) {
        const int top = int(std::trunc(std::min(y1, y2))), bottom = int(std::trunc(std::max(y1, y2)));
        FillRect(Rect(int(std::trunc(x1)), top, 1, bottom - top + 1).Intersection(Rect(0, 0, mWidth, mHeight)),
                 color, drawMode);
        return;
    }
    if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveDrawLine(x1, y1, x2, y2, color);
    else
        NormalDrawLine(x1, y1, x2, y2, color);
    SurfaceDrawn();
}

void DDImage::Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (Is3DTarget()) {
        mDDInterface->mD3DInterface->Blt(src, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    if (CanDrawOnSurface()) {
        if (drawMode == DRAWMODE_ADDITIVE)
            AdditiveBlt(src, x, y, srcRect, color);
        else
            NormalBlt(src, x, y, srcRect, color);
        SurfaceDrawn();
        return;
    }
    if (GetBits() == nullptr)
        return;
    MemoryImage::Blt(src, x, y, srcRect, color, drawMode);
}

void DDImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (Is3DTarget()) {
        mDDInterface->mD3DInterface->Blt(src, x, y, srcRect, color, drawMode, true);
        return;
    }
    if (CanDrawOnSurface()) {
        BltRotated(src, x, y, srcRect, Rect(0, 0, mWidth, mHeight), color, drawMode, 0.0, 0, 0);
        return;
    }
    if (GetBits() == nullptr)
        return;
    MemoryImage::BltF(src, x, y, srcRect, color, drawMode);
}

void DDImage::BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                         int drawMode, double angle, int centreX, int centreY)
{
    if (Is3DTarget()) {
        mDDInterface->mD3DInterface->BltRotated(src, x, y, &clipRect, color, drawMode, angle, centreX, centreY,
                                                srcRect);
        return;
    }
    if (mNoLock)
        return;
    if (CanDrawOnSurface()) {
        MemoryImage* source = MemoryImageOf(src);
        // As in software, a tinted rotation draws nothing.
        if (source != nullptr && color == Color::White)
            RotateIntoSurface(source, x, y, srcRect, clipRect, angle, centreX, centreY);
        SurfaceDrawn();
        return;
    }
    if (GetBits() == nullptr)
        return;
    MemoryImage::BltRotated(src, x, y, srcRect, clipRect, color, drawMode, angle, centreX, centreY);
}

void DDImage::StretchBlt(Image* src, const Rect& destRect, const FRect& srcRect, const Color& color, int drawMode,
                         bool fast)
{
    if (Is3DTarget()) {
        mDDInterface->mD3DInterface->StretchBlt(src, destRect, srcRect, drawMode, fast);
        return;
    }
    MemoryImage* source = MemoryImageOf(src);
    if (!CanDrawOnSurface()) {
        if (GetBits() == nullptr)
            return;
        MemoryImage::StretchBlt(src, destRect, srcRect, color, drawMode, fast);
        return;
    }
    if (source == nullptr || destRect.width <= 0 || destRect.height <= 0 || !(srcRect.width > 0) ||
        !(srcRect.height > 0) || destRect.width > 65536 || destRect.height > 65536)
        return;
    if (!fast) {
        // Filtered: stretch in software into a picture of the destination's size,
        // then draw that like any image.
        MemoryImage stretched;
        stretched.Create(destRect.width, destRect.height);
        stretched.StretchBlt(source, Rect(0, 0, destRect.width, destRect.height), srcRect, Color::White,
                             DRAWMODE_NORMAL, false);
        Blt(&stretched, destRect.x, destRect.y, Rect(0, 0, destRect.width, destRect.height), color, drawMode);
        return;
    }
    auto* ddSource = dynamic_cast<DDImage*>(source);
    source->CommitBits();
    if (ddSource != nullptr && !ddSource->HasAlpha() && color == Color::White && ddSource->GetSurface()) {
        const DDRect dest{destRect.x, destRect.y, destRect.x + destRect.width, destRect.y + destRect.height};
        const int sx = std::clamp(int(std::floor(srcRect.x)), 0, source->GetWidth() - 1);
        const int sy = std::clamp(int(std::floor(srcRect.y)), 0, source->GetHeight() - 1);
        const int sw = std::clamp(int(std::lround(srcRect.width)), 1, source->GetWidth() - sx);
        const int sh = std::clamp(int(std::lround(srcRect.height)), 1, source->GetHeight() - sy);
        if (BltSurfaceToSurface(ddSource, dest, DDRect{sx, sy, sx + sw, sy + sh})) {
            SurfaceDrawn();
            return;
        }
    }
    // As in software, a tinted nearest-pixel stretch draws nothing.
    if (color == Color::White)
        StretchIntoSurface(source, destRect, srcRect);
    SurfaceDrawn();
}

bool DDImage::BltSurfaceToSurface(DDImage* src, const DDRect& dest, const DDRect& from)
{
    DDSurfacePtr source = src->GetSurface();
    DDSurfacePtr mine = GetSurface();
    if (!source || !mine)
        return false;
    // A surface cannot be blitted while it is locked: step out of the locks around it.
    const bool relockMine = mLockCount > 0;
    const bool relockSource = src != this && src->mLockCount > 0;
    if (relockMine)
        mine->Unlock();
    if (relockSource)
        source->Unlock();
    const uint32_t flags = DDBLT_WAIT | (src->HasTransparency() ? uint32_t(DDBLT_KEYSRC) : 0u);
    const DDResult result = mine->Blt(&dest, source.get(), &from, flags);
    // A lock taken again may hand out other memory.
    if (relockSource) {
        source->Lock(src->mLockedSurfaceDesc);
        src->NoteLock();
    }
    if (relockMine) {
        mine->Lock(mLockedSurfaceDesc);
        NoteLock();
    }
    return !DDFailed(result);
}

// ---- The surface drawing family.

namespace {

// The colour's channels cut to the surface's bits; its alpha plays no part.
void AdditiveSource(const Color& color, const SurfaceFormat& f, uint32_t s[3])
{
    const uint32_t rgb[3] = {Clamp255(color.red), Clamp255(color.green), Clamp255(color.blue)};
    for (int i = 0; i < 3; ++i)
        s[i] = f.c[i].bits <= 8 ? rgb[i] >> (8 - f.c[i].bits) : rgb[i];
}

} // namespace

void DDImage::NormalFillRect(const Rect& rect, const Color& color)
{
    const Rect r = rect.Intersection(Rect(0, 0, mWidth, mHeight));
    if (mNoLock || r.width <= 0 || r.height <= 0)
        return;
    if (mLockedRows.bits != nullptr) {
        RowCopy::Fill(mLockedRows, r, color);
        return;
    }
    const LockedSurface target(*this);
    if (!target)
        return;
    if (target.SoftwareLayout()) {
        RowCopy::Fill(target.Rows(), r, color);
        return;
    }
    const NormalPaint paint = NormalPaint::OfColor(color, target.format);
    if (paint.alpha == 0)
        return;
    target.UpdateRect(r, [&](uint32_t d) { return paint.Apply(d, target.format); });
}

void DDImage::AdditiveFillRect(const Rect& rect, const Color& color)
{
    const Rect r = rect.Intersection(Rect(0, 0, mWidth, mHeight));
    if (mNoLock || r.width <= 0 || r.height <= 0)
        return;
    if (mLockedRows.bits != nullptr) {
        RowCopy::AddFill(mLockedRows, r, color);
        return;
    }
    const LockedSurface target(*this);
    if (!target)
        return;
    if (target.SoftwareLayout()) {
        RowCopy::AddFill(target.Rows(), r, color);
        return;
    }
    const AddTables tables(target.format, mDDInterface);
    uint32_t s[3];
    AdditiveSource(color, target.format, s);
    target.UpdateRect(r, [&](uint32_t d) { return tables.Add(d, s, target.format); });
}

void DDImage::NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    if (mNoLock)
        return;
    const LockedSurface target(*this);
    if (!target)
        return;
    const NormalPaint paint = NormalPaint::OfColor(color, target.format);
    WalkLine(x1, y1, x2, y2, mWidth, mHeight, [&](int x, int y) {
        target.Update(x, y, [&](uint32_t d) { return paint.Apply(d, target.format); });
    });
}

void DDImage::AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    if (mNoLock)
        return;
    const LockedSurface target(*this);
    if (!target)
        return;
    const AddTables tables(target.format, mDDInterface);
    uint32_t s[3];
    AdditiveSource(color, target.format, s);
    WalkLine(x1, y1, x2, y2, mWidth, mHeight, [&](int x, int y) {
        target.Update(x, y, [&](uint32_t d) { return tables.Add(d, s, target.format); });
    });
}

void DDImage::NormalBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* const source = MemoryImageOf(src);
    if (source == nullptr || mNoLock)
        return;
    Rect part = srcRect;
    if (!ClipCopy(mWidth, mHeight, source->GetWidth(), source->GetHeight(), x, y, part))
        return;
    source->CommitBits();
    const bool white = color == Color::White;

    // An opaque or colour-keyed display image: copied surface to surface. Onto a
    // surface in the software renderer's layout, a source that holds its pixels in
    // memory is copied by the row kernels instead: the same pixels, without stepping
    // out of the frame's lock for each copy.
    const bool fromMemory =
        (source->HasBits() || source->IsPalettized()) && mSurface &&
        (mLockCount > 0 ? mLockedSoftwareLayout : SurfaceFormat(mSurface->Format()).SoftwareLayout());
    if (fromMemory && mLockedRows.bits != nullptr) {
        // The frame's lock holds: straight onto the rows.
        RowCopy::Normal(mLockedRows, source, x, y, part, color);
        return;
    }
    auto* ddSource = fromMemory ? nullptr : dynamic_cast<DDImage*>(source);
    if (!fromMemory && !source->IsVolatile() && ddSource != nullptr && !source->HasAlpha() && white &&
        (mVideoMemory || !ddSource->mVideoMemory) && ddSource->GetSurface()) {
        const DDRect dest{x, y, x + part.width, y + part.height};
        const DDRect from{part.x, part.y, part.x + part.width, part.y + part.height};
        if (BltSurfaceToSurface(ddSource, dest, from))
            return;
    }

    const LockedSurface target(*this);
    if (!target)
        return;
    if (target.SoftwareLayout()) {
        RowCopy::Normal(target.Rows(), source, x, y, part, color);
        return;
    }
    // 16-bit surfaces: pixel by pixel in the surface's format.
    const SurfaceFormat& f = target.format;

    if (source->IsVolatile() && white) {
        // Drawn once and changed often: blended straight from its pixels, no cache.
        SourcePixels pixels(source);
        if (!pixels.IsValid())
            return;
        for (int row = 0; row < part.height; ++row) {
            for (int i = 0; i < part.width; ++i) {
                const uint32_t p = pixels.At(part.x + i, part.y + row);
                const uint64_t a = p >> 24;
                if (a == 0)
                    continue;
                const uint32_t rgb[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
                target.Update(x + i, y + row, [&](uint32_t d) {
                    uint32_t out = 0;
                    for (int k = 0; k < 3; ++k) {
                        const uint64_t m = f.c[k].mask;
                        const uint64_t s = f.bitCount == 16 ? (rgb[k] * a * m) >> 8 : ((rgb[k] * a) >> 8) * m;
                        out |= uint32_t((((d & m) * (256 - a) + (m >> 1) + s) >> 8) & m);
                    }
                    return out;
                });
            }
        }
        return;
    }

    if (!white) {
        // Tinted: each source pixel scaled by the tint's channel and alpha, then blended.
        SourcePixels pixels(source);
        if (!pixels.IsValid())
            return;
        const uint32_t ta = Clamp255(color.alpha);
        const uint32_t tint[3] = {Clamp255(color.red), Clamp255(color.green), Clamp255(color.blue)};
        for (int row = 0; row < part.height; ++row) {
            for (int i = 0; i < part.width; ++i) {
                const uint32_t p = pixels.At(part.x + i, part.y + row);
                const uint32_t a = (p >> 24) * ta / 255;
                if (a == 0)
                    continue;
                const NormalPaint paint(((p >> 16) & 0xFF) * tint[0] / 255, ((p >> 8) & 0xFF) * tint[1] / 255,
                                        (p & 0xFF) * tint[2] / 255, a, f);
                target.Update(x + i, y + row, [&](uint32_t d) { return paint.Apply(d, f); });
            }
        }
        return;
    }

    if (source->IsPalettized() && !source->HasAlpha() && source->GetColorIndices() != nullptr) {
        // Each index looks up its colour converted once; transparent entries are skipped.
        const uint32_t* palette = source->GetColorTable();
        uint32_t converted[256];
        for (int k = 0; k < 256; ++k)
            converted[k] = NormalPaint::OfPixel(palette[k], 255, f).value;
        const uint8_t* indices = source->GetColorIndices();
        for (int row = 0; row < part.height; ++row) {
            const uint8_t* from = indices + size_t(part.y + row) * source->GetWidth() + part.x;
            for (int i = 0; i < part.width; ++i)
                if ((palette[from[i]] >> 24) != 0)
                    target.Store(x + i, y + row, converted[from[i]]);
        }
        return;
    }

    // Premultiplied pixels in the surface's format with their run lengths:
    // transparent runs skipped, opaque runs copied, partial pixels blended.
    const uint32_t* native =
        source->GetNativeAlphaData(f.bitCount, f.c[0].mask, f.c[1].mask, f.c[2].mask);
    const uint8_t* runs = source->GetRLAlphaData();
    if (native == nullptr || runs == nullptr)
        return;
    const uint8_t* indices = source->IsPalettized() ? source->GetColorIndices() : nullptr;
    WalkRuns(
        part, source->GetWidth(), native, indices, runs, [](uint32_t first) { return (first >> 24) == 0; },
        [&](int k, int row, uint32_t p) {
            const uint32_t a = p >> 24;
            const uint32_t colour = p & f.rgbMask;
            if (a == 255)
                target.Store(x + k, y + row, colour);
            else if (a != 0)
                target.Update(x + k, y + row, [&](uint32_t d) { return Faded(d, a, f) + colour; });
        });
}

void DDImage::AdditiveBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* const source = MemoryImageOf(src);
    if (source == nullptr || mNoLock)
        return;
    Rect part = srcRect;
    if (!ClipCopy(mWidth, mHeight, source->GetWidth(), source->GetHeight(), x, y, part))
        return;
    // An opaque source adds its colours as the software renderer does; a source with
    // alpha adds them premultiplied, so its transparent pixels add nothing.
    source->CommitBits();
    if (mLockedRows.bits != nullptr && !source->HasAlpha() && !source->HasTransparency()) {
        RowCopy::Additive(mLockedRows, source, x, y, part, color);
        return;
    }
    const LockedSurface target(*this);
    if (!target)
        return;
    if (target.SoftwareLayout() && !source->HasAlpha() && !source->HasTransparency()) {
        RowCopy::Additive(target.Rows(), source, x, y, part, color);
        return;
    }
    const SurfaceFormat& f = target.format;
    const uint32_t* native =
        source->GetNativeAlphaData(f.bitCount, f.c[0].mask, f.c[1].mask, f.c[2].mask);
    const uint8_t* runs = source->GetRLAdditiveData(f.bitCount, f.c[0].mask, f.c[1].mask, f.c[2].mask);
    if (native == nullptr || runs == nullptr)
        return;
    const uint8_t* indices = source->IsPalettized() ? source->GetColorIndices() : nullptr;
    const AddTables tables(f, mDDInterface);
    const bool tinted = color != Color::White;
    const uint32_t ta = Clamp255(color.alpha);
    const uint32_t scale[3] = {Clamp255(color.red) * ta / 255, Clamp255(color.green) * ta / 255,
                               Clamp255(color.blue) * ta / 255};
    WalkRuns(
        part, source->GetWidth(), native, indices, runs,
        [&](uint32_t first) { return (first & f.rgbMask) == 0; }, // black adds nothing
        [&](int k, int row, uint32_t p) {
            uint32_t s[3];
            for (int c = 0; c < 3; ++c) {
                s[c] = (p & f.c[c].mask) >> f.c[c].shift;
                if (tinted)
                    s[c] = (s[c] * scale[c]) >> 8;
            }
            target.Update(x + k, y + row, [&](uint32_t d) { return tables.Add(d, s, f); });
        });
}

void DDImage::RotateIntoSurface(MemoryImage* src, float x, float y, const Rect& srcRect, const Rect& clipRect,
                                double angle, int centreX, int centreY)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle))
        return;
    const double cosA = std::cos(angle), sinA = std::sin(angle);
    const RotationFrame frame(srcRect, src->GetWidth(), src->GetHeight(), x, y, centreX, centreY, cosA, sinA);
    const Rect& win = frame.win;
    const double px = frame.px, py = frame.py;
    const int cx = frame.cx, cy = frame.cy;
    const double minX = frame.minX, minY = frame.minY, maxX = frame.maxX, maxY = frame.maxY;
    if (win.width <= 0 || win.height <= 0)
        return;
    const Rect clip = clipRect.Intersection(Rect(0, 0, mWidth, mHeight));
    const int x0 = std::max(int(std::floor(std::max(minX, double(clip.x)))), clip.x);
    const int y0 = std::max(int(std::floor(std::max(minY, double(clip.y)))), clip.y);
    const int x1 = int(std::ceil(std::min(maxX, double(clip.x + clip.width))));
    const int y1 = int(std::ceil(std::min(maxY, double(clip.y + clip.height))));
    if (x0 >= x1 || y0 >= y1)
        return;

    SourcePixels pixels(src);
    if (!pixels.IsValid())
        return;
    const LockedSurface target(*this);
    if (!target)
        return;
    for (int Y = y0; Y < y1; ++Y) {
        for (int X = x0; X < x1; ++X) {
            // Each destination pixel centre maps back into the source.
            const double a = X + 0.5 - cx - px, c = Y + 0.5 - cy - py;
            const double u = a * cosA - c * sinA + cx, v = a * sinA + c * cosA + cy;
            if (!(u >= 0 && v >= 0 && u < win.width && v < win.height))
                continue;
            target.BlendPixel(X, Y, pixels.At(win.x + int(u), win.y + int(v)));
        }
    }
}

void DDImage::StretchIntoSurface(MemoryImage* src, const Rect& destRect, const FRect& srcRect)
{
    if (mNoLock || src->GetWidth() <= 0 || src->GetHeight() <= 0 || !std::isfinite(srcRect.x) ||
        !std::isfinite(srcRect.y) || std::abs(srcRect.x) > 65536 || std::abs(srcRect.y) > 65536 ||
        srcRect.width > 65536 || srcRect.height > 65536)
        return;
    const int i0 = std::max(0, -destRect.x), i1 = std::min(destRect.width, mWidth - destRect.x);
    const int j0 = std::max(0, -destRect.y), j1 = std::min(destRect.height, mHeight - destRect.y);
    if (i0 >= i1 || j0 >= j1)
        return;
    SourcePixels pixels(src);
    if (!pixels.IsValid())
        return;
    const LockedSurface target(*this);
    if (!target)
        return;
    // Source positions step in 16.16 fixed point.
    const int64_t stepX = int64_t(srcRect.width * 65536 / destRect.width);
    const int64_t stepY = int64_t(srcRect.height * 65536 / destRect.height);
    const int64_t startX = int64_t(srcRect.x * 65536), startY = int64_t(srcRect.y * 65536);
    for (int j = j0; j < j1; ++j) {
        const int sy = std::clamp(int((startY + j * stepY) >> 16), 0, src->GetHeight() - 1);
        for (int i = i0; i < i1; ++i) {
            const int sx = std::clamp(int((startX + i * stepX) >> 16), 0, src->GetWidth() - 1);
            target.BlendPixel(destRect.x + i, destRect.y + j, pixels.At(sx, sy));
        }
    }
}

} // namespace Zant
