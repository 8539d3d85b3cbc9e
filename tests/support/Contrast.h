#pragma once
// How well text reads on its background, by the contrast ratio of the web's
// accessibility guidelines: (L1 + 0.05) / (L2 + 0.05) of the relative luminances,
// from 1 (no contrast) to 21 (black on white); 4.5 is the least for body text.
#include <cstdint>

#include "framework/graphics/ImageLib.h"

namespace TestSupport {

// The relative luminance of an opaque pixel 0xAARRGGBB (its alpha is not looked at).
double RelativeLuminance(uint32_t pixel);
double ContrastRatio(uint32_t a, uint32_t b);

// Text drawn on a plain field inside a rectangle of a picture: the field is the
// rectangle's most frequent colour; the result is the highest contrast any pixel
// has against it (the fully covered pixels of the letters), and fieldOut gets the
// field's colour. 1 for a rectangle of one colour.
double ContrastOnField(const ImageLib::Image& picture, int x, int y, int width, int height,
                    uint32_t* fieldOut = nullptr);

} // namespace TestSupport
