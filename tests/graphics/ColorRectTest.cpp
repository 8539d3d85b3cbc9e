#include <gtest/gtest.h>

#include <climits>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

using Zant::Color;
using Zant::Rect;

TEST(ColorTest, UnpacksPackedWordsWithZeroAlphaAsOpaque)
{
    struct Case {
        uint32_t packed;
        Color expected;
    };
    const Case cases[] = {
        {0x00FF0000, Color(255, 0, 0, 255)},
        {0x80FF0000, Color(255, 0, 0, 128)},
        {0x01020304, Color(2, 3, 4, 1)},
        {0xFFFFFFFF, Color(255, 255, 255, 255)},
        {0x00000000, Color(0, 0, 0, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Color(c.packed), c.expected) << std::hex << c.packed;
}

TEST(ColorTest, PacksAsAlphaRedGreenBlue)
{
    EXPECT_EQ(Color().ToInt(), 0xFF000000u);
    EXPECT_EQ(Color(0x12, 0x34, 0x56, 0x78).ToInt(), 0x78123456u);
    EXPECT_EQ(Color(1, 2, 3).ToInt(), 0xFF010203u);
    EXPECT_EQ(Color::White.ToInt(), 0xFFFFFFFFu);
    EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 5));
}

TEST(RectTest, IntersectionKeepsEdgeStripsAndZeroesMisses)
{
    struct Case {
        Rect a, b, expected;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}}, // touching: empty strip on the edge
        {{0, 0, 10, 10}, {11, 0, 5, 5}, {0, 0, 0, 0}},  // a miss
        {{0, 0, 10, 10}, {2, 3, 4, 20}, {2, 3, 4, 7}},
        {{-5, -5, 10, 10}, {0, 0, 10, 10}, {0, 0, 5, 5}},
        {{0, 0, 10, 10}, {0, 10, 10, 3}, {0, 10, 10, 0}},
        {{0, 0, 10, 10}, {-5, -5, INT_MAX, INT_MAX}, {0, 0, 10, 10}}, // edges past INT_MAX
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.Intersection(c.b), c.expected);
        EXPECT_EQ(c.b.Intersection(c.a), c.expected);
    }
}

TEST(RectTest, TouchingRectanglesDoNotIntersect)
{
    EXPECT_FALSE(Rect(0, 0, 10, 10).Intersects(Rect(10, 0, 5, 5)));
    EXPECT_FALSE(Rect(0, 0, 10, 10).Intersects(Rect(0, 10, 5, 5)));
    EXPECT_TRUE(Rect(0, 0, 10, 10).Intersects(Rect(9, 9, 5, 5)));
}
