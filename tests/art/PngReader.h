#pragma once
// Reads a PNG as 8-bit RGBA with libpng, for checking the painted images.
#include <cstdint>
#include <string>
#include <vector>

namespace ArtTest {

struct Picture {
    int width = 0, height = 0;
    bool rgba8 = false; // stored as 8-bit RGBA, as the game's art must be
    std::vector<uint8_t> pixels;

    const uint8_t* At(int x, int y) const { return &pixels[(size_t(y) * width + x) * 4]; }
};

bool ReadPng(const std::string& path, Picture& out);

} // namespace ArtTest
