#pragma once
// Contact sheets: every image laid out with its name, so the whole set can be
// looked at at once.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/Manifest.h"

namespace Zant::Art {

struct PaintedImage {
    const ImageSpec* spec = nullptr;
    std::vector<uint8_t> rgba;
};

// Writes <dir>/artsheet.png (real size), <dir>/artsheet-2x-N.png (double size,
// in pages) and <dir>/artsheet-anim.png (the first six cels of every strip).
bool WriteContactSheets(const std::string& dir, const std::vector<PaintedImage>& images, std::string& error);

} // namespace Zant::Art
