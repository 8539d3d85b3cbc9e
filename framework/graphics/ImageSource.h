#pragma once
// Read access to the pixels of a source image for the copy operations (palettised
// images are read through their expanded pixels). Also the clipping shared by them and
// per-thread scratch rows, so no copy allocates once its buffers have grown.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/graphics/MemoryImage.h"

namespace Zant {

class ImageSource {
public:
    explicit ImageSource(MemoryImage* image)
        : mWidth(image->GetWidth()), mHeight(image->GetHeight()), mBits(image->GetDrawBits())
    {
    }

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    uint32_t At(int x, int y) const { return mBits[size_t(y) * mWidth + x]; }
    const uint32_t* Row(int x, int y) const { return mBits + size_t(y) * mWidth + x; }

private:
    int mWidth;
    int mHeight;
    const uint32_t* mBits;
};

// A per-thread buffer of at least count elements; it only ever grows.
template <typename T>
T* ScratchBuffer(size_t count)
{
    thread_local std::vector<T> buffer;
    if (buffer.size() < count)
        buffer.resize(count);
    return buffer.data();
}

// Fits a copy of srcRect to (x, y) inside both images: the source rectangle is cut to
// the source image (moving the destination with it) and to the destination's bounds.
// False when nothing is left.
inline bool ClipCopy(int destWidth, int destHeight, int srcWidth, int srcHeight, int& x, int& y, Rect& srcRect)
{
    // In 64 bits, so no argument can overflow the edge sums.
    int64_t sx = srcRect.x, sy = srcRect.y, w = srcRect.width, h = srcRect.height, dx = x, dy = y;
    auto cut = [](int64_t& start, int64_t& length, int64_t& place, int64_t limit) {
        // Cut the source to [0, limit) and keep the place in step.
        if (start < 0) {
            length += start;
            place -= start;
            start = 0;
        }
        length = std::min(length, limit - start);
    };
    cut(sx, w, dx, srcWidth);
    cut(sy, h, dy, srcHeight);
    cut(dx, w, sx, destWidth);
    cut(dy, h, sy, destHeight);
    if (w <= 0 || h <= 0)
        return false;
    x = int(dx);
    y = int(dy);
    srcRect = Rect(int(sx), int(sy), int(w), int(h));
    return true;
}

inline bool IsNoTint(const Color& tint)
{
    return tint == Color::White;
}

} // namespace Zant
