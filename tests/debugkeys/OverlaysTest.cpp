// The frame-rate and demo-time overlays: their refresh, their text and their place.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SysFont.h"
#include "tests/debugkeys/DebugKeysTestSupport.h"

namespace {

using DebugKeysTest::ManualTickSource;

constexpr uint32_t BLACK = 0xFF000000;
constexpr uint32_t BACKDROP = 0xFF336699;

class Overlays : public ::testing::Test, public TestSupport::AppFixture<> {
protected:
    ~Overlays() override { app->mPlayingDemoBuffer = false; }
    ManualTickSource ticks;
};

bool HasBrightPixel(Zant::MemoryImage& image)
{
    const uint32_t* bits = image.GetBits();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i)
        if ((bits[i] & 0xFF) > 0x80 && ((bits[i] >> 8) & 0xFF) > 0x80)
            return true;
    return false;
}

TEST_F(Overlays, FrameRateIsDrawsPerElapsedSecond)
{
    app->HandleDebugKey(114);
    // 45 frames 22 ms apart: the 46th passes 1 s (1012 ms) and counts 46 draws.
    for (int frame = 0; frame < 45; ++frame) {
        ticks.now += 22;
        app->DrawFPS();
    }
    EXPECT_EQ(app->mFPSRate, 0) << "no second has passed yet";
    ticks.now += 22;
    app->DrawFPS();
    EXPECT_EQ(app->mFPSRate, 46 * 1000 / 1012);
    EXPECT_EQ(app->mFPSDrawCount, 0);

    // The next second starts counting afresh.
    for (int frame = 0; frame < 10; ++frame) {
        ticks.now += 100;
        app->DrawFPS();
    }
    EXPECT_EQ(app->mFPSRate, 10);
}

TEST_F(Overlays, FrameRateImageIsWhiteTextOnBlack)
{
    app->DrawFPS();
    Zant::MemoryImage* image = app->mFPSImage;
    ASSERT_NE(image, nullptr);
    Zant::SysFont font(app.get(), "Tahoma", 8);
    EXPECT_EQ(image->GetWidth(), 50);
    EXPECT_EQ(image->GetHeight(), font.GetHeight() + 4);
    EXPECT_EQ(image->GetBits()[0], BLACK);
    if (font.IsValid()) {
        EXPECT_TRUE(HasBrightPixel(*image));
    }
    ticks.now += 1000;
    app->DrawFPS();
    EXPECT_EQ(app->mFPSImage, image) << "the image is made once";
}

struct RefreshCase {
    double multiplier;
    uint32_t tooSoon;
    uint32_t due;
};

class DemoTimeRefresh : public Overlays, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(DemoTimeRefresh, RepaintsOnceASecondOfDemoTime)
{
    const RefreshCase c = GetParam();
    app->mUpdateMultiplier = c.multiplier;
    app->DrawDemoTime();
    ASSERT_NE(app->mDemoTimeImage, nullptr);
    const int painted = app->mDemoTimeImage->GetBitsChangedCount();

    clock.Advance(c.tooSoon);
    app->DrawDemoTime();
    EXPECT_EQ(app->mDemoTimeImage->GetBitsChangedCount(), painted);
    clock.Advance(c.due - c.tooSoon);
    app->DrawDemoTime();
    EXPECT_GT(app->mDemoTimeImage->GetBitsChangedCount(), painted);
}

INSTANTIATE_TEST_SUITE_P(Speeds, DemoTimeRefresh,
                         ::testing::Values(RefreshCase{1.0, 999, 1000}, RefreshCase{4.0, 249, 250},
                                           RefreshCase{0.5, 1999, 2000}, RefreshCase{0.0, 999, 1000}));

TEST_F(Overlays, DemoOfThirtyThousandUpdatesShowsFiveMinutesLeftAtTheStart)
{
    app->mDemoLength = 30000;
    app->mUpdateCount = 0;
    EXPECT_EQ(app->DemoTimeRemainingText(), "00:05:00");
}

TEST_F(Overlays, ImagesSitInTheBottomRightCorner)
{
    Zant::MemoryImage screen;
    screen.Create(640, 480);
    uint32_t* bits = screen.GetBits();
    for (int i = 0; i < 640 * 480; ++i)
        bits[i] = BACKDROP;
    screen.BitsChanged();
    app->mWidgetManager->mImage = &screen;
    app->mPlayingDemoBuffer = true;
    app->DrawFPS();
    app->DrawDemoTime();
    const int fpsH = app->mFPSImage->GetHeight();
    const int demoH = app->mDemoTimeImage->GetHeight();

    app->DrawOverlayImages();
    auto at = [&](int x, int y) { return screen.GetBits()[y * 640 + x]; };
    // Frame rate at (640 - 50 - 10, 480 - h - 10), demo time 5 pixels above it.
    EXPECT_EQ(at(580, 480 - fpsH - 10), BLACK);
    EXPECT_EQ(at(629, 469), BLACK);
    EXPECT_EQ(at(579, 480 - fpsH - 10), BACKDROP);
    EXPECT_EQ(at(630, 469), BACKDROP);
    EXPECT_EQ(at(629, 470), BACKDROP);
    EXPECT_EQ(at(580, 480 - fpsH - demoH - 15), BLACK);
    EXPECT_EQ(at(580, 480 - fpsH - 15), BACKDROP);
    EXPECT_EQ(at(580, 480 - fpsH - demoH - 16), BACKDROP);

    // Outside playback only the frame rate is shown.
    for (int i = 0; i < 640 * 480; ++i)
        bits[i] = BACKDROP;
    screen.BitsChanged();
    app->mPlayingDemoBuffer = false;
    app->DrawOverlayImages();
    EXPECT_EQ(at(580, 480 - fpsH - 10), BLACK);
    EXPECT_EQ(at(580, 480 - fpsH - demoH - 15), BACKDROP);
    app->mWidgetManager->mImage = nullptr;
}

// On the display the overlay goes onto the screen image under the display's lock,
// which it gives back (the cursor thread takes it next).
TEST(OverlaysOnDisplay, DrawOntoTheScreenImage)
{
    DebugKeysTest::DisplayAppFixture fixture;
    ASSERT_EQ(fixture.initResult, Zant::DDInterface::RESULT_OK);
    Zant::ZantApp& app = *fixture.app;
    Zant::DDImage* screen = app.mDDInterface->GetScreenImage();
    std::vector<uint32_t> white(640 * 480, 0xFFFFFFFF);
    screen->SetBits(white.data(), 640, 480);
    app.mShowFPS = true;
    app.DrawFPS();
    app.DrawOverlayImages();
    const int h = app.mFPSImage->GetHeight();
    const uint32_t* bits = screen->GetBits();
    ASSERT_NE(bits, nullptr);
    // Near black: the display's copy may round a channel by one.
    const uint32_t corner = bits[(480 - h - 10) * 640 + 580];
    for (int shift : {0, 8, 16})
        EXPECT_LE((corner >> shift) & 0xFF, 2u) << std::hex << corner;
    EXPECT_EQ(bits[(480 - h - 10) * 640 + 579] & 0xFFFFFF, 0xFFFFFFu);
    // The lock is re-entrant: only another thread can tell whether it is still held.
    bool free = false;
    std::thread other([&] {
        free = app.mDDInterface->mCritSect.TryEnter();
        if (free)
            app.mDDInterface->mCritSect.Leave();
    });
    other.join();
    EXPECT_TRUE(free) << "the display's lock was given back";
}

} // namespace
