#include "framework/graphics/SysFont.h"

#include <gtest/gtest.h>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextSurfaceImage.h"

using namespace Zant;

namespace {

class MetricsFont : public Font {
public:
    MetricsFont(int ascent, int height, int lineSpacingOffset)
    {
        mAscent = ascent;
        mHeight = height;
        mLineSpacingOffset = lineSpacingOffset;
    }
    Font* Duplicate() override { return new MetricsFont(*this); }
};

void FillBlack(MemoryImage& image, int w, int h)
{
    image.Create(w, h);
    uint32_t* bits = image.GetBits();
    for (int i = 0; i < w * h; ++i)
        bits[i] = 0xFF000000;
    image.BitsChanged();
}

} // namespace

TEST(Font, BaseMetrics)
{
    MetricsFont font(15, 20, -2);
    EXPECT_EQ(font.GetLineSpacing(), 18);
    EXPECT_EQ(font.GetDescent(), 5);
    EXPECT_EQ(font.StringWidth("abc"), 0);
    EXPECT_EQ(font.CharWidthKern('a', 'b'), 0);
}

TEST(SysFont, PointsToPixelsAt96Dpi)
{
    const std::pair<int, int> cases[] = {{10, 13}, {12, 16}, {14, 19}, {8, 11}, {9, 12}, {0, 0}};
    for (auto [points, pixels] : cases)
        EXPECT_EQ(SysFont::PixelSize(points), pixels) << points;
}

TEST(SysFont, SansSerifResolvesToAnInstalledFace)
{
    SysFont font(nullptr, "SansSerif", 10, 0, false, false, false);
    ASSERT_TRUE(font.IsValid());
    EXPECT_NE(font.FaceFile().find("Sans"), std::string::npos) << font.FaceFile();
    EXPECT_GT(font.GetAscent(), 8);
    EXPECT_GT(font.GetHeight(), font.GetAscent());
    EXPECT_LE(font.GetHeight(), 18);
    int sum = 0;
    for (char c : std::string("FPS: 60"))
        sum += font.CharWidth(c);
    EXPECT_EQ(font.StringWidth("FPS: 60"), sum);
    EXPECT_GT(sum, 20);
    SysFont bold(nullptr, "Arial", 9, 0, true, false, false);
    EXPECT_TRUE(bold.IsValid());
    std::unique_ptr<Font> copy(font.Duplicate());
    EXPECT_EQ(copy->StringWidth("FPS: 60"), sum);
}

TEST(SysFont, DrawsOnlyIntoSurfacesAndInsideTheClip)
{
    SysFont font(nullptr, "SansSerif", 10, 0, false, false, true);
    ASSERT_TRUE(font.IsValid());

    MemoryImage plain;
    FillBlack(plain, 80, 30);
    Graphics pg(&plain);
    pg.SetFont(&font);
    pg.SetColor(Color::White);
    pg.DrawString("FPS: 60", 2, 20);
    for (int i = 0; i < 80 * 30; ++i)
        ASSERT_EQ(plain.GetBits()[i], 0xFF000000u);

    TextSurfaceImage surface;
    FillBlack(surface, 80, 30);
    Graphics g(&surface);
    g.Translate(1, 0);
    g.ClipRect(0, 0, 40, 30);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawString("FPS: 60", 2, 20);
    const uint32_t* bits = surface.GetBits();
    int topmost = 30;
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            uint32_t p = bits[y * 80 + x];
            if (p == 0xFF000000u)
                continue;
            ++inked;
            EXPECT_LT(x, 41) << "outside the clip";
            // White on black: grey levels only.
            EXPECT_EQ((p >> 16) & 255, p & 255);
            topmost = std::min(topmost, y);
        }
    EXPECT_GT(inked, 20);
    EXPECT_GE(topmost, 20 - font.GetAscent() + 1);
}
