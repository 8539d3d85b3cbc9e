// Surface-backed images: the two pixel stores, colour keys, surface drawing and its
// agreement with the software renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "framework/graphics/Graphics.h"
#include "tests/display/DisplayTestSupport.h"

using namespace Zant;
using DisplayTest::FakeDisplay;
using DisplayTest::Fill;
using DisplayTest::PixelAt;
using DisplayTest::Snapshot;
using DisplayTest::SolidImage;

namespace {

std::vector<uint32_t> Colours(int count)
{
    std::vector<uint32_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(0xFF000000u | uint32_t(i * 37 % 256) << 16 | uint32_t(i * 91 % 256) << 8 |
                      uint32_t(255 - i * 13 % 256));
    return out;
}

int MaxChannelDifference(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

} // namespace

TEST(SurfaceImage, OpaqueImageTradesItsStoresWithoutLoss)
{
    for (bool windowed : {true, false}) { // 32 and 16 bits
        FakeDisplay d(windowed);
        ASSERT_EQ(d.result, 0);
        const std::vector<uint32_t> colours = Colours(48);
        std::unique_ptr<DDImage> image(new DDImage(d.dd.get()));
        image->SetBits(colours.data(), 8, 6);
        ASSERT_TRUE(image->GenerateDDSurface());
        EXPECT_TRUE(image->HasBits()); // both stores until drawing picks one
        image->FillRect(Rect(0, 0, 1, 1), Color(1, 2, 3), DRAWMODE_NORMAL);
        EXPECT_FALSE(image->HasBits());
        const std::vector<uint32_t> words = Snapshot(*image->mSurface);

        const uint32_t* bits = image->GetBits();
        ASSERT_NE(bits, nullptr);
        for (int i = 0; i < 48; ++i)
            EXPECT_EQ(bits[i] >> 24, 255u) << i;
        EXPECT_EQ(bits[48], MemoryImage::GUARD_WORD);
        image->DeleteDDSurface();
        ASSERT_TRUE(image->GenerateDDSurface());
        EXPECT_EQ(Snapshot(*image->mSurface), words) << (windowed ? "32" : "16") << " bits";
    }
}

TEST(SurfaceImage, SoftAlphaStaysInSoftware)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    std::unique_ptr<DDImage> image(SolidImage(d.dd.get(), 4, 4, 0xFF000000));
    image->GetBits()[5] = 0x80FFFFFF;
    image->BitsChanged();
    EXPECT_FALSE(image->GenerateDDSurface());
    image->FillRect(Rect(0, 0, 4, 4), Color(255, 0, 0, 128), DRAWMODE_NORMAL);
    EXPECT_FALSE(image->HasSurface());
    ASSERT_TRUE(image->HasBits());
    EXPECT_EQ(image->GetBits()[0] & 0xFFFFFF, 0x7F0000u);
    // Lines are drawn only into surfaces.
    image->DrawLine(0, 0, 3, 3, Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(image->GetBits()[0] & 0xFFFFFF, 0x7F0000u);
}

TEST(SurfaceImage, ColourKeyNeverHidesAVisiblePixel)
{
    for (bool windowed : {true, false}) {
        FakeDisplay d(windowed);
        ASSERT_EQ(d.result, 0);
        // Transparent black beside opaque black: the first transparent pixel's colour
        // would hide the opaque one.
        const uint32_t sprite[4] = {0x00000000, 0xFF000000, 0xFFFFFFFF, 0x00000000};
        std::unique_ptr<DDImage> image(new DDImage(d.dd.get()));
        image->SetBits(sprite, 4, 1);
        ASSERT_TRUE(image->GenerateDDSurface());
        uint32_t key = 0;
        ASSERT_TRUE(image->mSurface->GetColorKey(key));
        EXPECT_NE(key, PixelAt(*image->mSurface, 1, 0));
        EXPECT_NE(key, PixelAt(*image->mSurface, 2, 0));

        Graphics g(d.dd->GetScreenImage());
        g.SetColor(Color(0, 0, 255));
        g.FillRect(0, 0, 640, 480);
        const uint32_t blue = PixelAt(*d.dd->mDrawSurface, 0, 0);
        g.DrawImage(image.get(), 10, 10);
        EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 10, 10), blue);
        EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 11, 10), 0u);
        EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 13, 10), blue);
        // Read back, the keyed pixels are transparent again.
        image->PurgeBits();
        EXPECT_EQ(image->GetBits()[0] >> 24, 0u);
        EXPECT_EQ(image->GetBits()[1], 0xFF000000u);
    }
}

TEST(SurfaceImage, LinesOnA565Screen)
{
    FakeDisplay d(false);
    ASSERT_EQ(d.result, 0);
    DDImage* screen = d.dd->GetScreenImage();
    Fill(*d.dd->mDrawSurface, 0xFFFF);

    // Red at alpha 100 over white keeps 156/256 of each channel and adds the
    // premultiplied red: (30, 38, 18).
    screen->DrawLine(20, 20, 30, 25, Color(255, 0, 0, 100), DRAWMODE_NORMAL);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 20, 20), 0xF4D2u);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 30, 25), 0xF4D2u);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 20, 21), 0xFFFFu);

    // A horizontal line from 10.7 to 3.2 covers x = 3 .. 10.
    Fill(*d.dd->mDrawSurface, 0);
    screen->DrawLine(10.7, 5, 3.2, 5, Color::White, DRAWMODE_NORMAL);
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, x, 5) != 0, x >= 3 && x <= 10) << x;

    // One pixel per step of the major axis, from end to end.
    Fill(*d.dd->mDrawSurface, 0);
    screen->DrawLine(100, 100, 104, 120, Color(0, 0, 31 * 8), DRAWMODE_ADDITIVE);
    int lit = 0;
    for (int y = 95; y < 125; ++y)
        for (int x = 95; x < 110; ++x)
            lit += PixelAt(*d.dd->mDrawSurface, x, y) != 0;
    EXPECT_EQ(lit, 21);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 100, 100), 0x1Fu);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 104, 120), 0x1Fu);

    // Ends far outside the image (nothing clipped them) still draw only inside it.
    screen->DrawLine(-1e12, 300, 1e12, 300.4, Color::White, DRAWMODE_NORMAL);
    EXPECT_NE(PixelAt(*d.dd->mDrawSurface, 0, 300), 0u);
    EXPECT_NE(PixelAt(*d.dd->mDrawSurface, 639, 300), 0u);
    screen->DrawLine(1e30, -1e30, 2e30, 5e30, Color::White, DRAWMODE_NORMAL);
}

TEST(SurfaceImage, NestedLocksUnlockOnceAndThe3DTargetNeverLocks)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    DDImage* screen = d.dd->GetScreenImage();
    ASSERT_TRUE(screen->LockSurface());
    ASSERT_TRUE(screen->LockSurface());
    EXPECT_EQ(d.dd->mDrawSurface->LockCount(), 1);
    screen->UnlockSurface();
    EXPECT_EQ(d.dd->mDrawSurface->LockCount(), 1);
    screen->UnlockSurface();
    EXPECT_EQ(d.dd->mDrawSurface->LockCount(), 0);
    EXPECT_FALSE(screen->UnlockSurface()); // one too many is refused, not counted below zero

    d.dd->mIs3D = true;
    EXPECT_TRUE(screen->Is3DTarget());
    EXPECT_FALSE(screen->LockSurface());
    d.dd->mIs3D = false;
}

TEST(SurfaceImage, NoPixelsToDrawIntoDrawsNothing)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    // A keyed sprite holding its pixels only in a surface that may not be locked.
    const uint32_t sprite[4] = {0, 0xFFFF0000, 0xFF00FF00, 0};
    std::unique_ptr<DDImage> image(new DDImage(d.dd.get()));
    image->SetBits(sprite, 2, 2);
    image->PurgeBits();
    ASSERT_FALSE(image->HasBits());
    image->mNoLock = true;
    EXPECT_EQ(image->GetBits(), nullptr);
    std::unique_ptr<DDImage> other(SolidImage(d.dd.get(), 2, 2, 0x80FFFFFF));
    image->FillRect(Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL);
    image->Blt(other.get(), 0, 0, Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL);
    image->StretchBlt(other.get(), Rect(0, 0, 2, 2), FRect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL, false);
    image->BltRotated(other.get(), 0, 0, Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), Color::White, 0, 1.0, 1, 1);
    image->mNoLock = false;
    EXPECT_EQ(image->GetBits()[1], 0xFFFF0000u);
}

TEST(SurfaceImage, ScreenDrawingMatchesTheSoftwareRenderer)
{
    // A sprite with transparent, opaque and soft runs, drawn on the 32-bit screen and
    // on a software image with the same background, partly off the left edge.
    std::vector<uint32_t> spritePixels;
    const uint32_t alphas[5] = {0, 255, 255, 128, 60};
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            // Few enough colours to fit a palette.
            spritePixels.push_back(alphas[(x / 3 + y) % 5] << 24 | uint32_t(x / 4 * 25) << 16 |
                                   uint32_t(y / 5 * 40) << 8 | 0x64);
    std::vector<uint32_t> background;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            background.push_back(0xFF000000u | uint32_t(x % 256) << 16 | uint32_t(y % 256) << 8 | 0x40);

    struct Case {
        const char* what;
        bool palettised, isVolatile, opaque;
        Color tint;
        int mode;
        int stretch; // 0 none, 1 fast, 2 filtered
    };
    const Case cases[] = {
        {"run-length copy", false, false, false, Color::White, 0, 0},
        {"tinted", false, false, false, Color(200, 100, 50, 255), 0, 0},
        {"palettised", true, false, false, Color::White, 0, 0},
        {"volatile", false, true, false, Color::White, 0, 0},
        {"additive opaque", false, false, true, Color::White, 1, 0},
        {"additive tinted", false, false, true, Color(255, 128, 0, 255), 1, 0},
        {"fast stretch", false, false, false, Color::White, 0, 1},
        {"filtered stretch", false, false, false, Color::White, 0, 2},
        {"opaque surface copy", false, false, true, Color::White, 0, 0},
    };
    for (const Case& c : cases) {
        FakeDisplay d;
        ASSERT_EQ(d.result, 0);
        DDImage* screen = d.dd->GetScreenImage();
        screen->SetBits(background.data(), 640, 480); // copied into the screen's surface
        ASSERT_TRUE(screen->HasSurface());
        MemoryImage reference;
        reference.SetBits(background.data(), 640, 480);

        std::vector<uint32_t> pixels = spritePixels;
        if (c.opaque)
            for (uint32_t& p : pixels)
                p |= 0xFF000000u;
        std::unique_ptr<DDImage> sprite(new DDImage(d.dd.get()));
        sprite->SetBits(pixels.data(), 40, 30);
        MemoryImage softSprite;
        softSprite.SetBits(pixels.data(), 40, 30);
        if (c.palettised) {
            sprite->Palletize();
            softSprite.Palletize();
        }
        sprite->SetVolatile(c.isVolatile);

        for (Image* target : {static_cast<Image*>(screen), static_cast<Image*>(&reference)}) {
            Graphics g(target);
            g.SetColor(c.tint);
            g.SetColorizeImages(true);
            g.SetDrawMode(c.mode);
            g.SetFastStretch(c.stretch == 1);
            Image* source = target == screen ? static_cast<Image*>(sprite.get()) : &softSprite;
            if (c.stretch)
                g.DrawImage(source, Rect(-10, 20, 80, 60), Rect(0, 0, 40, 30));
            else
                g.DrawImage(source, -10, 20);
        }
        const int tolerance = c.stretch == 2 ? 4 : 3;
        int worst = 0, worstX = 0, worstY = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 80; ++x) {
                const int diff = MaxChannelDifference(PixelAt(*d.dd->mDrawSurface, x, y),
                                                      reference.GetBits()[size_t(y) * 640 + x]);
                if (diff > worst) {
                    worst = diff;
                    worstX = x;
                    worstY = y;
                }
            }
        EXPECT_LE(worst, tolerance) << c.what << " at " << worstX << "," << worstY;
    }
}

TEST(SurfaceImage, TintAlphaFadesAnOpaqueSprite)
{
    // Colourising with a translucent white makes a sprite translucent, not dark.
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    Fill(*d.dd->mDrawSurface, 0x000000);
    std::unique_ptr<DDImage> white(SolidImage(d.dd.get(), 4, 4, 0xFFFFFFFF));
    white->GetBits()[0] = 0x80FFFFFF; // one soft pixel keeps it off the surface-to-surface path
    white->BitsChanged();
    d.dd->GetScreenImage()->Blt(white.get(), 0, 0, Rect(0, 0, 4, 4), Color(255, 255, 255, 128), DRAWMODE_NORMAL);
    const uint32_t p = PixelAt(*d.dd->mDrawSurface, 2, 2);
    EXPECT_NEAR(int(p & 0xFF), 128, 2);
    Fill(*d.dd->mDrawSurface, 0xFFFFFF);
    d.dd->GetScreenImage()->Blt(white.get(), 0, 0, Rect(0, 0, 4, 4), Color(0, 0, 0, 128), DRAWMODE_NORMAL);
    EXPECT_NEAR(int(PixelAt(*d.dd->mDrawSurface, 2, 2) & 0xFF), 128, 2);
}

TEST(SurfaceImage, RotationLandsWhereTheSoftwareRendererPutsIt)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    DDImage* screen = d.dd->GetScreenImage();
    Fill(*d.dd->mDrawSurface, 0);
    // A 20x10 bar turned a quarter turn about its own top-left corner.
    std::unique_ptr<DDImage> bar(SolidImage(d.dd.get(), 20, 10, 0xFFFFFFFF));
    screen->BltRotated(bar.get(), 100, 100, Rect(0, 0, 20, 10), Rect(0, 0, 640, 480), Color::White, 0, std::numbers::pi / 2, 0,
                       0);
    MemoryImage reference;
    reference.Create(640, 480);
    reference.GetBits();
    reference.BltRotated(bar.get(), 100, 100, Rect(0, 0, 20, 10), Rect(0, 0, 640, 480), Color::White, 0, std::numbers::pi / 2, 0,
                         0);
    // The bar now covers x 100..109, y 80..99; the software renderer's bilinear
    // samples stay one pixel inside that, never outside it.
    for (int y = 60; y < 140; ++y)
        for (int x = 60; x < 140; ++x) {
            const bool inside = x >= 100 && x < 110 && y >= 80 && y < 100;
            EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, x, y) != 0, inside) << x << "," << y;
            if ((reference.GetBits()[size_t(y) * 640 + x] >> 24) > 128) {
                EXPECT_TRUE(inside) << x << "," << y;
            }
        }
}

TEST(SurfaceImage, ThirtyTwoBitScreenGetsTheSoftwareRenderersExactPixels)
{
    // Each operation drawn on the 32-bit screen and on a software image with the same
    // background must leave the same colour in every pixel: both run the same rows.
    std::vector<uint32_t> background;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            background.push_back(0xFF000000u | uint32_t((x * 3) % 256) << 16 | uint32_t(y % 256) << 8 |
                                 uint32_t((x ^ y) & 0xFF));
    // Transparent, opaque and soft runs of every length up to a few dozen pixels, as
    // sprite edges and glyph cells have them.
    std::vector<uint32_t> spritePixels;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 53; ++x) {
            const int band = (x * (y % 7 + 1) / 5 + y) % 6;
            const uint32_t alpha = band < 2 ? 0 : band < 4 ? 255 : uint32_t(17 + (x * 29 + y * 11) % 230);
            spritePixels.push_back(alpha << 24 | uint32_t(x * 5) << 16 | uint32_t(255 - y * 6) << 8 |
                                   uint32_t((x * y) & 0xFF));
        }
    std::vector<uint32_t> keyedPixels = spritePixels; // only transparent and opaque pixels
    for (uint32_t& p : keyedPixels)
        p = (p >> 24) == 255 || (p >> 24) > 128 ? p | 0xFF000000u : 0;
    std::vector<uint32_t> opaquePixels = spritePixels;
    for (uint32_t& p : opaquePixels)
        p |= 0xFF000000u;
    std::vector<uint32_t> fewColours; // few enough for a palette, soft pixels included
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 53; ++x) {
            const uint32_t alphas[4] = {0, 255, 100, 200};
            fewColours.push_back(alphas[(x / 3 + y) % 4] << 24 | uint32_t(x / 9 * 40) << 16 |
                                 uint32_t(y / 7 * 45) << 8 | 0x64);
        }

    enum Op { FILL, BLIT, ADDITIVE };
    struct Case {
        const char* what;
        Op op;
        const std::vector<uint32_t>* pixels;
        Color color;
        bool palettised = false;
        bool isVolatile = false;
    };
    const Case cases[] = {
        {"opaque fill", FILL, nullptr, Color(12, 200, 77)},
        {"soft fill", FILL, nullptr, Color(250, 20, 140, 90)},
        {"clamped fill", FILL, nullptr, Color(300, -4, 128, 400)},
        {"run-length copy", BLIT, &spritePixels, Color::White},
        {"palettised copy", BLIT, &fewColours, Color::White, true},
        {"palettised tinted copy", BLIT, &fewColours, Color(200, 100, 50, 255), true},
        {"keyed copy", BLIT, &keyedPixels, Color::White},
        {"opaque copy", BLIT, &opaquePixels, Color::White},
        {"volatile copy", BLIT, &spritePixels, Color::White, false, true},
        {"tinted copy", BLIT, &spritePixels, Color(255, 230, 120)},
        {"tinted translucent copy", BLIT, &spritePixels, Color(90, 255, 200, 140)},
        {"additive copy", ADDITIVE, &opaquePixels, Color::White},
        {"additive tinted copy", ADDITIVE, &opaquePixels, Color(255, 128, 0, 200)},
    };
    // Places that cut the sprite at every edge of the screen, and one inside it.
    const int places[][2] = {{-20, 5}, {600, -11}, {17, 460}, {300, 201}};
    // Drawn as a single call does, and inside a frame that holds the screen locked (the
    // drawing then takes the rows the lock worked out).
    for (bool locked : {false, true}) {
        for (const Case& c : cases) {
            FakeDisplay d;
            ASSERT_EQ(d.result, 0);
            DDImage* screen = d.dd->GetScreenImage();
            screen->SetBits(background.data(), 640, 480);
            ASSERT_TRUE(screen->HasSurface());
            MemoryImage reference;
            reference.SetBits(background.data(), 640, 480);

            std::unique_ptr<DDImage> sprite(new DDImage(d.dd.get()));
            MemoryImage softSprite;
            if (c.pixels != nullptr) {
                sprite->SetBits(c.pixels->data(), 53, 37);
                softSprite.SetBits(c.pixels->data(), 53, 37);
                if (c.palettised) {
                    ASSERT_TRUE(sprite->Palletize());
                    ASSERT_TRUE(softSprite.Palletize());
                }
                sprite->SetVolatile(c.isVolatile);
            }
            if (locked) {
                ASSERT_TRUE(screen->LockSurface());
            }
            for (Image* target : {static_cast<Image*>(screen), static_cast<Image*>(&reference)}) {
                Graphics g(target);
                g.SetColor(c.color);
                g.SetColorizeImages(true);
                g.SetDrawMode(c.op == ADDITIVE ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL);
                Image* source = target == screen ? static_cast<Image*>(sprite.get()) : &softSprite;
                for (const auto& at : places) {
                    if (c.op == FILL)
                        g.FillRect(at[0], at[1], 70, 41);
                    else
                        g.DrawImage(source, at[0], at[1]);
                }
            }
            if (locked) {
                ASSERT_TRUE(screen->UnlockSurface());
            }
            const std::vector<uint32_t> shown = Snapshot(*d.dd->mDrawSurface);
            const uint32_t* expected = reference.GetBits();
            int wrong = 0;
            for (size_t i = 0; i < shown.size(); ++i) {
                if (shown[i] != (expected[i] & 0xFFFFFF) && wrong++ < 3)
                    ADD_FAILURE() << c.what << (locked ? ", locked" : "") << " at " << i % 640 << "," << i / 640
                                  << ": " << std::hex << shown[i] << " instead of " << (expected[i] & 0xFFFFFF);
            }
            EXPECT_EQ(wrong, 0) << c.what << (locked ? ", locked" : "");
        }
    }
}
