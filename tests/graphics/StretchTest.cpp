#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/graphics/ImageMaking.h"
#include "framework/graphics/PixelBlend.h"

using namespace Zant;
using GraphicsTest::Make;
using GraphicsTest::Uniform;

namespace {

// Each channel within tolerance of the expected pixel.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(StretchTest, NearestDoublesEachPixelFromTheTopLeft)
{
    const std::vector<uint32_t> source = {0xFF112233, 0x80445566, 0x00778899, 0xFFAABBCC};
    for (bool palettised : {false, true}) {
        auto src = Make(2, 2, source);
        if (palettised) {
            ASSERT_TRUE(src->Palletize());
        }
        auto dest = Uniform(6, 6, 0xFF000000);
        Graphics g(dest.get());
        g.SetFastStretch(true);
        g.DrawImage(src.get(), Rect(1, 1, 4, 4), Rect(0, 0, 2, 2));
        const uint32_t* bits = dest->GetBits();
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
                const uint32_t expected =
                    inside ? PixelBlend::BlendOver(0xFF000000, source[((y - 1) / 2) * 2 + (x - 1) / 2]) : 0xFF000000;
                EXPECT_EQ(bits[y * 6 + x], expected) << x << "," << y;
            }
    }
}

TEST(StretchTest, NearestWithATintDrawsNothingButMarksTheChange)
{
    auto src = Uniform(2, 2, 0xFFFFFFFF);
    auto dest = Uniform(4, 4, 0xFF000000);
    const int changes = dest->GetBitsChangedCount();
    dest->StretchBlt(src.get(), Rect(0, 0, 4, 4), FRect(0, 0, 2, 2), Color(255, 0, 0), 0, true);
    EXPECT_EQ(dest->GetBitsChangedCount(), changes + 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(dest->GetBits()[i], 0xFF000000u);
}

TEST(StretchTest, FilteredUniformImageKeepsItsColourAtAnySize)
{
    struct Case {
        int width, height;
        uint32_t dest;
    };
    // Into nothing the source weight is 255, so a channel of 255 comes out as 254.
    const Case cases[] = {{8, 8, 0x00000000}, {3, 3, 0x00000000}, {13, 2, 0x00000000},
                          {8, 8, 0xFF0000FF}, {3, 3, 0xFF0000FF}, {1, 1, 0x80808080}};
    for (bool palettised : {false, true}) {
        for (const Case& c : cases) {
            auto src = Uniform(4, 4, 0xFFFF0000);
            if (palettised) {
                ASSERT_TRUE(src->Palletize());
            }
            auto dest = Uniform(c.width, c.height, c.dest);
            Graphics g(dest.get());
            g.DrawImage(src.get(), Rect(0, 0, c.width, c.height), Rect(0, 0, 4, 4));
            for (int i = 0; i < c.width * c.height; ++i)
                EXPECT_TRUE(Near(dest->GetBits()[i], 0xFFFF0000, 1)) << c.width << "x" << c.height << " at " << i;
        }
    }
}

TEST(StretchTest, FilteredShrinkAveragesAreas)
{
    // Two columns, opaque white and transparent white, averaged into one pixel.
    auto src = Make(2, 1, {0xFFFFFFFF, 0x00FFFFFF});
    auto dest = Uniform(1, 1, 0x00000000);
    dest->StretchBlt(src.get(), Rect(0, 0, 1, 1), FRect(0, 0, 2, 1), Color::White, 0, false);
    EXPECT_TRUE(Near(dest->GetBits()[0], 0x7FFEFEFE, 1));

    // Growing a black-to-white pair interpolates between the two.
    auto pair = Make(2, 1, {0xFF000000, 0xFFFFFFFF});
    auto wide = Uniform(8, 1, 0x00000000);
    wide->StretchBlt(pair.get(), Rect(0, 0, 8, 1), FRect(0, 0, 2, 1), Color::White, 0, false);
    const uint32_t* bits = wide->GetBits();
    for (int i = 1; i < 8; ++i)
        EXPECT_GE(bits[i] & 0xFF, bits[i - 1] & 0xFF);
    EXPECT_LT(bits[0] & 0xFF, 10u);
    EXPECT_GT(bits[7] & 0xFF, 245u);
}

TEST(StretchTest, SourcesReachingOutsideTheImageAreClamped)
{
    auto src = Uniform(3, 3, 0xFF00FF00);
    for (bool fast : {false, true}) {
        auto dest = Uniform(10, 10, 0xFF000000);
        dest->StretchBlt(src.get(), Rect(-3, -3, 16, 16), FRect(-2.5, -1.25, 9.5, 7), Color::White, 0, fast);
        dest->StretchBlt(src.get(), Rect(2, 2, 5, 5), FRect(40, 40, 3, 3), Color::White, 0, fast);
        EXPECT_EQ(dest->GetBits()[100], MemoryImage::GUARD_WORD);
        EXPECT_TRUE(Near(dest->GetBits()[55], 0xFF00FF00, 1));
    }
}
