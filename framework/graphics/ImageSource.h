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

    // False when the image's pixels cannot be had (a surface that may not be locked).
    bool Valid() const { return mBits != nullptr; }
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

// Where a rotated copy takes its picture from and where the picture lands: the source
// rectangle cut to the source image (moving its corner moves the centre, which is
// measured from it, and the placement the other way, so the picture lands where it
// would have), and the bounding box of its corners turned by the angle whose cosine
// and sine are given.
struct RotationFrame {
    Rect win;
    double px, py;
    int cx, cy;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;

    RotationFrame(const Rect& srcRect, int srcWidth, int srcHeight, double x, double y, int centreX, int centreY,
                  double cosA, double sinA)
        : win(srcRect), px(x), py(y), cx(centreX), cy(centreY)
    {
        if (win.x < 0) {
            win.width += win.x;
            cx += win.x;
            px -= win.x;
            win.x = 0;
        }
        if (win.y < 0) {
            win.height += win.y;
            cy += win.y;
            py -= win.y;
            win.y = 0;
        }
        win.width = std::min(win.width, srcWidth - win.x);
        win.height = std::min(win.height, srcHeight - win.y);

        const double corners[4][2] = {{0, 0}, {double(win.width), 0}, {0, double(win.height)},
                                      {double(win.width), double(win.height)}};
        for (int i = 0; i < 4; ++i) {
            const double u = corners[i][0] - cx, v = corners[i][1] - cy;
            const double X = px + cx + u * cosA + v * sinA;
            const double Y = py + cy - u * sinA + v * cosA;
            minX = i == 0 ? X : std::min(minX, X);
            maxX = i == 0 ? X : std::max(maxX, X);
            minY = i == 0 ? Y : std::min(minY, Y);
            maxY = i == 0 ? Y : std::max(maxY, Y);
        }
    }
};

inline bool IsNoTint(const Color& tint)
{
    return tint == Color::White;
}

} // namespace Zant
