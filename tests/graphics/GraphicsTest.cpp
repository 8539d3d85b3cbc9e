#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"

using namespace Zant;

namespace {

// An image that records what reaches it.
class RecordingImage : public Image {
public:
    struct Call {
        std::string op;
        Rect rect;      // fill, outline, blit source, stretch destination
        int x = 0, y = 0;
        FRect source;   // stretch source
        double line[4] = {};
        Color color;
        Image* image = nullptr;
    };

    RecordingImage(int width, int height)
    {
        mWidth = width;
        mHeight = height;
    }

    void FillRect(const Rect& rect, const Color& color, int) override { calls.push_back({"fill", rect, 0, 0, {}, {}, color}); }
    void DrawRect(const Rect& rect, const Color& color, int) override { calls.push_back({"rect", rect, 0, 0, {}, {}, color}); }
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int) override
    {
        calls.push_back({"line", {}, 0, 0, {}, {x1, y1, x2, y2}, color});
    }
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& tint, int) override
    {
        calls.push_back({"blt", srcRect, x, y, {}, {}, tint, src});
    }
    void StretchBlt(Image* src, const Rect& dest, const FRect& srcRect, const Color& tint, int, bool) override
    {
        calls.push_back({"stretch", dest, 0, 0, srcRect, {}, tint, src});
    }

    std::vector<Call> calls;
};

// A picture with only a size, to be drawn.
class SizedImage : public Image {
public:
    SizedImage(int width, int height)
    {
        mWidth = width;
        mHeight = height;
    }
};

} // namespace

TEST(GraphicsTest, NewContextClipsToTargetAndNullTargetDrawsNothing)
{
    RecordingImage target(30, 20);
    Graphics g(&target);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 30, 20));
    EXPECT_EQ(g.GetColor(), Color::Black);
    EXPECT_EQ(g.GetFont(), nullptr);

    Graphics none(nullptr);
    EXPECT_EQ(none.GetClipRect(), Rect(0, 0, 0, 0));
    SizedImage picture(4, 4);
    none.FillRect(0, 0, 10, 10);
    none.DrawImage(&picture, 0, 0);
    none.DrawImageBox(Rect(0, 0, 12, 12), &picture);
    none.DrawLine(0, 0, 5, 5);
    none.DrawString("text", 0, 0);
}

TEST(GraphicsTest, FillsAreTranslatedClippedAndSkippedWhenTransparent)
{
    RecordingImage target(30, 20);
    Graphics g(&target);
    g.Translate(5, 2);
    g.ClipRect(0, 0, 10, 10); // (5, 2, 10, 10) in the target
    g.SetColor(Color(1, 2, 3, 0));
    g.FillRect(0, 0, 4, 4);
    EXPECT_TRUE(target.calls.empty());

    g.SetColor(Color(1, 2, 3, 200));
    g.FillRect(-3, 8, 6, 6);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].rect, Rect(5, 10, 3, 2));
    EXPECT_EQ(target.calls[0].color, Color(1, 2, 3, 200));
}

TEST(GraphicsTest, ClipOnlyShrinksAndCopiesAreIndependent)
{
    RecordingImage target(30, 20);
    Graphics g(&target);
    g.ClipRect(5, 5, 10, 10);
    Graphics inner(g);
    inner.Translate(5, 5);
    inner.ClipRect(-100, -100, 1000, 1000);
    EXPECT_EQ(inner.GetClipRect(), Rect(5, 5, 10, 10));
    inner.ClipRect(2, 2, 100, 100);
    EXPECT_EQ(inner.GetClipRect(), Rect(7, 7, 8, 8));
    EXPECT_EQ(g.GetClipRect(), Rect(5, 5, 10, 10));
    std::unique_ptr<Graphics> copy(inner.Create());
    EXPECT_EQ(copy->GetClipRect(), Rect(7, 7, 8, 8));
    EXPECT_EQ(copy->GetTransX(), 5);
}

TEST(GraphicsTest, DrawRectInsideClipIsOneCallElseFourClippedFills)
{
    RecordingImage target(30, 20);
    Graphics g(&target);
    g.DrawRect(0, 0, 9, 4);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].op, "rect");
    EXPECT_EQ(target.calls[0].rect, Rect(0, 0, 9, 4));

    target.calls.clear();
    Graphics narrow(&target);
    narrow.ClipRect(0, 0, 9, 20); // the right column (x = 9) pokes out
    narrow.DrawRect(0, 0, 9, 4);
    ASSERT_EQ(target.calls.size(), 4u);
    EXPECT_EQ(target.calls[0].rect, Rect(0, 0, 9, 1));
    EXPECT_EQ(target.calls[1].rect, Rect(0, 4, 9, 1));
    EXPECT_EQ(target.calls[2].rect, Rect(0, 1, 1, 3));
    EXPECT_EQ(target.calls[3].rect, Rect(9, 1, 0, 3)); // cut away entirely

    target.calls.clear();
    g.DrawRect(0, 0, -1, 4);
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, DrawRectBothPathsGiveTheSamePixelsInsideTheClip)
{
    auto draw = [](const Rect& clip) {
        MemoryImage image;
        image.Create(20, 12);
        Graphics g(&image);
        g.SetColor(Color(0, 0, 200, 255));
        g.FillRect(0, 0, 20, 12);
        g.ClipRect(clip);
        g.SetColor(Color(250, 100, 0, 128));
        g.DrawRect(2, 3, 9, 4);
        return std::vector<uint32_t>(image.GetBits(), image.GetBits() + 20 * 12);
    };
    const std::vector<uint32_t> whole = draw(Rect(0, 0, 20, 12));
    const std::vector<uint32_t> cut = draw(Rect(0, 0, 11, 12)); // column 11 is outside
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(cut[y * 20 + x], x < 11 ? whole[y * 20 + x] : 0xFF0000C8u) << x << "," << y;
    // The outline covers columns 2 and 11, rows 3 and 7, nothing inside.
    EXPECT_NE(whole[3 * 20 + 11], 0xFF0000C8u);
    EXPECT_NE(whole[7 * 20 + 2], 0xFF0000C8u);
    EXPECT_EQ(whole[5 * 20 + 5], 0xFF0000C8u);
    EXPECT_EQ(whole[8 * 20 + 2], 0xFF0000C8u);
}

TEST(GraphicsTest, LinesAreClippedToTheLastRowAndColumnInside)
{
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.ClipRect(10, 20, 30, 40); // L 10, R 40, T 20, B 60
    g.DrawLine(0, 59, 80, 59);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_DOUBLE_EQ(target.calls[0].line[0], 10);
    EXPECT_DOUBLE_EQ(target.calls[0].line[2], 39);
    EXPECT_DOUBLE_EQ(target.calls[0].line[1], 59);

    target.calls.clear();
    g.DrawLine(0, 60, 80, 60);
    EXPECT_TRUE(target.calls.empty());

    const int lines[][4] = {{0, 0, 50, 90}, {50, 0, 0, 90}, {-20, 70, 60, 5}, {5, 21, 45, 59}};
    for (const auto& l : lines) {
        target.calls.clear();
        g.DrawLine(l[0], l[1], l[2], l[3]);
        ASSERT_EQ(target.calls.size(), 1u);
        const double* p = target.calls[0].line;
        for (int end = 0; end < 2; ++end) {
            EXPECT_GE(p[end * 2], 10 - 1e-9);
            EXPECT_LE(p[end * 2], 39 + 1e-9);
            EXPECT_GE(p[end * 2 + 1], 20 - 1e-9);
            EXPECT_LE(p[end * 2 + 1], 59 + 1e-9);
        }
    }
}

TEST(GraphicsTest, DrawImageClipsTheSourceWithTheDestination)
{
    RecordingImage target(50, 50);
    SizedImage picture(10, 8);
    Graphics g(&target);
    g.Translate(3, 4);
    g.ClipRect(0, 0, 8, 100); // target x 3..10
    g.DrawImage(&picture, -2, 1);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].x, 3);
    EXPECT_EQ(target.calls[0].y, 5);
    EXPECT_EQ(target.calls[0].rect, Rect(2, 0, 8, 8));
    EXPECT_EQ(target.calls[0].color, Color::White);

    target.calls.clear();
    g.SetColorizeImages(true);
    g.SetColor(Color(10, 20, 30, 40));
    g.DrawImage(&picture, 0, 0, Rect(1, 2, 9, 3));
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].rect, Rect(1, 2, 8, 3));
    EXPECT_EQ(target.calls[0].color, Color(10, 20, 30, 40));

    // Sources reaching outside the picture on any side draw nothing.
    target.calls.clear();
    g.DrawImage(&picture, 0, 0, Rect(2, 0, 9, 3));
    g.DrawImage(&picture, 0, 0, Rect(0, 6, 2, 3));
    g.DrawImage(&picture, 0, 0, Rect(-1, 0, 2, 3));
    g.DrawImage(&picture, 0, 0, Rect(0, -1, 2, 3));
    g.DrawImage(nullptr, 0, 0);
    g.DrawImage(&picture, 40, 0); // wholly clipped
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, StretchedDrawImageRecomputesTheSourceAfterClipping)
{
    RecordingImage target(50, 50);
    SizedImage picture(10, 5);
    Graphics g(&target);
    g.ClipRect(5, 0, 10, 7);
    g.DrawImage(&picture, Rect(0, 0, 20, 10), Rect(0, 0, 10, 5));
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].op, "stretch");
    EXPECT_EQ(target.calls[0].rect, Rect(5, 0, 10, 7));
    EXPECT_EQ(target.calls[0].source, FRect(2.5, 0, 5, 3.5));

    target.calls.clear();
    g.DrawImage(&picture, Rect(0, 0, 0, 10), Rect(0, 0, 10, 5));
    g.DrawImage(&picture, Rect(30, 0, 10, 10), Rect(0, 0, 10, 5));
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, NineBoxDrawsCornersOnceAndTilesTheRest)
{
    SizedImage frame(9, 6); // cells of 3 by 2
    RecordingImage exact(40, 40);
    Graphics g(&exact);
    g.DrawImageBox(Rect(1, 1, 9, 6), &frame);
    ASSERT_EQ(exact.calls.size(), 9u);
    std::vector<std::pair<int, int>> places;
    for (const auto& c : exact.calls) {
        EXPECT_EQ(c.rect.width, 3);
        EXPECT_EQ(c.rect.height, 2);
        places.push_back({c.x, c.y});
    }
    std::sort(places.begin(), places.end());
    const std::vector<std::pair<int, int>> cells = {{1, 1}, {1, 3}, {1, 5}, {4, 1}, {4, 3},
                                                     {4, 5}, {7, 1}, {7, 3}, {7, 5}};
    EXPECT_EQ(places, cells);

    // Wider: n = (14 - 3 - 1) / 3 = 3 middle columns, the last cut by the edge clip.
    RecordingImage wide(40, 40);
    Graphics w(&wide);
    w.DrawImageBox(Rect(0, 0, 14, 6), &frame);
    int topMiddle = 0;
    for (const auto& c : wide.calls) {
        if (c.y == 0 && c.rect.x == 3) {
            ++topMiddle;
            if (c.x == 9) {
                EXPECT_EQ(c.rect.width, 2);
            }
        }
    }
    EXPECT_EQ(topMiddle, 3);
    const auto& last = wide.calls[1]; // top-right corner
    EXPECT_EQ(last.x, 11);
    EXPECT_EQ(last.rect, Rect(6, 0, 3, 2));

    // A source too small for cells draws nothing.
    RecordingImage tiny(40, 40);
    Graphics t(&tiny);
    SizedImage small(2, 9);
    t.DrawImageBox(Rect(0, 0, 20, 20), &small);
    t.DrawImageBox(Rect(0, 0, 20, 20), nullptr);
    EXPECT_TRUE(tiny.calls.empty());
}

namespace {

class RecordingFont : public Font {
public:
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) override
    {
        drawn.push_back(text);
        lastColor = color;
        lastClip = clip;
        lastGraphics = g;
    }
    Font* Duplicate() override { return new RecordingFont(*this); }

    std::vector<std::string> drawn;
    Color lastColor;
    Rect lastClip;
    Graphics* lastGraphics = nullptr;
};

} // namespace

TEST(GraphicsTest, DrawStringGoesThroughTheFontWithColourAndClip)
{
    RecordingImage target(30, 20);
    Graphics g(&target);
    g.DrawString("nothing", 0, 0); // no font
    RecordingFont font;
    g.SetFont(&font);
    g.SetColor(Color(9, 8, 7));
    g.ClipRect(1, 2, 3, 4);
    g.DrawString("hello", 5, 6);
    ASSERT_EQ(font.drawn.size(), 1u);
    EXPECT_EQ(font.drawn[0], "hello");
    EXPECT_EQ(font.lastColor, Color(9, 8, 7));
    EXPECT_EQ(font.lastClip, Rect(1, 2, 3, 4));
    EXPECT_EQ(font.lastGraphics, &g);
}
