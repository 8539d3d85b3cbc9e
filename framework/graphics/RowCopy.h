#pragma once
// The straight copies, fills and additive copies of the software renderer, on rows of
// 32-bit 0xAARRGGBB pixels: a MemoryImage's own pixel array, or a locked 32-bit display
// surface whose rows lie a pitch apart. Both targets run this one code, so the screen
// gets the same kernels and the same pixels as any software image.
#include <cstddef>
#include <cstdint>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Zant {

class MemoryImage;

struct PixelRows {
    uint32_t* bits = nullptr;
    size_t stride = 0; // pixels from one row to the next
    // Every pixel is opaque: the blends take their opaque-destination forms (a surface's
    // alpha byte holds nothing and is not read).
    bool opaque = false;

    uint32_t* Row(int y) const { return bits + size_t(y) * stride; }
};

namespace RowCopy {

// Source-over of srcRect of src to (x, y), tinted unless the tint is white. The copy
// comes clipped to both images.
void Normal(const PixelRows& dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint);
// Saturating additive copy; the destination keeps its alpha.
void Additive(const PixelRows& dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint);
// Source-over of one colour over r (inside the rows); alpha 0 changes nothing.
void Fill(const PixelRows& dest, const Rect& r, const Color& color);
// Saturating add of one colour's channels over r; its alpha plays no part.
void AddFill(const PixelRows& dest, const Rect& r, const Color& color);

} // namespace RowCopy

} // namespace Zant
