// Derived data of a MemoryImage: display-format pixels, run-length tables and the
// palette form.
#include <algorithm>
#include <array>

#include "framework/graphics/MemoryImage.h"

namespace Zant {

namespace {

// Premultiplies a pixel by its alpha and places the channels with the display's masks.
uint32_t ToNative(uint32_t p, uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
{
    const uint64_t a = p >> 24;
    const uint64_t r = (((p >> 16) & 0xFF) * a) >> 8;
    const uint64_t g = (((p >> 8) & 0xFF) * a) >> 8;
    const uint64_t b = ((p & 0xFF) * a) >> 8;
    const uint64_t placed = (((r * redMask) >> 8) & redMask) | (((g * greenMask) >> 8) & greenMask) |
                            (((b * blueMask) >> 8) & blueMask);
    return uint32_t(placed) | uint32_t(a << 24);
}

// Writes, for each pixel of one row, the pixels left in its run of equal class.
template <typename ClassOf>
void EncodeRuns(uint8_t* out, int width, ClassOf classOf)
{
    int remaining = 0;
    int nextClass = -1;
    for (int x = width - 1; x >= 0; --x) {
        const int c = classOf(x);
        remaining = c == nextClass ? remaining + 1 : 1;
        nextClass = c;
        out[x] = uint8_t(std::min(remaining, 255));
    }
}

int AlphaClass(uint32_t p)
{
    const uint32_t a = p >> 24;
    return a == 0 ? 0 : a == 255 ? 1 : 2;
}

} // namespace

uint32_t* MemoryImage::GetNativeAlphaData(int bitDepth, uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
{
    const PixelFormat format{bitDepth, redMask, greenMask, blueMask};
    if (mNativeAlphaData != nullptr && mNativeFormat == format)
        return mNativeAlphaData.get();
    CommitBits();
    const uint32_t* source;
    size_t count;
    if (mColorTable != nullptr) {
        source = mColorTable.get();
        count = 256;
    } else {
        source = GetBits();
        count = PixelCount();
    }
    if (source == nullptr)
        return nullptr;
    auto native = Platform::MakeLoadingArrayForOverwrite<uint32_t>(count);
    for (size_t i = 0; i < count; ++i)
        native[i] = ToNative(source[i], redMask, greenMask, blueMask);
    mNativeAlphaData = std::move(native);
    mNativeFormat = format;
    return mNativeAlphaData.get();
}

uint8_t* MemoryImage::GetRLAlphaData()
{
    CommitBits();
    if (mRLAlphaData != nullptr)
        return mRLAlphaData.get();
    const size_t count = PixelCount();
    auto runs = Platform::MakeLoadingArrayForOverwrite<uint8_t>(count);
    if (mColorTable != nullptr && mColorIndices != nullptr) {
        std::array<uint8_t, 256> classes;
        for (int i = 0; i < 256; ++i)
            classes[i] = uint8_t(AlphaClass(mColorTable[i]));
        for (int y = 0; y < mHeight; ++y) {
            const uint8_t* row = mColorIndices.get() + size_t(y) * mWidth;
            EncodeRuns(runs.get() + size_t(y) * mWidth, mWidth, [&](int x) { return classes[row[x]]; });
        }
    } else {
        const uint32_t* bits = GetBits();
        if (bits == nullptr)
            return nullptr;
        for (int y = 0; y < mHeight; ++y) {
            const uint32_t* row = bits + size_t(y) * mWidth;
            EncodeRuns(runs.get() + size_t(y) * mWidth, mWidth, [&](int x) { return AlphaClass(row[x]); });
        }
    }
    mRLAlphaData = std::move(runs);
    return mRLAlphaData.get();
}

uint8_t* MemoryImage::GetRLAdditiveData(int bitDepth, uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
{
    const PixelFormat format{bitDepth, redMask, greenMask, blueMask};
    if (mRLAdditiveData != nullptr && mRLAdditiveFormat == format)
        return mRLAdditiveData.get();
    const uint32_t* native = GetNativeAlphaData(bitDepth, redMask, greenMask, blueMask);
    if (native == nullptr)
        return nullptr;
    const bool palettised = mColorTable != nullptr && mColorIndices != nullptr;
    auto runs = Platform::MakeLoadingArrayForOverwrite<uint8_t>(PixelCount());
    for (int y = 0; y < mHeight; ++y) {
        const size_t start = size_t(y) * mWidth;
        EncodeRuns(runs.get() + start, mWidth, [&](int x) {
            const uint32_t p = palettised ? native[mColorIndices[start + x]] : native[start + x];
            return (p & 0x00FFFFFF) == 0 ? 0 : 1;
        });
    }
    mRLAdditiveData = std::move(runs);
    mRLAdditiveFormat = format;
    return mRLAdditiveData.get();
}

bool MemoryImage::Palletize()
{
    CommitBits();
    if (mColorTable != nullptr)
        return true;
    const size_t count = PixelCount();
    const uint32_t* bits = GetBits();
    if (bits == nullptr || count == 0)
        return false;

    auto indices = Platform::MakeLoadingArrayForOverwrite<uint8_t>(count);
    auto palette = Platform::MakeLoadingArray<uint32_t>(256);
    // Distinct values sorted for bisection, each with its palette index (order of
    // first appearance).
    std::array<uint32_t, 256> sortedValues;
    std::array<uint8_t, 256> sortedIndex;
    int found = 0;
    uint32_t lastValue = bits[0];
    uint8_t lastIndex = 0;
    palette[0] = bits[0];
    sortedValues[0] = bits[0];
    sortedIndex[0] = 0;
    found = 1;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = bits[i];
        if (p != lastValue) {
            auto pos = std::lower_bound(sortedValues.begin(), sortedValues.begin() + found, p);
            const int at = int(pos - sortedValues.begin());
            if (at < found && *pos == p) {
                lastIndex = sortedIndex[at];
            } else {
                if (found == 256)
                    return false; // the unique_ptrs free the half-built palette
                std::copy_backward(sortedValues.begin() + at, sortedValues.begin() + found,
                                   sortedValues.begin() + found + 1);
                std::copy_backward(sortedIndex.begin() + at, sortedIndex.begin() + found,
                                   sortedIndex.begin() + found + 1);
                sortedValues[at] = p;
                sortedIndex[at] = uint8_t(found);
                palette[found] = p;
                lastIndex = uint8_t(found);
                ++found;
            }
            lastValue = p;
        }
        indices[i] = lastIndex;
    }
    // Unused entries repeat entry 0: the transparency scan reads all 256, and a stray
    // transparent entry would make an opaque image look transparent.
    std::fill(palette.get() + found, palette.get() + 256, palette[0]);

    mColorIndices = std::move(indices);
    mColorTable = std::move(palette);
    mBits.reset();
    mNativeAlphaData.reset();
    mExpandedBits.reset();
    return true;
}

} // namespace Zant
