// The display interface against a fake screen: initialisation results, the screen
// format, presenting, re-creation and the software cursor.
#include <gtest/gtest.h>

#include <thread>

#include "framework/graphics/Graphics.h"
#include "tests/display/DisplayTestSupport.h"
#include "tests/support/FakeScreenDisplay.h"

using namespace Zant;
using DisplayTest::FakeDisplay;
using DisplayTest::Fill;
using DisplayTest::PixelAt;
using DisplayTest::Snapshot;
using DisplayTest::SolidImage;

TEST(DisplayInit, ResultsAndErrorTexts)
{
    struct Case {
        const char* what;
        bool windowed;
        int desktopBits;
        bool refuseFullScreen, refuseMode;
        int result;
        const char* error;
        int screenBits;
    };
    const Case cases[] = {
        {"window on a 32-bit desktop", true, 32, false, false, 0, "", 32},
        {"window on a 16-bit desktop", true, 16, false, false, 0, "", 16},
        {"window on a 24-bit desktop", true, 24, false, false, 6, "CreateSurface Windowed Primary: DDERR_INVALIDPIXELFORMAT", 0},
        {"window on an 8-bit desktop", true, 8, false, false, 6, "CreateSurface Windowed Primary: DDERR_INVALIDPIXELFORMAT", 0},
        {"full screen is 16 bits on any desktop", false, 24, false, false, 0, "", 16},
        {"full screen refused", false, 32, true, false, 4, "SetCooperativeLevel FullScreen: DDERR_NOEXCLUSIVEMODE", 0},
        {"mode change refused", false, 32, false, true, 5, "SetDisplayMode FullScreen: DDERR_UNSUPPORTEDMODE", 0},
    };
    for (const Case& c : cases) {
        TestSupport::FakeScreenDisplay display;
        display.screen->desktopBits = c.desktopBits;
        display.screen->refuseFullScreen = c.refuseFullScreen;
        display.screen->refuseMode = c.refuseMode;
        DDInterface& dd = *display.dd;
        EXPECT_EQ(dd.Init(nullptr, c.windowed), c.result) << c.what;
        EXPECT_EQ(dd.mErrorString, c.error) << c.what;
        EXPECT_EQ(dd.mInitialized, c.result == 0) << c.what;
        if (c.result == 0) {
            EXPECT_EQ(dd.mScreenBitCount, c.screenBits) << c.what;
            EXPECT_NE(dd.GetScreenImage(), nullptr) << c.what;
        } else {
            // A refused start leaves nothing to draw on.
            EXPECT_EQ(dd.mPrimarySurface, nullptr) << c.what;
            EXPECT_EQ(dd.mDrawSurface, nullptr) << c.what;
            EXPECT_EQ(dd.GetScreenImage(), nullptr) << c.what;
        }
    }
}

TEST(DisplayInit, RefreshRateAndFramePeriod)
{
    const int cases[][3] = {{0, 60, 16}, {50, 60, 16}, {60, 60, 16}, {75, 75, 13}, {144, 144, 6}};
    for (const auto& c : cases) {
        TestSupport::FakeScreenDisplay display;
        display.screen->refreshRate = c[0];
        DDInterface& dd = *display.dd;
        ASSERT_EQ(dd.Init(nullptr, true), 0);
        EXPECT_EQ(dd.mRefreshRate, c[1]) << c[0];
        EXPECT_EQ(dd.mMillisecondsPerFrame, c[2]) << c[0];
    }
}

TEST(DisplayInit, ScreenFormatOf565AndItsTables)
{
    FakeDisplay d(false);
    ASSERT_EQ(d.result, 0);
    EXPECT_EQ(d.dd->mRedShift, 11);
    EXPECT_EQ(d.dd->mRedBits, 5);
    EXPECT_EQ(d.dd->mGreenShift, 5);
    EXPECT_EQ(d.dd->mGreenBits, 6);
    EXPECT_EQ(d.dd->mBlueShift, 0);
    EXPECT_EQ(d.dd->mBlueBits, 5);
    // Additive drawing looks up dest + src, up to 63 + 63 for green.
    ASSERT_GE(d.dd->mGreenAddTable.size(), 127u);
    for (int i = 0; i <= 126; ++i)
        EXPECT_EQ(d.dd->mGreenAddTable[size_t(i)], std::min(i, 63)) << i;
    EXPECT_EQ(d.dd->mRedConvTable[255], 0xF800u);
    EXPECT_EQ(d.dd->mGreenConvTable[128], (128u * 0x7E0 / 255) & 0x7E0);
}

TEST(DisplayInit, BrightAdditiveFillSaturatesAt565White)
{
    FakeDisplay d(false);
    ASSERT_EQ(d.result, 0);
    Graphics g(d.dd->GetScreenImage());
    g.SetColor(Color::White);
    g.FillRect(0, 0, 640, 480);
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.FillRect(0, 0, 8, 8);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 3, 3), 0xFFFFu);
}

TEST(DisplayPresent, WindowShowsTheDrawnFrameFullScreenFlipsIt)
{
    for (bool windowed : {true, false}) {
        FakeDisplay d(windowed);
        ASSERT_EQ(d.result, 0);
        Graphics g(d.dd->GetScreenImage());
        g.SetColor(Color(0, 0, 255));
        g.FillRect(0, 0, 640, 480);
        g.SetColor(Color(255, 0, 0));
        g.FillRect(100, 50, 10, 10);
        ASSERT_TRUE(d.dd->Present(nullptr));
        EXPECT_EQ(d.screen->shown, 1);
        EXPECT_EQ(d.screen->frameBits, windowed ? 32 : 16);
        EXPECT_EQ(d.screen->FramePixel(105, 55), PixelAt(*d.dd->mDrawSurface, 105, 55));
        EXPECT_EQ(d.screen->FramePixel(5, 5), PixelAt(*d.dd->mDrawSurface, 5, 5));
        EXPECT_NE(d.screen->FramePixel(105, 55), d.screen->FramePixel(5, 5));
    }
}

TEST(DisplayPresent, AFailedShowFailsThePresentAndInitRecovers)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    d.screen->failShow = true;
    EXPECT_FALSE(d.dd->Present(nullptr));
    EXPECT_EQ(d.dd->mErrorString, "Redraw Windowed: DDERR_SURFACELOST");
    // Still lost until the display is made again.
    d.screen->failShow = false;
    EXPECT_FALSE(d.dd->Present(nullptr));
    ASSERT_EQ(d.dd->Init(nullptr, true), 0);
    EXPECT_TRUE(d.dd->Present(nullptr));
    EXPECT_EQ(d.dd->mInitCount, 2);
}

TEST(DisplayRecreation, SurfaceImagesKeepTheirPixelsAcrossModeSwitches)
{
    FakeDisplay d(true);
    ASSERT_EQ(d.result, 0);
    // An opaque picture with every 5-bit step of red, and a keyed sprite.
    std::vector<uint32_t> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.push_back(0xFF000000u | uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint32_t((i * 7) & 255));
    std::unique_ptr<DDImage> opaque(new DDImage(d.dd.get()));
    opaque->SetBits(ramp.data(), 16, 16);
    ASSERT_TRUE(opaque->GenerateDDSurface());
    // Drawing into the surface frees the bits: from now on only the surface has them.
    opaque->FillRect(Rect(0, 0, 1, 1), Color(10, 20, 30), DRAWMODE_NORMAL);
    ASSERT_FALSE(opaque->HasBits());

    auto readBack = [&] {
        opaque->GetBits();
        const uint32_t* bits = opaque->GetBits();
        return std::vector<uint32_t>(bits, bits + 256);
    };
    auto switchTo = [&](bool windowed) {
        ASSERT_EQ(d.dd->Init(nullptr, windowed), 0);
        ASSERT_TRUE(opaque->HasSurface()); // regained
        opaque->FillRect(Rect(0, 0, 1, 1), Color(10, 20, 30), DRAWMODE_NORMAL);
    };
    switchTo(false); // 32 -> 16: the colours are cut to 565 once
    const std::vector<uint32_t> after16 = readBack();
    switchTo(true);
    switchTo(false);
    EXPECT_EQ(readBack(), after16) << "colours drift at each re-creation";
    switchTo(true);
    switchTo(false);
    EXPECT_EQ(readBack(), after16);
}

TEST(DisplayRecreation, ImagesOutlivingTheDisplayKeepTheirPixels)
{
    std::unique_ptr<DDImage> image;
    {
        FakeDisplay d;
        ASSERT_EQ(d.result, 0);
        image.reset(SolidImage(d.dd.get(), 4, 4, 0xFF336699));
        ASSERT_TRUE(image->GenerateDDSurface());
        image->FillRect(Rect(0, 0, 4, 4), Color(0x33, 0x66, 0x99), DRAWMODE_NORMAL);
        ASSERT_FALSE(image->HasBits());
    }
    EXPECT_EQ(image->mDDInterface, nullptr);
    EXPECT_FALSE(image->HasSurface());
    ASSERT_NE(image->GetBits(), nullptr);
    EXPECT_EQ(image->GetBits()[5] & 0xFF000000u, 0xFF000000u);
}

// ---- Software cursor.

namespace {

// A display with a patterned primary and an opaque 16x16 cursor image.
struct CursorScene {
    FakeDisplay d;
    std::unique_ptr<DDImage> cursor;
    std::vector<uint32_t> background;

    CursorScene()
    {
        Platform::DDSurface& primary = *d.dd->mPrimarySurface;
        Platform::DDSurfaceDesc desc;
        primary.Lock(desc);
        for (int y = 0; y < desc.height; ++y)
            for (int x = 0; x < desc.width; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.surface) + size_t(y) * desc.pitch)[x] =
                    uint32_t(x * 3 + y * 7) & 0xFFFF;
        primary.Unlock();
        background = Snapshot(primary);
        cursor.reset(SolidImage(d.dd.get(), 16, 16, 0xFFFF00FF));
    }
    uint32_t At(int x, int y) { return PixelAt(*d.dd->mPrimarySurface, x, y); }
    uint32_t Background(int x, int y) const { return background[size_t(y) * 640 + x]; }
    // Every pixel outside the cursor image's square around (cx, cy) shows the background.
    int StrayPixels(int cx, int cy)
    {
        const std::vector<uint32_t> now = Snapshot(*d.dd->mPrimarySurface);
        int stray = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const bool underCursor = x >= cx - 8 && x < cx + 8 && y >= cy - 8 && y < cy + 8;
                if (!underCursor && now[size_t(y) * 640 + x] != background[size_t(y) * 640 + x])
                    ++stray;
            }
        return stray;
    }
};

} // namespace

TEST(SoftwareCursor, MovesLeaveNoTraceNearOrFar)
{
    CursorScene s;
    s.d.dd->SetCursorPos(100, 100);
    s.d.dd->SetCursorImage(s.cursor.get());
    EXPECT_EQ(s.At(100, 100), 0xFF00FFu);
    EXPECT_EQ(s.StrayPixels(100, 100), 0);
    const int moves[][2] = {{110, 95}, {90, 120}, {300, 200}, {301, 200}, {10, 400}};
    for (const auto& m : moves) {
        s.d.dd->SetCursorPos(m[0], m[1]);
        EXPECT_EQ(s.StrayPixels(m[0], m[1]), 0) << m[0] << "," << m[1];
        EXPECT_EQ(s.At(m[0], m[1]), 0xFF00FFu);
        EXPECT_EQ(s.At(m[0] - 8, m[1] - 8), 0xFF00FFu); // the image is centred on the mouse
    }
    s.d.dd->SetCursorImage(nullptr);
    EXPECT_EQ(Snapshot(*s.d.dd->mPrimarySurface), s.background);
}

TEST(SoftwareCursor, HalfOutsideTheWindowIsClippedAndRestoredExactly)
{
    CursorScene s;
    s.d.dd->SetCursorImage(s.cursor.get());
    const int corners[][2] = {{2, 3}, {636, 478}, {-5, 240}, {320, 482}};
    for (const auto& c : corners) {
        s.d.dd->SetCursorPos(c[0], c[1]);
        EXPECT_EQ(s.StrayPixels(c[0], c[1]), 0) << c[0] << "," << c[1];
    }
    s.d.dd->SetCursorPos(320, 240);
    EXPECT_EQ(s.StrayPixels(320, 240), 0);
    EXPECT_EQ(s.At(2, 3), s.Background(2, 3));
    EXPECT_EQ(s.At(639, 479), s.Background(639, 479));
}

TEST(SoftwareCursor, PresentDrawsItOnTheFrameAndKeepsTheDrawSurfaceClean)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    std::unique_ptr<DDImage> cursor(SolidImage(d.dd.get(), 8, 8, 0xFF00FF00));
    Graphics g(d.dd->GetScreenImage());
    g.SetColor(Color(0, 0, 128));
    g.FillRect(0, 0, 640, 480);
    const uint32_t blue = PixelAt(*d.dd->mDrawSurface, 0, 0);
    d.dd->SetCursorImage(cursor.get());
    d.dd->SetCursorPos(50, 60);
    ASSERT_TRUE(d.dd->Present(nullptr));
    EXPECT_EQ(d.screen->FramePixel(50, 60), 0x00FF00u);
    EXPECT_EQ(d.screen->FramePixel(40, 60), blue);
    EXPECT_EQ(PixelAt(*d.dd->mDrawSurface, 50, 60), blue);

    // A move from another thread changes only the primary; the main thread shows it.
    const int shownBefore = d.screen->shown;
    std::thread([&] { d.dd->SetCursorPos(200, 100); }).join();
    EXPECT_EQ(d.screen->shown, shownBefore);
    EXPECT_TRUE(d.dd->ShowChangedPrimary());
    EXPECT_EQ(d.screen->shown, shownBefore + 1);
    EXPECT_EQ(d.screen->FramePixel(200, 100), 0x00FF00u);
    EXPECT_EQ(d.screen->FramePixel(50, 60), blue);
    EXPECT_TRUE(d.dd->ShowChangedPrimary());
    EXPECT_EQ(d.screen->shown, shownBefore + 1); // nothing new
}
