// The row kernels and the per-pixel arithmetic against the formulas written out plainly.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/BlendRowsWide.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/graphics/ImageMaking.h"

using namespace Zant;

namespace {

uint32_t Ch(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

uint32_t RefOver(uint32_t d, uint32_t s)
{
    const uint32_t sa = s >> 24, da = d >> 24;
    if (sa == 0)
        return d;
    const uint32_t a = (255 - da) * sa / 255 + da;
    const uint32_t w = sa * 255 / a;
    const uint32_t r = (Ch(d, 16) * (256 - w) + Ch(s, 16) * w) >> 8;
    const uint32_t g = (Ch(d, 8) * (256 - w) + Ch(s, 8) * w) >> 8;
    const uint32_t b = (Ch(d, 0) * (256 - w) >> 8) + (Ch(s, 0) * w >> 8);
    return a << 24 | r << 16 | g << 8 | b;
}

uint32_t RefOpaqueRun(uint32_t d, uint32_t s)
{
    const uint32_t a = s >> 24;
    const uint32_t r = (Ch(d, 16) * (256 - a) + Ch(s, 16) * a) >> 8;
    const uint32_t g = (Ch(d, 8) * (256 - a) + Ch(s, 8) * a) >> 8;
    const uint32_t b = (Ch(d, 0) * (256 - a) >> 8) + (Ch(s, 0) * a >> 8);
    return 0xFF000000 | r << 16 | g << 8 | b;
}

uint32_t RefTinted(uint32_t d, uint32_t s, const Color& tint)
{
    const uint32_t tr = tint.red * tint.alpha / 255, tg = tint.green * tint.alpha / 255,
                   tb = tint.blue * tint.alpha / 255;
    const uint32_t sa = (s >> 24) * tint.alpha / 255, da = d >> 24;
    if (sa == 0)
        return d;
    const uint32_t a = (255 - da) * sa / 255 + da;
    const uint32_t w = sa * 255 / a;
    const uint32_t r = ((Ch(s, 16) * w * tr) + Ch(d, 16) * (256 - w) * 256) >> 16;
    const uint32_t g = ((Ch(s, 8) * w * tg >> 8) + Ch(d, 8) * (256 - w)) >> 8;
    const uint32_t b = (Ch(s, 0) * w * tb >> 16) + (Ch(d, 0) * (256 - w) >> 8);
    return a << 24 | r << 16 | g << 8 | b;
}

uint32_t RefAdd(uint32_t d, uint32_t s, uint32_t tr, uint32_t tg, uint32_t tb, bool tinted)
{
    auto t = [](uint32_t v) { return v < 256 ? v : 255u; };
    auto part = [&](int shift, uint32_t f) { return tinted ? Ch(s, shift) * f >> 8 : Ch(s, shift); };
    return (d & 0xFF000000) | t(Ch(d, 16) + part(16, tr)) << 16 | t(Ch(d, 8) + part(8, tg)) << 8 |
           t(Ch(d, 0) + part(0, tb));
}

// Pixels with alphas clustered at 0, 255 and in between, as sprites have them.
std::vector<uint32_t> RandomPixels(std::mt19937& rng, int count, int opaqueOneIn)
{
    std::vector<uint32_t> pixels(count);
    for (auto& p : pixels) {
        p = rng();
        const uint32_t pick = rng() % 6;
        if (pick == 0)
            p &= 0x00FFFFFF;
        else if (pick < 3 || (opaqueOneIn > 0 && rng() % opaqueOneIn != 0))
            p |= 0xFF000000;
    }
    return pixels;
}

} // namespace

TEST(BlendRowsTest, DivisionByReciprocalIsExact)
{
    for (uint32_t d = 1; d <= 256; ++d)
        for (uint32_t n = 0; n < (1u << 17); ++n)
            ASSERT_EQ(PixelBlend::Divide(n, d), n / d) << n << "/" << d;
    for (uint32_t n = (1u << 17); n < (1u << 24); n += 4099)
        for (uint32_t d = 1; d <= 256; ++d)
            ASSERT_EQ(PixelBlend::Divide(n, d), n / d) << n << "/" << d;
}

// Both widths of vector kernels (where the processor has the wide ones) and the lengths
// that leave every kind of tail.
class BlendRowsKernelTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { BlendRows::Wide::SetEnabled(GetParam()); }
    void TearDown() override { BlendRows::Wide::SetEnabled(true); }
};

INSTANTIATE_TEST_SUITE_P(Widths, BlendRowsKernelTest, ::testing::Values(false, true));

TEST_P(BlendRowsKernelTest, KernelsMatchTheFormulasOnEveryLength)
{
    std::mt19937 rng(1234);
    const Color tints[] = {Color(255, 128, 0, 200), Color(17, 255, 90, 255), Color(255, 255, 255, 3)};
    for (int count = 0; count < 72; ++count) {
        for (int round = 0; round < 12; ++round) {
            const std::vector<uint32_t> src = RandomPixels(rng, count, 0);
            // Destinations both all-opaque (the fast lanes) and mixed.
            const std::vector<uint32_t> dest = RandomPixels(rng, count, round % 2 == 0 ? 1 : 0);

            std::vector<uint32_t> out = dest;
            BlendRows::BlendOver(out.data(), src.data(), count);
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(out[i], RefOver(dest[i], src[i])) << std::hex << dest[i] << " " << src[i];

            out = dest;
            BlendRows::BlendOpaqueDest(out.data(), src.data(), count);
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(out[i], RefOpaqueRun(dest[i], src[i])) << std::hex << dest[i] << " " << src[i];

            if (count > 0) {
                out = dest;
                BlendRows::BlendOverColor(out.data(), src[0], count);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], RefOver(dest[i], src[0]));
                out = dest;
                BlendRows::Fill(out.data(), src[0], count);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], src[0]);
                // Onto a destination taken as opaque whatever its alpha bytes say.
                out = dest;
                BlendRows::BlendColorOpaqueDest(out.data(), src[0], count);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], RefOpaqueRun(dest[i], src[0])) << std::hex << dest[i] << " " << src[0];
                out = dest;
                BlendRows::AddColor(out.data(), src[0], count);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], RefAdd(dest[i], src[0], 0, 0, 0, false));
            }
            std::vector<uint32_t> opaqueDest = dest;
            for (uint32_t& p : opaqueDest)
                p |= 0xFF000000u;

            out = dest;
            BlendRows::Add(out.data(), src.data(), count);
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(out[i], RefAdd(dest[i], src[i], 0, 0, 0, false));

            for (const Color& tint : tints) {
                const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
                out = dest;
                BlendRows::AddTinted(out.data(), src.data(), count, t);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], RefAdd(dest[i], src[i], t.r, t.g, t.b, true));
                out = dest;
                BlendRows::BlendTinted(out.data(), src.data(), count, t);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], RefTinted(dest[i], src[i], tint));
                out = opaqueDest;
                BlendRows::BlendTintedOpaqueDest(out.data(), src.data(), count, t);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(out[i], RefTinted(opaqueDest[i], src[i], tint))
                        << std::hex << opaqueDest[i] << " " << src[i];
            }
        }
    }
}

TEST_P(BlendRowsKernelTest, GlyphAndSpriteRowsOfEveryWidthMatchTheFormulas)
{
    // Glyph rows (a whole glyph in one call) and sprite rows (by their spans, cut at
    // every column) are a few pixels long: their tails are partial steps, which must
    // give the formula's pixels and write nothing past the row.
    std::mt19937 rng(99);
    const Color tints[] = {Color(255, 128, 0, 200), Color(17, 255, 90, 255), Color(255, 255, 255, 3)};
    for (int width = 1; width <= 20; ++width) {
        const int height = 3;
        const size_t destStride = size_t(width) + 9, srcStride = size_t(width) + 5;
        const std::vector<uint32_t> src = RandomPixels(rng, int(srcStride) * height, 0);
        std::vector<uint32_t> dest = RandomPixels(rng, int(destStride) * height, 0);
        for (uint32_t& p : dest)
            p |= 0xFF000000u;
        for (const Color& tint : tints) {
            const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
            std::vector<uint32_t> out = dest;
            BlendRows::BlendTintedOpaqueDestRows(out.data() + 2, destStride, src.data() + 1, srcStride, width, height,
                                                 t);
            for (int y = 0; y < height; ++y)
                for (size_t x = 0; x < destStride; ++x) {
                    const size_t at = y * destStride + x;
                    const bool inside = x >= 2 && x < size_t(width) + 2;
                    ASSERT_EQ(out[at], inside ? RefTinted(dest[at], src[y * srcStride + x - 1], tint) : dest[at])
                        << "width " << width << " row " << y << " column " << x;
                }
        }
    }

    // A sprite of short runs of every class, drawn from every column to every column.
    const uint32_t kinds[] = {0x00123456, 0xFF204060, 0x80FF0000, 0x10ABCDEF, 0xFE010203};
    const int width = 40, height = 2;
    std::vector<uint32_t> sprite;
    while (int(sprite.size()) < width * height) {
        const uint32_t p = kinds[rng() % 5] ^ (rng() & 0x00FFFFFF);
        for (int run = 1 + int(rng() % 5); run > 0; --run)
            sprite.push_back(p);
    }
    sprite.resize(size_t(width) * height);
    const std::unique_ptr<MemoryImage> source = GraphicsTest::Make(width, height, sprite);
    std::vector<uint32_t> background(size_t(width + 6) * (height + 2));
    for (uint32_t& p : background)
        p = 0xFF000000u | (rng() & 0x00FFFFFF);
    for (int left = 0; left < width; ++left) {
        for (int right = left + 1; right <= width; ++right) {
            const std::unique_ptr<MemoryImage> screen = GraphicsTest::Make(width + 6, height + 2, background);
            screen->Blt(source.get(), 3 + left, 1, Rect(left, 0, right - left, height), Color::White, 0);
            const uint32_t* out = screen->GetBits();
            for (int y = 0; y < height + 2; ++y)
                for (int x = 0; x < width + 6; ++x) {
                    const size_t at = size_t(y) * (width + 6) + x;
                    const int column = x - 3;
                    uint32_t expected = background[at];
                    if (y >= 1 && y <= height && column >= left && column < right) {
                        const uint32_t s = sprite[size_t(y - 1) * width + column];
                        expected = (s >> 24) == 255 ? s : (s >> 24) == 0 ? expected : RefOpaqueRun(expected, s);
                    }
                    ASSERT_EQ(out[at], expected) << "columns " << left << " to " << right << " at " << x << ", " << y;
                }
        }
    }
}

TEST(BlendRowsTest, SaturationTableHoldsMinOfIndexAnd255)
{
    EXPECT_EQ(PixelBlend::SATURATION_TABLE[0], 0);
    EXPECT_EQ(PixelBlend::SATURATION_TABLE[254], 254);
    EXPECT_EQ(PixelBlend::SATURATION_TABLE[255], 255);
    EXPECT_EQ(PixelBlend::SATURATION_TABLE[510], 255);
    EXPECT_EQ(PixelBlend::SATURATION_TABLE[511], 255);
}

TEST(BlendRowsTest, TintedRowsOverTransparentStretchesAndOpaqueDestinations)
{
    // Every source alpha against every tint alpha, onto opaque and translucent pixels,
    // with whole groups of transparent source pixels between them (as glyph cells have).
    std::mt19937 rng(77);
    for (uint32_t tintAlpha = 0; tintAlpha < 256; tintAlpha += 5) {
        const Color tint(int(rng() % 256), int(rng() % 256), int(rng() % 256), int(tintAlpha));
        const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
        for (uint32_t destAlpha : {255u, 254u, 0u, 128u}) {
            std::vector<uint32_t> src, dest;
            for (uint32_t sa = 0; sa < 256; ++sa) {
                const bool gap = sa % 16 < 8;
                src.push_back(gap ? rng() & 0x00FFFFFF : sa << 24 | (rng() & 0x00FFFFFF));
                dest.push_back(destAlpha << 24 | (rng() & 0x00FFFFFF));
            }
            std::vector<uint32_t> out = dest;
            BlendRows::BlendTinted(out.data(), src.data(), int(src.size()), t);
            for (size_t i = 0; i < src.size(); ++i)
                ASSERT_EQ(out[i], RefTinted(dest[i], src[i], tint))
                    << std::hex << dest[i] << " " << src[i] << " tint alpha " << std::dec << tintAlpha;
            if (destAlpha == 255) {
                out = dest;
                BlendRows::BlendTintedOpaqueDest(out.data(), src.data(), int(src.size()), t);
                for (size_t i = 0; i < src.size(); ++i)
                    ASSERT_EQ(out[i], RefTinted(dest[i], src[i], tint))
                        << std::hex << dest[i] << " " << src[i] << " tint alpha " << std::dec << tintAlpha;
            }
        }
    }
}
