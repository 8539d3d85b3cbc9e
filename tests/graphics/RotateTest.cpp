#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "tests/graphics/ImageMaking.h"

using namespace Zant;
using GraphicsTest::Make;
using GraphicsTest::Uniform;

namespace {

constexpr uint32_t RED = 0xFFFF0000;
constexpr uint32_t BLUE = 0xFF0000FF;
constexpr uint32_t BLACK = 0xFF000000;

} // namespace

TEST(RotateTest, QuarterTurnMovesAPixelRightOfTheCentreAboveIt)
{
    // Column 4 of the source is red, the rest blue; the centre is (3, 3).
    std::vector<uint32_t> pixels(64, BLUE);
    for (int y = 0; y < 8; ++y)
        pixels[y * 8 + 4] = RED;
    for (bool palettised : {false, true}) {
        auto src = Make(8, 8, pixels);
        if (palettised) {
            ASSERT_TRUE(src->Palletize());
        }
        auto dest = Uniform(40, 40, BLACK);
        dest->BltRotated(src.get(), 20, 20, Rect(0, 0, 8, 8), Rect(0, 0, 40, 40), Color::White, 0, M_PI / 2, 3, 3);
        const uint32_t* bits = dest->GetBits();
        EXPECT_EQ(bits[22 * 40 + 23], RED);  // one above the centre
        EXPECT_EQ(bits[23 * 40 + 23], BLUE); // the centre
        EXPECT_EQ(bits[24 * 40 + 23], BLUE); // one below
        EXPECT_EQ(bits[22 * 40 + 21], RED);  // the whole column became a row
    }
}

TEST(RotateTest, WithATintNothingIsDrawnButTheChangeIsMarked)
{
    auto src = Uniform(8, 8, RED);
    auto dest = Uniform(20, 20, BLACK);
    const int changes = dest->GetBitsChangedCount();
    dest->BltRotated(src.get(), 5, 5, Rect(0, 0, 8, 8), Rect(0, 0, 20, 20), Color(255, 255, 255, 254), 0, 0.3, 4, 4);
    EXPECT_EQ(dest->GetBitsChangedCount(), changes + 1);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(dest->GetBits()[i], BLACK);
}

TEST(RotateTest, BltFAtWholePixelsCopiesTheSafeInterior)
{
    std::vector<uint32_t> pixels(6 * 5);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000 | uint32_t(i * 0x070503);
    auto src = Make(6, 5, pixels);
    auto dest = Uniform(20, 20, BLACK);
    dest->BltF(src.get(), 7, 4, Rect(0, 0, 6, 5), Color::White, 0);
    const uint32_t* bits = dest->GetBits();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const int u = x - 7, v = y - 4;
            // Bilinear sampling needs the next column and row too, so the last column
            // and row (and the first column, by the run bounds) only feed neighbours.
            if (u >= 1 && u <= 4 && v >= 0 && v <= 3) {
                EXPECT_EQ(bits[y * 20 + x], pixels[v * 6 + u]) << x << "," << y;
            } else if (u < 0 || u > 5 || v < 0 || v > 4) {
                EXPECT_EQ(bits[y * 20 + x], BLACK) << x << "," << y;
            }
        }
}

TEST(RotateTest, AnyTurnStaysInsideTheClipAndTheSource)
{
    // Rotations at many angles, places, centres and sub-rectangles (also reaching past
    // the source) never read outside the source or write outside the clip.
    std::mt19937 rng(99);
    std::vector<uint32_t> pixels(13 * 9);
    for (auto& p : pixels)
        p = rng() | 0x80000000;
    auto src = Make(13, 9, pixels);
    auto indexed = Make(3, 3, {RED, BLUE, 0, 0x80FF00FF, RED, BLUE, 0, RED, RED});
    ASSERT_TRUE(indexed->Palletize());
    for (int round = 0; round < 400; ++round) {
        auto dest = Uniform(32, 24, 0x40000000);
        const Rect clip(int(rng() % 10) - 3, int(rng() % 8) - 3, int(rng() % 30), int(rng() % 24));
        const Rect part(int(rng() % 16) - 3, int(rng() % 12) - 3, int(rng() % 16), int(rng() % 12));
        const double angle = (rng() % 10000) / 10000.0 * 2 * M_PI - M_PI;
        const float x = float(rng() % 400) / 10.0f - 8, y = float(rng() % 300) / 10.0f - 6;
        MemoryImage* source = round % 4 == 0 ? indexed.get() : src.get();
        dest->BltRotated(source, x, y, part, clip, Color::White, 0, round % 7 == 0 ? 0.0 : angle,
                         int(rng() % 12) - 2, int(rng() % 12) - 2);
        const Rect inside = clip.Intersection(Rect(0, 0, 32, 24));
        const uint32_t* bits = dest->GetBits();
        for (int py = 0; py < 24; ++py)
            for (int px = 0; px < 32; ++px)
                if (!(px >= inside.x && px < inside.x + inside.width && py >= inside.y &&
                      py < inside.y + inside.height)) {
                    ASSERT_EQ(bits[py * 32 + px], 0x40000000u) << round << " at " << px << "," << py;
                }
        ASSERT_EQ(bits[32 * 24], MemoryImage::GUARD_WORD);
    }
}

TEST(RotateTest, HalfPixelPlacementBlendsNeighboursByTheWeights)
{
    // At x = 10.5 destination pixel 12 samples halfway between source columns 1 (red)
    // and 2 (blue): fx = 0x8001, fy = 1. Expected values follow the sampling and
    // blending rules step by step.
    struct Case {
        uint32_t red, blue, dest, expected;
    };
    const Case cases[] = {
        {0xFFFF0000, 0xFF0000FF, 0xFF000000, 0xFF7F007F}, // near-opaque sample: weighted average
        {0x64FF0000, 0x640000FF, 0xFF00FF00, 0xFF309C30}, // partial sample over opaque
        {0x64FF0000, 0x640000FF, 0x00000000, 0x617F007F}, // over nothing
        {0x64FF0000, 0x640000FF, 0x80FFFFFF, 0xB0B871B8}, // over half-transparent white
    };
    for (bool palettised : {false, true}) {
        for (const Case& c : cases) {
            auto src = Make(4, 3, {c.red, c.red, c.blue, c.blue, c.red, c.red, c.blue, c.blue, c.red, c.red, c.blue,
                                   c.blue});
            if (palettised) {
                ASSERT_TRUE(src->Palletize());
            }
            auto dest = Uniform(20, 10, c.dest);
            dest->BltF(src.get(), 10.5f, 5.0f, Rect(0, 0, 4, 3), Color::White, 0);
            EXPECT_EQ(dest->GetBits()[5 * 20 + 12], c.expected) << std::hex << c.dest;
            EXPECT_EQ(dest->GetBits()[7 * 20 + 12], c.dest); // the last row only feeds row 6
        }
    }
}
