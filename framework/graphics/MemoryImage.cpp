#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/ImageRegistry.h"

namespace Zant {

namespace {

template <typename T>
Platform::LoadingArray<T> CopyArray(const Platform::LoadingArray<T>& from, size_t count)
{
    if (from == nullptr)
        return nullptr;
    auto copy = Platform::MakeLoadingArrayForOverwrite<T>(count);
    std::copy_n(from.get(), count, copy.get());
    return copy;
}

// The part of rect that lies inside a width by height image.
Rect InsideImage(const Rect& rect, int width, int height)
{
    if (rect.width <= 0 || rect.height <= 0)
        return Rect();
    return rect.Intersection(Rect(0, 0, width, height));
}

} // namespace

MemoryImage::MemoryImage(ImageRegistry* app) : mApp(app)
{
    if (mApp != nullptr)
        mApp->AddImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other), mHasTrans(other.mHasTrans), mHasAlpha(other.mHasAlpha), mIsVolatile(other.mIsVolatile),
      mBitsChanged(other.mBitsChanged), mApp(other.mApp)
{
    const size_t count = PixelCount();
    if (other.mBits == nullptr && other.mColorTable == nullptr) {
        // A blank source is copied as blank pixels; the source itself stays as it is.
        mBits = Platform::MakeLoadingArray<uint32_t>(count + 1);
        mBits[count] = GUARD_WORD;
    } else {
        mBits = CopyArray(other.mBits, count + 1);
    }
    mColorTable = CopyArray(other.mColorTable, 256);
    mColorIndices = CopyArray(other.mColorIndices, count);
    mNativeAlphaData = CopyArray(other.mNativeAlphaData, other.mColorTable != nullptr ? 256 : count);
    mNativeFormat = other.mNativeFormat;
    mRLAlphaData = CopyArray(other.mRLAlphaData, count);
    mRLAdditiveData = CopyArray(other.mRLAdditiveData, count);
    mRLAdditiveFormat = other.mRLAdditiveFormat;
    if (mApp != nullptr)
        mApp->AddImage(this);
}

MemoryImage::~MemoryImage()
{
    if (mApp != nullptr)
        mApp->ForgetImage(this);
}

void MemoryImage::BitsChanged()
{
    ++mBitsChangedCount;
    mBitsChanged = true;
    DeleteExtraBuffers();
}

void MemoryImage::EndBlend(bool wasKnownOpaque)
{
    BitsChanged();
    if (wasKnownOpaque)
        mBitsChanged = false;
}

void MemoryImage::CommitBits()
{
    if (!mBitsChanged || mForcedMode)
        return;
    mHasAlpha = false;
    bool hasTrans = false;
    bool hasAlpha = false;
    // In blocks, so the scan of a sprite stops once it has met both kinds of pixel.
    auto scan = [&](const uint32_t* pixels, size_t count) {
        constexpr size_t BLOCK = 256;
        for (size_t start = 0; start < count && !(hasTrans && hasAlpha); start += BLOCK) {
            const size_t end = std::min(count, start + BLOCK);
            for (size_t i = start; i < end; ++i) {
                const uint32_t a = pixels[i] >> 24;
                hasTrans |= a == 0;
                hasAlpha |= a - 1 < 254;
            }
        }
    };
    if (mBits != nullptr)
        scan(mBits.get(), PixelCount());
    else if (mColorTable != nullptr)
        scan(mColorTable.get(), 256);
    else
        hasTrans = true;
    mHasTrans = hasTrans;
    mHasAlpha = hasAlpha;
    mBitsChanged = false;
}

void MemoryImage::SetImageMode(bool hasTransparency, bool hasAlpha)
{
    mForcedMode = true;
    mHasTrans = hasTransparency;
    mHasAlpha = hasAlpha;
}

void MemoryImage::SetVolatile(bool isVolatile)
{
    mIsVolatile = isVolatile;
}

uint32_t* MemoryImage::GetBits()
{
    if (mBits != nullptr)
        return mBits.get();
    const size_t count = PixelCount();
    if (mColorTable != nullptr && mColorIndices != nullptr) {
        mBits = std::move(mExpandedBits);
        if (mBits == nullptr) {
            mBits = Platform::MakeLoadingArrayForOverwrite<uint32_t>(count + 1);
            BlendRows::ExpandPalette(mBits.get(), mColorIndices.get(), mColorTable.get(), int(count));
        }
        mColorIndices.reset();
        mColorTable.reset();
        mNativeAlphaData.reset();
    } else {
        mBits = Platform::MakeLoadingArray<uint32_t>(count + 1);
        mColorTable.reset();
    }
    mBits[count] = GUARD_WORD;
    return mBits.get();
}

bool MemoryImage::CopyPalette(const MemoryImage& source)
{
    if (source.mColorTable == nullptr || source.mColorIndices == nullptr)
        return false;
    mWidth = source.mWidth;
    mHeight = source.mHeight;
    mBits.reset();
    mColorTable = CopyArray(source.mColorTable, 256);
    mColorIndices = CopyArray(source.mColorIndices, PixelCount());
    BitsChanged();
    return true;
}

namespace {

// Rows of width elements, count of them: each reversed, or their order reversed.
template <typename T>
void MirrorRows(T* rows, int width, int height)
{
    for (int y = 0; y < height; ++y)
        std::reverse(rows + size_t(y) * width, rows + size_t(y + 1) * width);
}

template <typename T>
void FlipRows(T* rows, int width, int height)
{
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(rows + size_t(y) * width, rows + size_t(y + 1) * width, rows + size_t(height - 1 - y) * width);
}

} // namespace

void MemoryImage::MirrorHorizontally()
{
    if (mBits == nullptr && mColorIndices != nullptr)
        MirrorRows(mColorIndices.get(), mWidth, mHeight);
    else if (mBits != nullptr)
        MirrorRows(mBits.get(), mWidth, mHeight);
    else
        return;
    BitsChanged();
}

void MemoryImage::FlipVertically()
{
    if (mBits == nullptr && mColorIndices != nullptr)
        FlipRows(mColorIndices.get(), mWidth, mHeight);
    else if (mBits != nullptr)
        FlipRows(mBits.get(), mWidth, mHeight);
    else
        return;
    BitsChanged();
}

void MemoryImage::SetBits(const uint32_t* pixels, int width, int height)
{
    const size_t count = size_t(std::max(width, 0)) * size_t(std::max(height, 0));
    Platform::LoadingArray<uint32_t> copy;
    if (pixels != nullptr) {
        copy = Platform::MakeLoadingArrayForOverwrite<uint32_t>(count + 1);
        std::copy_n(pixels, count, copy.get());
    } else {
        copy = Platform::MakeLoadingArray<uint32_t>(count + 1);
    }
    TakeBits(std::move(copy), width, height);
}

void MemoryImage::TakeBits(Platform::LoadingArray<uint32_t> pixels, int width, int height)
{
    mColorTable.reset();
    mColorIndices.reset();
    mWidth = std::max(width, 0);
    mHeight = std::max(height, 0);
    mBits = std::move(pixels);
    if (mBits == nullptr)
        mBits = Platform::MakeLoadingArray<uint32_t>(PixelCount() + 1);
    mBits[PixelCount()] = GUARD_WORD;
    BitsChanged();
    CommitBits();
}

void MemoryImage::TakeBits(ImageLib::Image& picture)
{
    const int width = std::max(picture.GetWidth(), 0), height = std::max(picture.GetHeight(), 0);
    // A picture whose size was changed by hand without its pixels comes out blank
    // rather than read or written past its array.
    const bool whole = picture.mBits.size() == size_t(width) * size_t(height);
    Platform::LoadingArray<uint32_t> pixels = picture.ReleaseBits();
    TakeBits(whole ? std::move(pixels) : nullptr, width, height);
}

void MemoryImage::Create(int width, int height)
{
    mBits.reset();
    mColorTable.reset();
    mColorIndices.reset();
    mWidth = std::max(width, 0);
    mHeight = std::max(height, 0);
    mHasTrans = true;
    mHasAlpha = true;
    BitsChanged();
}

void MemoryImage::Clear()
{
    uint32_t* bits = GetBits();
    if (bits == nullptr)
        return;
    std::fill_n(bits, PixelCount(), 0u);
    BitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect)
{
    Rect r = InsideImage(rect, mWidth, mHeight);
    uint32_t* bits = GetBits();
    if (bits != nullptr) {
        for (int y = r.y; y < r.y + r.height; ++y)
            std::fill_n(bits + size_t(y) * mWidth + r.x, r.width, 0u);
    }
    BitsChanged();
}

void MemoryImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    // A fully transparent fill changes nothing (and would divide by a zero alpha on
    // transparent pixels).
    if (color.alpha <= 0)
        return;
    const Rect r = InsideImage(rect, mWidth, mHeight);
    const bool wasKnownOpaque = IsKnownOpaque();
    const PixelRows rows = Rows(wasKnownOpaque);
    if (rows.bits == nullptr)
        return;
    RowCopy::Fill(rows, r, color);
    EndBlend(wasKnownOpaque);
}

void MemoryImage::DeleteExtraBuffers()
{
    mNativeAlphaData.reset();
    mRLAlphaData.reset();
    mRLAdditiveData.reset();
    mExpandedBits.reset();
    mRowSpans.reset();
}

const uint32_t* MemoryImage::GetDrawBits()
{
    if (mColorTable == nullptr || mColorIndices == nullptr)
        return GetBits();
    if (mExpandedBits == nullptr) {
        const size_t count = PixelCount();
        mExpandedBits = Platform::MakeLoadingArrayForOverwrite<uint32_t>(count + 1);
        BlendRows::ExpandPalette(mExpandedBits.get(), mColorIndices.get(), mColorTable.get(), int(count));
        mExpandedBits[count] = GUARD_WORD;
    }
    return mExpandedBits.get();
}

const RowSpans* MemoryImage::GetRowSpans()
{
    if (mRowSpans == nullptr) {
        const uint32_t* pixels = GetDrawBits();
        if (pixels == nullptr)
            return nullptr;
        mRowSpans = std::make_unique<RowSpans>(pixels, mWidth, mHeight);
    }
    return mRowSpans.get();
}

void MemoryImage::DeleteNativeData()
{
    mNativeAlphaData.reset();
    mRLAdditiveData.reset();
}

void MemoryImage::BltF(Image* src, float x, float y, const Rect& srcRect, const Color& tint, int drawMode)
{
    BltRotated(src, x, y, srcRect, Rect(0, 0, mWidth, mHeight), tint, drawMode, 0.0, 0, 0);
}

} // namespace Zant
