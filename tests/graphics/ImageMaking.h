#pragma once
// Memory images made from given pixels for the drawing tests.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/MemoryImage.h"

namespace GraphicsTest {

inline std::unique_ptr<Zant::MemoryImage> Make(int width, int height, const std::vector<uint32_t>& pixels)
{
    auto image = std::make_unique<Zant::MemoryImage>();
    image->SetBits(pixels.data(), width, height);
    return image;
}

// Every pixel the same.
inline std::unique_ptr<Zant::MemoryImage> Uniform(int width, int height, uint32_t pixel)
{
    return Make(width, height, std::vector<uint32_t>(size_t(width) * height, pixel));
}

} // namespace GraphicsTest
