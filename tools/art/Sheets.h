#pragma once
// Contact sheets: every image laid out with its name, so the whole set can be
// looked at at once.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/Manifest.h"

namespace Zant::Art {

struct PaintedImage {
    const ImageSpec* entry = nullptr;
    std::vector<uint8_t> rgba;
};

// Writes, in pages no taller than a screenful or two: <dir>/artsheet.png (real
// size), <dir>/artsheet-2x.png (double size) and <dir>/artsheet-anim.png (the
// first six cels of every strip, double size); further pages get -2, -3, ...
// Pages of an earlier run are removed first.
bool WriteContactSheets(const std::string& dir, const std::vector<PaintedImage>& images, std::string& error);

// The scenes: the images put together as the game puts them on the screen
// (play field, menu, tutor, chart, bosses with their moving parts), written as
// <dir>/artsheet-<scene>.png.
bool WriteSceneSheets(const std::string& dir, const std::vector<PaintedImage>& images, std::string& error);

// A premultiplied cairo surface of a painted image (the caller destroys it).
cairo_surface_t* SurfaceOf(const PaintedImage& image);

} // namespace Zant::Art
