#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelBlend.h"
#include "tests/graphics/ImageMaking.h"

using namespace Zant;
using GraphicsTest::Make;

namespace {

std::vector<uint32_t> Pixels(MemoryImage& image)
{
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + image.GetWidth() * image.GetHeight());
}

uint32_t BlitOne(uint32_t dest, uint32_t src, const Color& tint = Color::White, int mode = 0)
{
    std::unique_ptr<MemoryImage> d(Make(1, 1, {dest}));
    std::unique_ptr<MemoryImage> s(Make(1, 1, {src}));
    d->Blt(s.get(), 0, 0, Rect(0, 0, 1, 1), tint, mode);
    return d->GetBits()[0];
}

} // namespace

TEST(BltTest, OneSourcePixelOnEachPath)
{
    struct Case {
        const char* what;
        uint32_t dest, src;
        Color tint;
        int mode;
        uint32_t expected;
    };
    const Case cases[] = {
        {"run-length copy onto opaque", 0xFF0000FF, 0xFFFF0000, Color::White, 0, 0xFFFF0000},
        {"run-length partial", 0xFF0000FF, 0x80FF0000, Color::White, 0, 0xFF7F007F},
        {"run-length skips transparent", 0xFF0000FF, 0x00FF0000, Color::White, 0, 0xFF0000FF},
        {"plain path onto alpha", 0x800000FF, 0xFFFF0000, Color::White, 0, 0xFFFE0000},
        {"plain path onto nothing", 0x00000000, 0x80FF0000, Color::White, 0, 0x80FE0000},
        {"tinted", 0xFF000000, 0xFFFFFFFF, Color(255, 128, 0, 200), 0, 0xFFC66300},
        // The tint's alpha fades the copy once, as any alpha does: not darker than half.
        {"tinted translucent white", 0xFF000000, 0xFFFFFFFF, Color(255, 255, 255, 128), 0, 0xFF7F7F7F},
        {"tinted, alpha to nothing", 0xFF000000, 0x01FFFFFF, Color(255, 255, 255, 100), 0, 0xFF000000},
        {"additive", 0x40643200, 0x00C8C8C8, Color::White, 1, 0x40FFFAC8},
        {"additive tinted", 0x40643200, 0xFFC8C8C8, Color(255, 128, 0, 255), 1, 0x40FF9600},
        {"unknown mode", 0xFF0000FF, 0xFFFF0000, Color::White, 2, 0xFF0000FF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BlitOne(c.dest, c.src, c.tint, c.mode), c.expected) << c.what;
}

TEST(BltTest, RunLengthPathEqualsThePerPixelRuleOnSprites)
{
    // A sprite wider than the 255-pixel run cap, with runs of every class, drawn from a
    // sub-rectangle that starts inside a run, pixel array and palette alike.
    std::mt19937 rng(7);
    const int width = 600, height = 5;
    const uint32_t palette[] = {0x00000000, 0xFF204060, 0xFFFFFFFF, 0x80FF0000, 0x10ABCDEF, 0xFE010203};
    std::vector<uint32_t> sprite;
    while (int(sprite.size()) < width * height) {
        const uint32_t p = palette[rng() % 6];
        const int run = 1 + rng() % (rng() % 4 == 0 ? 400 : 6);
        for (int i = 0; i < run; ++i)
            sprite.push_back(p);
    }
    sprite.resize(width * height);
    std::vector<uint32_t> background(640 * 8);
    for (auto& p : background)
        p = 0xFF000000 | (rng() & 0xFFFFFF);

    const Rect part(3, 1, 590, 4);
    std::vector<uint32_t> expected = background;
    for (int y = 0; y < part.height; ++y) {
        for (int x = 0; x < part.width; ++x) {
            const uint32_t s = sprite[(part.y + y) * width + part.x + x];
            uint32_t& d = expected[(2 + y) * 640 + 20 + x];
            const uint32_t a = s >> 24;
            d = a == 255 ? s : a == 0 ? d : PixelBlend::BlendOpaqueDest(d, s);
        }
    }

    for (bool palettised : {false, true}) {
        std::unique_ptr<MemoryImage> src(Make(width, height, sprite));
        if (palettised) {
            ASSERT_TRUE(src->Palletize());
        }
        std::unique_ptr<MemoryImage> dest(Make(640, 8, background));
        dest->Blt(src.get(), 20, 2, part, Color::White, 0);
        EXPECT_EQ(Pixels(*dest), expected) << palettised;
        EXPECT_EQ(dest->GetBits()[640 * 8], MemoryImage::GUARD_WORD);
    }
}

TEST(BltTest, PalettisedSourcesDrawLikeTheirPixels)
{
    const std::vector<uint32_t> sprites[] = {
        {0x00000000, 0x80FF8000, 0xFF00FF00, 0x40102030, 0xFF00FF00, 0x80FF8000, 0x00000000, 0xC0FFFFFF},
        {0xFF000000, 0xFF00FF00, 0xFF00FF00, 0xFF102030, 0xFF00FF00, 0xFFFF8000, 0xFF000000, 0xFFFFFFFF}};
    const std::vector<uint32_t> dests[] = {
        {0x80000000, 0x00FFFFFF, 0xFF123456, 0x7F7F7F7F, 0x01020304, 0xFFFFFFFF, 0x80808080, 0x00000000},
        std::vector<uint32_t>(8, 0xFF203040)};
    const Color tints[] = {Color::White, Color(200, 100, 50, 150)};
    for (int mode : {0, 1}) {
        for (int k = 0; k < 4; ++k) {
            const std::vector<uint32_t>& sprite = sprites[k % 2];
            const std::vector<uint32_t>& dest = dests[k / 2];
            const Color& tint = tints[(k + mode) % 2];
            std::unique_ptr<MemoryImage> plain(Make(4, 2, sprite));
            std::unique_ptr<MemoryImage> indexed(Make(4, 2, sprite));
            ASSERT_TRUE(indexed->Palletize());
            std::unique_ptr<MemoryImage> a(Make(4, 2, dest));
            std::unique_ptr<MemoryImage> b(Make(4, 2, dest));
            a->Blt(plain.get(), 0, 0, Rect(0, 0, 4, 2), tint, mode);
            b->Blt(indexed.get(), 0, 0, Rect(0, 0, 4, 2), tint, mode);
            EXPECT_EQ(Pixels(*a), Pixels(*b)) << mode << " " << k;
        }
    }
}

TEST(BltTest, SourceAndDestinationOutsideTheImagesAreCut)
{
    std::unique_ptr<MemoryImage> src(Make(2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}));
    std::unique_ptr<MemoryImage> dest(Make(3, 3, std::vector<uint32_t>(9, 0xFF000000)));
    // The source rectangle reaches one pixel past each side; only the image is copied,
    // at the place it would have had.
    dest->Blt(src.get(), 0, 0, Rect(-1, -1, 4, 4), Color::White, 0);
    EXPECT_EQ(Pixels(*dest), (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000001,
                                                    0xFF000002, 0xFF000000, 0xFF000003, 0xFF000004}));
    // Hanging off the destination's top-left.
    dest->Blt(src.get(), -1, -1, Rect(0, 0, 2, 2), Color::White, 1);
    EXPECT_EQ(dest->GetBits()[0], 0xFF000004u);

    const int changes = dest->GetBitsChangedCount();
    dest->Blt(src.get(), 5, 5, Rect(0, 0, 2, 2), Color::White, 0);
    dest->Blt(src.get(), 0, 0, Rect(3, 0, 2, 2), Color::White, 0);
    dest->Blt(src.get(), 0, 0, Rect(0, 0, -2, 2), Color::White, 0);
    dest->Blt(src.get(), INT_MAX - 1, INT_MIN + 1, Rect(INT_MIN + 2, 0, INT_MAX, INT_MAX), Color::White, 0);
    Image notSoftware;
    dest->Blt(&notSoftware, 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
    dest->Blt(nullptr, 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
    EXPECT_EQ(dest->GetBitsChangedCount(), changes + 6); // nothing drawn, still marked changed
    EXPECT_EQ(dest->GetBits()[9], MemoryImage::GUARD_WORD);
}

TEST(BltTest, ClearedPixelOnAnOpaqueImageTakesThePlainPath)
{
    std::unique_ptr<MemoryImage> dest(Make(2, 1, {0xFF0000FF, 0xFF0000FF}));
    std::unique_ptr<MemoryImage> src(Make(2, 1, {0xFFFF0000, 0xFFFF0000}));
    dest->Blt(src.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0); // run-length path
    EXPECT_EQ(Pixels(*dest), (std::vector<uint32_t>{0xFFFF0000, 0xFFFF0000}));
    dest->ClearRect(Rect(1, 0, 1, 1));
    dest->Blt(src.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0); // plain path now
    EXPECT_EQ(Pixels(*dest), (std::vector<uint32_t>{0xFFFF0000, 0xFFFE0000}));
}

TEST(BltTest, ColorizedDrawingTintsThroughTheContext)
{
    std::unique_ptr<MemoryImage> dest(Make(1, 1, {0xFF000000}));
    std::unique_ptr<MemoryImage> src(Make(1, 1, {0xFFFFFFFF}));
    Graphics g(dest.get());
    g.SetColor(Color(255, 128, 0, 200));
    g.SetColorizeImages(true);
    g.DrawImage(src.get(), 0, 0);
    EXPECT_EQ(dest->GetBits()[0], 0xFFC66300u);
    g.SetDrawMode(1);
    g.SetColorizeImages(false);
    g.DrawImage(src.get(), 0, 0);
    EXPECT_EQ(dest->GetBits()[0], 0xFFFFFFFFu);
}
