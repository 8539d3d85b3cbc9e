#pragma once
// Row kernels of the software renderer: n pixels at a time, bit-identical to the
// per-pixel arithmetic of PixelBlend.h. These are the hot loops of every frame, so
// they work on four packed pixels per step where the processor allows it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/graphics/BlendRowsWide.h"
#include "framework/graphics/PixelBlend.h"

namespace Zant::BlendRows {

// Every kernel takes whether the wide (AVX2) forms may run; a copy reads the switch once
// and hands it to each of its rows.

// The opaque-destination blend (PixelBlend::BlendOpaqueDest) of src over dest.
void BlendOpaqueDest(uint32_t* dest, const uint32_t* src, int count, bool wide = Wide::Enabled());
// Exact source-over (PixelBlend::BlendOver); destination pixels that are opaque take
// the fast form, the others the full one.
void BlendOver(uint32_t* dest, const uint32_t* src, int count, bool wide = Wide::Enabled());
// Sets count pixels to color.
void Fill(uint32_t* dest, uint32_t color, int count, bool wide = Wide::Enabled());
// Source-over of one colour, as a fill does it.
void BlendOverColor(uint32_t* dest, uint32_t color, int count, bool wide = Wide::Enabled());
// The same onto pixels known to be opaque (the screen), whatever their alpha bytes hold.
void BlendColorOpaqueDest(uint32_t* dest, uint32_t color, int count, bool wide = Wide::Enabled());
// Tinted source-over (PixelBlend::BlendTinted).
void BlendTinted(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint,
                 bool wide = Wide::Enabled());
// Tinted source-over onto pixels known to be opaque (PixelBlend::BlendTintedOpaqueDest):
// how text reaches the screen.
void BlendTintedOpaqueDest(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint,
                           bool wide = Wide::Enabled());
// The same over width by height pixels of rows a stride apart (a glyph at a time).
void BlendTintedOpaqueDestRows(uint32_t* dest, size_t destStride, const uint32_t* src, size_t srcStride, int width,
                               int height, const PixelBlend::Tint& tint, bool wide = Wide::Enabled());
// Saturating additive copies (PixelBlend::Add and PixelBlend::AddTinted).
void Add(uint32_t* dest, const uint32_t* src, int count, bool wide = Wide::Enabled());
void AddTinted(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint,
               bool wide = Wide::Enabled());
// Saturating add of one colour's channels; the destination keeps its alpha.
void AddColor(uint32_t* dest, uint32_t color, int count, bool wide = Wide::Enabled());
// Copies count pixels. Opaque runs of sprites are mostly short: they are copied here
// in line rather than by a library call each.
inline void Copy(uint32_t* dest, const uint32_t* src, int count)
{
    if (count >= 64) {
        std::memmove(dest, src, size_t(count) * 4);
        return;
    }
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
#endif
    for (; i < count; ++i)
        dest[i] = src[i];
}

// Palette lookup of a run of colour indices.
void ExpandPalette(uint32_t* dest, const uint8_t* indices, const uint32_t* palette, int count);

} // namespace Zant::BlendRows
