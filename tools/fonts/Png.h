#pragma once
// The pictures the font maker writes: 8-bit RGBA, drawn into with simple blends.
#include <cstdint>
#include <string>
#include <vector>

namespace FontTool {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB

    RgbaImage() = default;
    RgbaImage(int w, int h, uint32_t fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

    // Draws a w x h part of src at (dx, dy) onto this opaque picture, tinted: normal
    // layers blend by alpha, additive ones add their colour.
    void Draw(const RgbaImage& src, int sx, int sy, int w, int h, int dx, int dy, uint32_t tint, bool additive);
};

bool WritePng(const std::string& path, const RgbaImage& image, std::string& error);
bool WriteText(const std::string& path, const std::string& text, std::string& error);

} // namespace FontTool
