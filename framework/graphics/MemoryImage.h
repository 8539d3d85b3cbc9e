#pragma once
// The software image: 32-bit 0xAARRGGBB pixels in memory (or a 256-entry palette with
// one index byte per pixel), drawn by integer arithmetic. Derived data (display-format
// pixels, run-length tables) and the transparency flags are rebuilt lazily: every
// pixel write ends in BitsChanged, which drops them.
#include <cstdint>
#include <memory>

#include "framework/graphics/Image.h"
#include "framework/graphics/RowCopy.h"
#include "framework/graphics/RowSpans.h"
#include "platform/Heap.h"

namespace ImageLib {
class Image;
}

namespace Zant {

class ImageRegistry;

class MemoryImage : public Image {
public:
    // Written after the last pixel so overruns of the pixel array show.
    static constexpr uint32_t GUARD_WORD = 0x4BEEFADE;

    // Joins the registry's image set (none: a free-standing image).
    explicit MemoryImage(ImageRegistry* app = nullptr);
    MemoryImage(const MemoryImage& other);
    ~MemoryImage() override;

    // Fills blend (the draw mode is not used); rectangles come clipped from Graphics
    // and are also kept inside the image here.
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    // Lines are drawn only by display images.
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override {}
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& tint, int drawMode) override;
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Color& tint, int drawMode) override;
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& tint,
                    int drawMode, double angle, int centreX, int centreY) override;
    void StretchBlt(Image* src, const Rect& destRect, const FRect& srcRect, const Color& tint, int drawMode,
                    bool fast) override;
    MemoryImage* AsMemoryImage() override { return this; }

    // Pixels premultiplied by alpha and placed in a display format (16 or 32 bits);
    // for a palettised image, its 256 entries converted.
    virtual uint32_t* GetNativeAlphaData(int bitDepth, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
    // One byte per pixel: the pixels left in its run of equal class (transparent,
    // opaque, partial), capped at 255; runs end at row ends.
    virtual uint8_t* GetRLAlphaData();
    // The rows as skip / copy / blend spans for copies onto opaque images, built from
    // the draw pixels and kept until the next change; null without pixels.
    const RowSpans* GetRowSpans();
    // The same with the classes black and not black, from the native data.
    virtual uint8_t* GetRLAdditiveData(int bitDepth, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
    virtual void DeleteExtraBuffers();
    virtual void BitsChanged();
    // Recomputes the transparency flags when the pixels changed (unless they were fixed
    // with SetImageMode).
    virtual void CommitBits();
    virtual void DeleteNativeData();
    virtual void Clear();
    virtual void SetBits(const uint32_t* pixels, int width, int height);
    // The same without a copy: pixels holds width * height words and one spare word
    // after them, and the image keeps the array.
    void TakeBits(Platform::LoadingArray<uint32_t> pixels, int width, int height);
    // A decoded picture's pixels, taken over; the picture is left empty.
    void TakeBits(ImageLib::Image& picture);
    virtual void Create(int width, int height);
    // The pixel array (width * height words and the guard word), made on demand; a
    // palettised image turns back into pixels. Call BitsChanged after writing through it.
    virtual uint32_t* GetBits();
    virtual void SetImageMode(bool hasTransparency, bool hasAlpha);
    virtual void SetVolatile(bool isVolatile);
    // Converts to palette form when the image has at most 256 distinct pixel values.
    virtual bool Palletize();
    // Becomes a copy of a palettised image's size, table and indices (one byte a
    // pixel, not four); false, leaving this image as it is, when source has no palette.
    bool CopyPalette(const MemoryImage& source);
    // Reverses each row, or the order of the rows, in whichever form the image holds
    // its pixels: a palettised image keeps its palette.
    void MirrorHorizontally();
    void FlipVertically();

    // The pixels the copy operations read from this image: the pixel array, or for a
    // palettised image its pixels expanded once and kept until the next change, so a
    // palettised sprite draws as fast as a 32-bit one.
    const uint32_t* GetDrawBits();

    int GetBitsChangedCount() const { return mBitsChangedCount; }
    bool HasTransparency() const { return mHasTrans; }
    bool HasAlpha() const { return mHasAlpha; }
    bool IsVolatile() const { return mIsVolatile; }
    bool IsForcedMode() const { return mForcedMode; }
    bool HasBits() const { return mBits != nullptr; }
    bool IsPalettized() const { return mColorTable != nullptr; }
    const uint32_t* GetColorTable() const { return mColorTable.get(); }
    const uint8_t* GetColorIndices() const { return mColorIndices.get(); }
    bool HasNativeAlphaData() const { return mNativeAlphaData != nullptr; }
    bool HasRLAlphaData() const { return mRLAlphaData != nullptr; }
    bool HasRLAdditiveData() const { return mRLAdditiveData != nullptr; }
    bool HasExpandedBits() const { return mExpandedBits != nullptr; }
    ImageRegistry* GetApp() const { return mApp; }
    // Wholly opaque by flags that are up to date (no rescan needed).
    bool IsKnownOpaque() const { return !mForcedMode && !mBitsChanged && !mHasTrans && !mHasAlpha; }

    // Left for the 3D renderer: its texture set and a flags word.
    void* mD3DData = nullptr;
    uint32_t mD3DFlags = 0;

protected:
    struct PixelFormat {
        int bitDepth = 0;
        uint32_t redMask = 0, greenMask = 0, blueMask = 0;
        bool operator==(const PixelFormat& other) const = default;
    };

    size_t PixelCount() const { return size_t(mWidth) * size_t(mHeight); }
    void FreeBits() { mBits.reset(); }
    // Ends a blend. Source-over, additive and resampled writes leave an opaque pixel
    // opaque, so an image known to be wholly opaque beforehand keeps fresh flags and
    // the next copy need not rescan it.
    void EndBlend(bool wasKnownOpaque);
    // The pixel array as rows for the copy operations (null bits when it cannot be had).
    PixelRows Rows(bool opaque);

    // The per-pixel arrays live in loading memory: large pages while a loading is open.
    Platform::LoadingArray<uint32_t> mBits;
    int mBitsChangedCount = 0;
    Platform::LoadingArray<uint32_t> mColorTable;
    Platform::LoadingArray<uint8_t> mColorIndices;
    bool mForcedMode = false;
    bool mHasTrans = false;
    bool mHasAlpha = false;
    bool mIsVolatile = false;
    Platform::LoadingArray<uint32_t> mNativeAlphaData;
    PixelFormat mNativeFormat;
    Platform::LoadingArray<uint8_t> mRLAlphaData;
    Platform::LoadingArray<uint8_t> mRLAdditiveData;
    PixelFormat mRLAdditiveFormat;
    Platform::LoadingArray<uint32_t> mExpandedBits; // width * height + 1 words, guard word included
    std::unique_ptr<RowSpans> mRowSpans;
    bool mBitsChanged = false;
    ImageRegistry* mApp = nullptr;

private:
    void NormalBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint);
    void AdditiveBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint);
    void NearestStretch(MemoryImage* src, const Rect& destRect, const FRect& srcRect);
    void FilteredStretch(MemoryImage* src, const Rect& destRect, const FRect& srcRect);
};

} // namespace Zant
