#include <gtest/gtest.h>

#include <cmath>

#include "framework/widgets/ScrollbarWidget.h"
#include "framework/widgets/ScrollbuttonWidget.h"
#include "framework/widgets/Slider.h"
#include "tests/controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Zant::ScrollbarWidget;
using Zant::Slider;

namespace {

// A vertical bar at (300, 100): arrows 20x20 above and below, track 100 high.
struct BarFixture : AppFixture {
    BarFixture() : bar(1, &listener)
    {
        Manager().AddWidget(&bar);
        bar.ResizeScrollbar(300, 100, 20, 140);
    }
    ~BarFixture() { Manager().RemoveWidget(&bar); }
    Recorder listener;
    ScrollbarWidget bar;
};

// A 100-wide slider at (50, 50) with a 10-wide thumb.
struct SliderFixture : AppFixture {
    SliderFixture() : track(SolidImage(30, 8, 0xFF404040)), thumb(SolidImage(10, 16, 0xFFFFFFFF)),
                      slider(track.get(), thumb.get(), 2, &listener)
    {
        slider.Resize(50, 50, 100, 32);
        Manager().AddWidget(&slider);
    }
    ~SliderFixture() { Manager().RemoveWidget(&slider); }
    Recorder listener;
    std::unique_ptr<Zant::MemoryImage> track, thumb;
    Slider slider;
};

} // namespace

TEST(Slider, DraggingPastEitherEndReportsTheEndsAndReleaseReportsAgain)
{
    SliderFixture f;
    f.slider.SetValue(0.5); // thumb at x 45 (relative)
    f.Manager().MouseMove(100, 60);
    f.Manager().MouseDown(100, 60, 1); // grabbed 5 px into the thumb
    f.Manager().MouseDrag(-400, 60);
    f.Manager().MouseDrag(-500, 60); // no change, no report
    f.Manager().MouseDrag(900, 60);
    f.Manager().MouseUp(900, 60, 1);
    EXPECT_EQ(f.listener.log, (std::vector<std::string>{"slider 2 0", "slider 2 1", "slider 2 1"}));
    EXPECT_FALSE(f.slider.mDragging);
}

TEST(Slider, OnlyTheThumbStartsADragAndTheCursorFollows)
{
    SliderFixture f;
    f.slider.SetValue(0.5);
    f.Manager().MouseMove(60, 60);
    EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_POINTER);
    f.Manager().MouseMove(97, 60);
    EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_DRAGGING);
    f.Manager().MouseMove(60, 60);
    f.Manager().MouseDown(60, 60, 1);
    f.Manager().MouseDrag(140, 60);
    EXPECT_EQ(f.slider.mVal, 0.5);
    f.Manager().MouseUp(140, 60, 1);
    EXPECT_EQ(f.listener.log, (std::vector<std::string>{"slider 2 0.5"})) << "a release always reports";
}

TEST(Slider, SetValueClampsAndTheThumbPositionTruncates)
{
    struct Case {
        double value;
        double stored;
        int thumbX;
    };
    const Case cases[] = {{0.5, 0.5, 45}, {0.999, 0.999, 89}, {1.7, 1.0, 90}, {-3, 0.0, 0}, {NAN, 0.0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        SliderFixture f;
        f.slider.SetValue(c.value);
        EXPECT_EQ(f.slider.mVal, c.stored);
        EXPECT_EQ(f.slider.GetThumbX(), c.thumbX);
    }
}

TEST(Slider, ThumbAsWideAsTheSliderCannotMakeTheValueInvalid)
{
    SliderFixture f;
    f.slider.Resize(50, 50, 10, 32);
    f.Manager().MouseMove(55, 60);
    f.Manager().MouseDown(55, 60, 1);
    f.Manager().MouseDrag(80, 60);
    f.Manager().MouseUp(80, 60, 1);
    EXPECT_EQ(f.slider.mVal, 0.0);
    EXPECT_FALSE(std::isnan(f.slider.mVal));
}

TEST(Slider, DrawsCapsTiledMiddleAndThumbCentred)
{
    // Track columns: red cap, green middle, blue cap.
    std::vector<uint32_t> bits(9 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            bits[y * 9 + x] = x < 3 ? 0xFFFF0000 : x < 6 ? 0xFF00FF00 : 0xFF0000FF;
    Zant::MemoryImage track;
    track.SetBits(bits.data(), 9, 4);
    auto thumb = SolidImage(4, 8, 0xFFFFFFFF);
    Slider slider(&track, thumb.get(), 0, nullptr);
    slider.Resize(0, 0, 40, 20);
    slider.SetValue(0.5); // thumb at (40 - 4) / 2 = 18
    auto target = SolidImage(40, 20, 0xFF000000);
    Zant::Graphics g(target.get());
    slider.Draw(&g);
    // Track rows 8 to 11, thumb rows 6 to 13.
    EXPECT_EQ(Pixel(*target, 1, 8), 0xFFFF0000u);
    EXPECT_EQ(Pixel(*target, 10, 9), 0xFF00FF00u);
    EXPECT_EQ(Pixel(*target, 36, 11), 0xFF00FF00u) << "the middle tiles up to the right cap";
    EXPECT_EQ(Pixel(*target, 37, 9), 0xFF0000FFu);
    EXPECT_EQ(Pixel(*target, 10, 7), 0xFF000000u);
    EXPECT_EQ(Pixel(*target, 18, 6), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*target, 21, 13), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*target, 22, 9), 0xFF00FF00u);
}

TEST(ScrollbarWidget, ValueIsClampedAndTheBarEnabledOnlyWhenItCanScroll)
{
    struct Case {
        double max, page, set, reported;
        bool enabled;
    };
    const Case cases[] = {
        {10, 3, 20, 7, true}, {10, 3, -5, 0, true}, {10, 3, NAN, 0, true}, {10, 3, 4.5, 4.5, true},
        {5, 5, 3, 0, false},  {2, 5, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.max << " " << c.page << " " << c.set);
        BarFixture f;
        f.bar.SetMaxValue(c.max);
        f.bar.SetPageSize(c.page);
        f.listener.log.clear();
        f.bar.SetValue(c.set);
        ASSERT_FALSE(f.listener.log.empty());
        EXPECT_EQ(f.listener.log.back(), "scroll 1 " + Recorder::Num(c.reported));
        EXPECT_EQ(f.bar.mDisabled, !c.enabled);
        EXPECT_EQ(f.bar.mUpButton->mDisabled, !c.enabled);
        EXPECT_EQ(f.bar.mDownButton->mDisabled, !c.enabled);
        if (!c.enabled) {
            EXPECT_EQ(f.bar.GetThumbSize(), 0);
            EXPECT_EQ(f.bar.GetThumbPosition(), 0);
        }
    }
}

TEST(ScrollbarWidget, HidesItselfAndItsArrowsWhenNothingScrolls)
{
    BarFixture f;
    f.bar.SetMaxValue(10);
    f.bar.SetPageSize(3);
    f.bar.SetInvisIfNoScroll(true);
    f.bar.SetPageSize(4);
    EXPECT_TRUE(f.bar.mVisible);
    EXPECT_TRUE(f.bar.mUpButton->mVisible);
    f.bar.SetPageSize(10);
    EXPECT_FALSE(f.bar.mVisible);
    EXPECT_FALSE(f.bar.mUpButton->mVisible);
    EXPECT_FALSE(f.bar.mDownButton->mVisible);
}

TEST(ScrollbarWidget, ThumbGeometry)
{
    BarFixture f; // track 100
    f.bar.SetMaxValue(10);
    f.bar.SetPageSize(5);
    f.bar.SetValue(2.5);
    EXPECT_EQ(f.bar.GetTrackSize(), 100);
    EXPECT_EQ(f.bar.GetThumbSize(), 50);
    EXPECT_EQ(f.bar.GetThumbPosition(), 25);
    EXPECT_EQ(f.bar.ThumbCompare(0, 24), -1);
    EXPECT_EQ(f.bar.ThumbCompare(0, 25), 0);
    EXPECT_EQ(f.bar.ThumbCompare(0, 74), 0);
    EXPECT_EQ(f.bar.ThumbCompare(0, 75), 1);

    f.bar.SetMaxValue(1000);
    f.bar.SetPageSize(1);
    EXPECT_EQ(f.bar.GetThumbSize(), 8);
}

TEST(ScrollbarWidget, ArrowsAndTrackArePlacedAroundTheBar)
{
    BarFixture f;
    EXPECT_EQ(f.bar.GetRect(), Zant::Rect(300, 120, 20, 100));
    EXPECT_EQ(f.bar.mUpButton->GetRect(), Zant::Rect(300, 100, 20, 20));
    EXPECT_EQ(f.bar.mDownButton->GetRect(), Zant::Rect(300, 220, 20, 20));

    f.bar.SetHorizontal(true);
    f.bar.ResizeScrollbar(10, 10, 200, 16);
    EXPECT_EQ(f.bar.GetRect(), Zant::Rect(26, 10, 168, 16));
    EXPECT_EQ(f.bar.mDownButton->GetRect(), Zant::Rect(194, 10, 16, 16));
    EXPECT_TRUE(f.bar.mUpButton->mHorizontal);
}

TEST(ScrollbarWidget, HeldTrackPagesAtOnceThenAfter25UpdatesThenEvery5UntilTheThumbReachesTheMouse)
{
    BarFixture f;
    f.bar.SetMaxValue(100);
    f.bar.SetPageSize(5); // thumb 8 px at the top
    f.Manager().MouseMove(310, 219);
    f.Manager().MouseDown(310, 219, 1); // near the track's bottom
    std::vector<int> changes = {0};
    double last = f.bar.mValue;
    EXPECT_EQ(last, 5);
    for (int update = 1; update <= 200 && f.bar.mUpdateMode != 0; ++update) {
        f.Manager().UpdateFrame();
        if (f.bar.mValue != last) {
            changes.push_back(update);
            last = f.bar.mValue;
        }
    }
    ASSERT_GE(changes.size(), 5u);
    EXPECT_EQ(std::vector<int>(changes.begin(), changes.begin() + 5), (std::vector<int>{0, 25, 30, 35, 40}));
    EXPECT_EQ(f.bar.mUpdateMode, 0) << "stopped once the thumb reached the mouse";
    EXPECT_NE(f.bar.ThumbCompare(10, 99), 1);
    f.Manager().MouseUp(310, 219, 1);
}

TEST(ScrollbarWidget, HeldArrowStepsAtOnceThenEveryUpdateAfter25)
{
    BarFixture f;
    f.bar.SetMaxValue(100);
    f.bar.SetPageSize(5);
    f.Manager().MouseMove(310, 230);
    f.Manager().MouseDown(310, 230, 1); // down arrow
    std::vector<int> changes = {0};
    double last = f.bar.mValue;
    EXPECT_EQ(last, 1);
    for (int update = 1; update <= 28; ++update) {
        f.Manager().UpdateFrame();
        if (f.bar.mValue != last) {
            changes.push_back(update);
            last = f.bar.mValue;
        }
    }
    EXPECT_EQ(changes, (std::vector<int>{0, 25, 26, 27, 28}));
    f.Manager().MouseUp(310, 230, 1);
    f.Click(310, 110); // up arrow
    EXPECT_EQ(f.bar.mValue, 4);
}

TEST(ScrollbarWidget, DraggingTheThumbFollowsTheMouse)
{
    BarFixture f;
    f.bar.SetMaxValue(10);
    f.bar.SetPageSize(5); // thumb 50 px, travel 50
    f.Manager().MouseMove(310, 130);
    f.Manager().MouseDown(310, 130, 1);
    f.Manager().MouseDrag(310, 155);
    EXPECT_DOUBLE_EQ(f.bar.mValue, 2.5);
    f.Manager().MouseDrag(310, 400);
    EXPECT_DOUBLE_EQ(f.bar.mValue, 5);
    f.Manager().MouseUp(310, 400, 1);
    EXPECT_TRUE(f.bar.AtBottom());
}

TEST(ScrollbarWidget, DrawsTrackThumbAndArrows)
{
    BarFixture f;
    f.bar.SetMaxValue(10);
    f.bar.SetPageSize(5);
    f.bar.SetValue(5);
    f.bar.mUpdateMode = 1;
    f.Manager().DrawScreen();
    EXPECT_EQ(Pixel(f.screen, 310, 125), 0xFF303030u) << "paging side of the track";
    EXPECT_EQ(Pixel(f.screen, 310, 190), 0xFFD4D4D4u) << "thumb face";
    EXPECT_EQ(Pixel(f.screen, 319, 190), 0xFF000000u) << "thumb's dark edge";
    // Up arrow in a 20x20 button: rows from (20 - 4) / 2 = 8, tip at x 10.
    EXPECT_EQ(Pixel(f.screen, 310, 108), 0xFF000000u);
    EXPECT_EQ(Pixel(f.screen, 309, 108), 0xFFD4D4D4u);
    EXPECT_EQ(Pixel(f.screen, 307, 111), 0xFF000000u);
    // Down arrow: tip three rows lower.
    EXPECT_EQ(Pixel(f.screen, 310, 231), 0xFF000000u);
    EXPECT_EQ(Pixel(f.screen, 309, 231), 0xFFD4D4D4u);
}
