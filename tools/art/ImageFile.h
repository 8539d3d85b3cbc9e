#pragma once
// Turns a painted cairo surface into the 8-bit RGBA pixels the game loads and
// writes them as PNG.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/Manifest.h"

namespace Zant::Art {

// Straight (not premultiplied) RGBA bytes. Opaque and additive images come out
// with alpha 255 everywhere (additive ones over black); fully transparent
// pixels take the colour of their visible neighbours so that filtering and
// tinting leave no dark fringes.
std::vector<uint8_t> ToRgba(cairo_surface_t* surface, AlphaUse alpha);

// Writes atomically (temporary file, then rename); false with a message on failure.
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, std::string& error);

} // namespace Zant::Art
