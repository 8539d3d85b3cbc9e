#pragma once
// Row kernels of the software renderer: n pixels at a time, bit-identical to the
// per-pixel arithmetic of PixelBlend.h. These are the hot loops of every frame, so
// they work on four packed pixels per step where the processor allows it.
#include <cstdint>

#include "framework/graphics/PixelBlend.h"

namespace Zant::BlendRows {

// The opaque-destination blend (PixelBlend::BlendOpaqueDest) of src over dest.
void BlendOpaqueDest(uint32_t* dest, const uint32_t* src, int count);
// Exact source-over (PixelBlend::BlendOver); destination pixels that are opaque take
// the fast form, the others the full one.
void BlendOver(uint32_t* dest, const uint32_t* src, int count);
// Sets count pixels to color.
void Fill(uint32_t* dest, uint32_t color, int count);
// Source-over of one colour, as a fill does it.
void BlendOverColor(uint32_t* dest, uint32_t color, int count);
// Tinted source-over (PixelBlend::BlendTinted).
void BlendTinted(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint);
// Saturating additive copies (PixelBlend::Add and PixelBlend::AddTinted).
void Add(uint32_t* dest, const uint32_t* src, int count);
void AddTinted(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint);
// Palette lookup of a run of colour indices.
void ExpandPalette(uint32_t* dest, const uint8_t* indices, const uint32_t* palette, int count);

} // namespace Zant::BlendRows
