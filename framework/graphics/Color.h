#pragma once
// A colour as four channels of 0..255. Packed words are 0xAARRGGBB.
#include <cstdint>

namespace Zant {

struct Color {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 255;

    constexpr Color() = default;
    constexpr Color(int r, int g, int b) : red(r), green(g), blue(b), alpha(255) {}
    constexpr Color(int r, int g, int b, int a) : red(r), green(g), blue(b), alpha(a) {}
    // A packed alpha of 0 reads as opaque, so plain 0xRRGGBB constants are solid colours.
    constexpr explicit Color(uint32_t packed)
        : red((packed >> 16) & 0xFF), green((packed >> 8) & 0xFF), blue(packed & 0xFF),
          alpha((packed >> 24) == 0 ? 255 : int(packed >> 24))
    {
    }

    constexpr uint32_t ToInt() const
    {
        return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    }

    constexpr bool operator==(const Color& other) const = default;

    static const Color Black;
    // Image-drawing calls take this as "no tint".
    static const Color White;
};

inline constexpr Color Color::Black{0, 0, 0, 255};
inline constexpr Color Color::White{255, 255, 255, 255};

} // namespace Zant
