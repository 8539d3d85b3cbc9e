#pragma once
// Exact per-pixel arithmetic of the software renderer on packed 0xAARRGGBB words.
// The vector row kernels (BlendRows.h) must give bit-identical results to these.
#include <array>
#include <cstdint>

namespace Zant::PixelBlend {

inline constexpr uint32_t ALPHA_MASK = 0xFF000000u;

constexpr uint32_t Alpha(uint32_t p) { return p >> 24; }
constexpr uint32_t Red(uint32_t p) { return (p >> 16) & 0xFF; }
constexpr uint32_t Green(uint32_t p) { return (p >> 8) & 0xFF; }
constexpr uint32_t Blue(uint32_t p) { return p & 0xFF; }
constexpr uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// floor(n / d) as one multiply for 1 <= d <= 256 and n * d < 2^32: the blends divide
// by a per-pixel alpha, and a reciprocal with 32 fraction bits is exact in that range,
// so the results equal plain integer division.
struct Reciprocals {
    std::array<uint64_t, 257> m{};
    constexpr Reciprocals()
    {
        for (uint64_t d = 1; d <= 256; ++d)
            m[d] = (uint64_t(1) << 32) / d + 1;
    }
};
inline constexpr Reciprocals RECIPROCALS{};

inline uint32_t Divide(uint32_t n, uint32_t d)
{
    return uint32_t((uint64_t(n) * RECIPROCALS.m[d]) >> 32);
}

// Source-over onto a pixel of any alpha: A = (255 - da) * sa / 255 + da, source weight
// w = sa * 255 / A. Red and green add both products before the shift, blue shifts each
// product first. Alpha 0 leaves the destination as it is.
inline uint32_t BlendOver(uint32_t d, uint32_t s)
{
    const uint32_t sa = Alpha(s);
    if (sa == 0)
        return d;
    const uint32_t da = Alpha(d);
    const uint32_t a = (255 - da) * sa / 255 + da;
    const uint32_t w = Divide(sa * 255, a);
    const uint32_t iw = 256 - w;
    const uint32_t r = (Red(d) * iw + Red(s) * w) >> 8;
    const uint32_t g = (Green(d) * iw + Green(s) * w) >> 8;
    const uint32_t b = ((Blue(d) * iw) >> 8) + ((Blue(s) * w) >> 8);
    return Pack(a, r, g, b);
}

// The blend onto an opaque destination, where A is 255 and w is the source alpha. The
// result is opaque whatever the destination's alpha byte says.
constexpr uint32_t BlendOpaqueDest(uint32_t d, uint32_t s)
{
    const uint32_t w = Alpha(s);
    const uint32_t iw = 256 - w;
    const uint32_t r = (Red(d) * iw + Red(s) * w) >> 8;
    const uint32_t g = (Green(d) * iw + Green(s) * w) >> 8;
    const uint32_t b = ((Blue(d) * iw) >> 8) + ((Blue(s) * w) >> 8);
    return Pack(255, r, g, b);
}

// A tint's colour channels (premultiplied by its alpha for the additive copies, see
// MakeTint and MakeBlendTint) and its alpha.
struct Tint {
    uint32_t r, g, b, a;
};

constexpr uint32_t ClampChannel(int c) { return c < 0 ? 0u : c > 255 ? 255u : uint32_t(c); }

template <typename C>
constexpr Tint MakeTint(const C& color)
{
    const uint32_t a = ClampChannel(color.alpha);
    return Tint{ClampChannel(color.red) * a / 255, ClampChannel(color.green) * a / 255,
                ClampChannel(color.blue) * a / 255, a};
}

// The tint of a source-over copy: its colour channels as they are and its alpha. The
// blend weight already carries the tint's alpha; multiplying the channels by it too
// would apply it twice and turn a translucent white tint into a darkening one.
template <typename C>
constexpr Tint MakeBlendTint(const C& color)
{
    return Tint{ClampChannel(color.red), ClampChannel(color.green), ClampChannel(color.blue),
                ClampChannel(color.alpha)};
}

// Source-over of a source multiplied by a tint.
inline uint32_t BlendTinted(uint32_t d, uint32_t s, const Tint& t)
{
    const uint32_t sa = Alpha(s) * t.a / 255;
    if (sa == 0)
        return d;
    const uint32_t da = Alpha(d);
    const uint32_t a = (255 - da) * sa / 255 + da;
    const uint32_t w = Divide(sa * 255, a);
    const uint32_t iw = 256 - w;
    const uint32_t r = (Red(s) * w * t.r + Red(d) * iw * 256) >> 16;
    const uint32_t g = (((Green(s) * w * t.g) >> 8) + Green(d) * iw) >> 8;
    const uint32_t b = ((Blue(s) * w * t.b) >> 16) + ((Blue(d) * iw) >> 8);
    return Pack(a, r, g, b);
}

// BlendTinted onto an opaque destination: A is 255 and the source weight sa * 255 / 255
// is sa itself, so no division and no test are needed (a transparent source gives the
// destination back).
constexpr uint32_t BlendTintedOpaqueDest(uint32_t d, uint32_t s, const Tint& t)
{
    const uint32_t w = Alpha(s) * t.a / 255;
    const uint32_t iw = 256 - w;
    const uint32_t r = (Red(s) * w * t.r + Red(d) * iw * 256) >> 16;
    const uint32_t g = (((Green(s) * w * t.g) >> 8) + Green(d) * iw) >> 8;
    const uint32_t b = ((Blue(s) * w * t.b) >> 16) + ((Blue(d) * iw) >> 8);
    return Pack(255, r, g, b);
}

// The additive table: entry i is min(i, 255), so a sum of two channels looks up its
// saturated value.
struct SaturationTable {
    std::array<uint8_t, 512> t{};
    constexpr SaturationTable()
    {
        for (int i = 0; i < 512; ++i)
            t[i] = uint8_t(i < 255 ? i : 255);
    }
    constexpr uint8_t operator[](int i) const { return t[i]; }
};
inline constexpr SaturationTable SATURATION_TABLE{};

// Additive: each colour channel saturates at 255; the destination keeps its alpha and
// the source alpha plays no part.
constexpr uint32_t Saturate(uint32_t v) { return v > 255 ? 255 : v; }

constexpr uint32_t Add(uint32_t d, uint32_t s)
{
    return (d & ALPHA_MASK) | (Saturate(Red(d) + Red(s)) << 16) | (Saturate(Green(d) + Green(s)) << 8) |
           Saturate(Blue(d) + Blue(s));
}

constexpr uint32_t AddTinted(uint32_t d, uint32_t s, const Tint& t)
{
    return (d & ALPHA_MASK) | (Saturate(Red(d) + ((Red(s) * t.r) >> 8)) << 16) |
           (Saturate(Green(d) + ((Green(s) * t.g) >> 8)) << 8) | Saturate(Blue(d) + ((Blue(s) * t.b) >> 8));
}

} // namespace Zant::PixelBlend
