#pragma once
// 256-bit forms of the row kernels for processors with AVX2, chosen at run time. Each
// handles the leading multiple of eight pixels and returns how many it did; the
// 128-bit kernels finish the row. Results are bit-identical to PixelBlend.h.
#include <cstddef>
#include <cstdint>

#include "framework/graphics/PixelBlend.h"

namespace Zant::BlendRows::Wide {

// True when the processor has AVX2 and wide kernels are enabled.
bool Enabled();
// Tests turn the wide kernels off to check the 128-bit ones on the same machine.
void SetEnabled(bool enabled);

int BlendOpaqueDest(uint32_t* dest, const uint32_t* src, int count);
int BlendOver(uint32_t* dest, const uint32_t* src, int count);
int BlendOverColor(uint32_t* dest, uint32_t color, int count);
int BlendColorOpaqueDest(uint32_t* dest, uint32_t color, int count);
int BlendTintedOpaqueDest(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint);
int Fill(uint32_t* dest, uint32_t color, int count);
int Add(uint32_t* dest, const uint32_t* src, int count);
int AddTinted(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint);
int AddColor(uint32_t* dest, uint32_t color, int count);
// Add over whole rows (every pixel of each, tails included): a sprite's rows are short
// enough that a call per row shows.
void AddRows(uint32_t* dest, size_t destStride, const uint32_t* src, size_t srcStride, int width, int height);
// BlendTintedOpaqueDest over whole rows, tails in masked steps: glyph rows are a few
// pixels long, so the narrow kernels and a call per row were most of the cost of text.
void BlendTintedOpaqueDestRows(uint32_t* dest, size_t destStride, const uint32_t* src, size_t srcStride,
                               int width, int height, const PixelBlend::Tint& tint);
// One row of a sprite onto opaque pixels by its spans (see RowSpans): copy spans copied,
// blend spans blended (BlendOpaqueDest), skip spans passed over, each cut to the columns
// [left, right). span is the one that starts at column start; dest and src point at
// column left. Sprite edges are spans of a few pixels, drawn in one call a row rather
// than two a span, their tails in whole steps.
void DrawSpans(uint32_t* dest, const uint32_t* src, const uint16_t* span, const uint16_t* end, int start, int left,
               int right);

} // namespace Zant::BlendRows::Wide
