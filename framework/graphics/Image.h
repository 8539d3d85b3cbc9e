#pragma once
// The drawing target and drawable picture of the whole program. A Graphics clips
// every request before it reaches an image, so images write exactly what they are
// given; the base bodies draw nothing (except the outline and scan-line helpers).
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Zant {

// One horizontal run of a filled shape.
struct Span {
    int y = 0;
    int x = 0;
    int width = 0;
};

enum DrawMode { DRAWMODE_NORMAL = 0, DRAWMODE_ADDITIVE = 1 };

class MemoryImage;

class Image {
public:
    Image() = default;
    Image(const Image& other) = default;
    Image& operator=(const Image& other) = delete;
    virtual ~Image() = default;

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }

    virtual void FillRect(const Rect& rect, const Color& color, int drawMode) {}
    // The (width + 1) by (height + 1) outline, as four fills.
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void ClearRect(const Rect& rect) {}
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {}
    // One FillRect per span, in order.
    virtual void FillScanLines(Span* spans, int count, const Color& color, int drawMode);
    virtual void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& tint, int drawMode) {}
    virtual void BltF(Image* src, float x, float y, const Rect& srcRect, const Color& tint, int drawMode) {}
    virtual void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect,
                            const Color& tint, int drawMode, double angle, int centreX, int centreY)
    {
    }
    virtual void StretchBlt(Image* src, const Rect& destRect, const FRect& srcRect, const Color& tint,
                            int drawMode, bool fast)
    {
    }
    // The software image this one is, or null. The copies ask it of every source, a
    // sprite or a glyph at a time, where a dynamic_cast would search the types each time.
    virtual MemoryImage* AsMemoryImage() { return nullptr; }

public:
    // Cell layout of a picture strip; kept and copied with the image, not read by the drawing code.
    int mNumRows = 1;
    int mNumCols = 1;

protected:
    int mWidth = 0;
    int mHeight = 0;
};

// The software image behind image; null for none.
inline MemoryImage* MemoryImageOf(Image* image)
{
    return image != nullptr ? image->AsMemoryImage() : nullptr;
}

} // namespace Zant
