// The developer keys: profiler, frame-rate overlay, 3D switching and the memory box.
#include <gtest/gtest.h>

#include <string>

#include "framework/graphics/DDImage.h"
#include "framework/util/PerfTimer.h"
#include "framework/widgets/Widget.h"
#include "tests/debugkeys/DebugKeysTestSupport.h"

namespace {

using DebugKeysTest::DisplayAppFixture;

constexpr int F2 = 113, F3 = 114, F8 = 119, F9 = 120;

class DebugKeys : public ::testing::Test, public DisplayAppFixture {
protected:
    void SetUp() override { ASSERT_EQ(initResult, Zant::DDInterface::RESULT_OK); }
    void TearDown() override
    {
        if (Zant::NamedTimers::GetGlobalFlag())
            Zant::NamedTimers::Stop();
    }
    // Moves the clock so a frame-clock reset shows.
    void Later() { clock.Advance(5000); }
};

TEST_F(DebugKeys, OtherKeysDoNothing)
{
    for (int key : {112, 115, 118, 121, 123, 65, 13}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(app->HandleDebugKey(key));
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(app->mShowFPS);
    EXPECT_FALSE(app->m3DChanged);
}

TEST_F(DebugKeys, F2StartsThenStopsTheProfilerAndResetsTheFrameClock)
{
    Later();
    ASSERT_TRUE(app->HandleDebugKey(F2));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Perf Monitoring");
    EXPECT_EQ(boxes.shown[0].text, "Perf Monitoring: ON");
    EXPECT_TRUE(Zant::NamedTimers::GetGlobalFlag());
    EXPECT_EQ(app->mLastTime, Platform::TickCount());

    { Zant::ScopedNamedTimer timed("DrawScreen"); }
    Later();
    ASSERT_TRUE(app->HandleDebugKey(F2));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].title, "Perf Results");
    EXPECT_NE(boxes.shown[1].text.find("DrawScreen"), std::string::npos) << boxes.shown[1].text;
    EXPECT_FALSE(Zant::NamedTimers::GetGlobalFlag());
    EXPECT_EQ(app->mLastTime, Platform::TickCount());
}

TEST_F(DebugKeys, F3TogglesTheFrameRateOverlayAndRestartsItsCount)
{
    Zant::Widget widget;
    app->mWidgetManager->AddWidget(&widget);
    widget.mDirty = false;
    app->mFPSRate = 42;
    app->mFPSDrawCount = 17;

    ASSERT_TRUE(app->HandleDebugKey(F3));
    EXPECT_TRUE(app->mShowFPS);
    EXPECT_TRUE(widget.mDirty);
    EXPECT_EQ(app->mFPSRate, 0);
    EXPECT_EQ(app->mFPSDrawCount, 0);

    widget.mDirty = false;
    app->mFPSRate = 42;
    ASSERT_TRUE(app->HandleDebugKey(F3));
    EXPECT_FALSE(app->mShowFPS);
    EXPECT_TRUE(widget.mDirty);
    EXPECT_EQ(app->mFPSRate, 42) << "switching off keeps the last rate";
    EXPECT_TRUE(boxes.shown.empty());
    app->mWidgetManager->RemoveWidget(&widget);
}

// Without a window there is no 3D device, so every switch ends in 2D: each press
// tries 3D, falls back and rebuilds the display in 2D (two resets), reports the
// state it ended in and marks the mode as switched.
TEST_F(DebugKeys, F8RebuildsTheDisplayAndReportsTheModeItEndsIn)
{
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        app->mWidgetManager->mImage = nullptr;
        Later();
        ASSERT_TRUE(app->HandleDebugKey(F8));
        ASSERT_EQ(boxes.shown.size(), size_t(press));
        EXPECT_EQ(boxes.shown.back().title, "Mode Switch");
        EXPECT_EQ(boxes.shown.back().text, "3D-Mode: OFF");
        EXPECT_TRUE(app->m3DChanged);
        EXPECT_FALSE(app->Is3D());
        EXPECT_EQ(app->displayResets, 2 * press);
        EXPECT_TRUE(app->mDDInterface->mInitialized);
        EXPECT_EQ(app->mWidgetManager->mImage, app->mDDInterface->GetScreenImage());
        EXPECT_EQ(app->mLastTime, Platform::TickCount());
    }
}

TEST_F(DebugKeys, SwitchingDropsTheImagesCachedBuffers)
{
    Zant::MemoryImage image(app.get());
    image.Create(8, 8);
    image.GetRLAlphaData();
    ASSERT_TRUE(image.HasRLAlphaData());
    app->Set3DAcceleration(true, false);
    EXPECT_FALSE(image.HasRLAlphaData());
    EXPECT_TRUE(app->m3DChanged);
    EXPECT_EQ(app->displayResets, 0) << "no rebuild was asked for";
}

TEST_F(DebugKeys, SwitchingToTheModeInUseChangesNothing)
{
    app->Set3DAcceleration(false, true);
    EXPECT_FALSE(app->m3DChanged);
    EXPECT_EQ(app->displayResets, 0);
}

TEST_F(DebugKeys, F9ShowsTheMemoryBoxWithEmptyTextureTotals)
{
    Zant::MemoryImage image(app.get());
    image.Create(16, 16);
    Later();
    ASSERT_TRUE(app->HandleDebugKey(F9));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Memory Usage");
    EXPECT_EQ(boxes.shown[0].text, "3D-Mode Off (3D is Unsupported on this system)\r\n\r\n"
                                   "Video Memory: 0/0 KB\r\n\r\n"
                                   "Texture Memory: 0 KB\r\n"
                                   "A8R8G8B8: 0 - 0 KB\r\n"
                                   "A4R4G4B4: 0 - 0 KB\r\n"
                                   "R5G6B5: 0 - 0 KB\r\n"
                                   "Palette8: 0 - 0 KB\r\n");
    EXPECT_EQ(app->mLastTime, Platform::TickCount());
}

// A display that cannot be had even in 2D ends the program after saying so; a failed
// switch to 3D falls back to 2D first instead of giving up with the display down.
TEST(DebugKeysDeathTest, DisplayThatCannotBeRebuiltEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            DisplayAppFixture fixture;
            fixture.screen->desktopBits = 8;
            fixture.app->HandleDebugKey(F8);
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "");
}

} // namespace
