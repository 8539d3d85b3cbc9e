#include <gtest/gtest.h>

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/CursorWidget.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "tests/controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Zant::ButtonWidget;

namespace {

struct ButtonFixture : AppFixture {
    ButtonFixture() : button(7, &listener)
    {
        button.Resize(100, 100, 40, 20);
        Manager().AddWidget(&button);
    }
    ~ButtonFixture() { Manager().RemoveWidget(&button); }
    Recorder listener;
    ButtonWidget button;
};

} // namespace

TEST(ButtonWidget, PressScenariosReportWhatTheListenerExpects)
{
    struct Case {
        const char* name;
        std::function<void(ButtonFixture&)> act;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"down and up on it", [](ButtonFixture& f) { f.Click(110, 110); }, {"press 7 1", "press 7", "depress 7"}},
        {"dragged off before release",
         [](ButtonFixture& f) {
             f.Manager().MouseMove(110, 110);
             f.Manager().MouseDown(110, 110, 1);
             f.Manager().MouseDrag(300, 300);
             f.Manager().MouseUp(300, 300, 1);
         },
         {"press 7 1", "press 7"}},
        {"dragged off and back before release",
         [](ButtonFixture& f) {
             f.Manager().MouseMove(110, 110);
             f.Manager().MouseDown(110, 110, 1);
             f.Manager().MouseDrag(300, 300);
             f.Manager().MouseDrag(111, 111);
             f.Manager().MouseUp(111, 111, 1);
         },
         {"press 7 1", "press 7", "depress 7"}},
        {"right click", [](ButtonFixture& f) { f.Click(110, 110, -1); }, {"press 7 -1", "press 7", "depress 7"}},
        {"disabled",
         [](ButtonFixture& f) {
             f.button.SetDisabled(true);
             f.Click(110, 110);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        c.act(f);
        EXPECT_EQ(f.listener.log, c.expected);
        EXPECT_FALSE(f.button.mIsDown);
    }
}

TEST(ButtonWidget, HeldOverItTicksOncePerUpdateAndStopsWhenDraggedOff)
{
    ButtonFixture f;
    f.Manager().MouseMove(110, 110);
    f.Manager().MouseDown(110, 110, 1);
    f.Updates(3);
    EXPECT_EQ(f.listener.Count("tick 7"), 3u);
    f.Manager().MouseDrag(300, 300);
    f.Updates(3);
    EXPECT_EQ(f.listener.Count("tick 7"), 3u);
    f.Manager().MouseUp(300, 300, 1);
}

TEST(ButtonWidget, DirectCallsToADisabledButtonReportNothingButTrackThePress)
{
    Recorder listener;
    ButtonWidget button(1, &listener);
    button.SetDisabled(true);
    button.MouseEnter();
    button.MouseDown(1, 1, 1);
    EXPECT_TRUE(button.mIsDown);
    EXPECT_FALSE(button.IsButtonDown());
    button.Update();
    button.MouseUp(1, 1, 1);
    EXPECT_FALSE(button.mIsDown);
    EXPECT_TRUE(listener.log.empty());
}

TEST(ButtonWidget, OverImageFadesOutByItsSpeedAfterTheMouseLeaves)
{
    auto over = SolidImage(40, 20, 0xFFFF0000);
    ButtonFixture f;
    f.button.mOverImage = over.get();
    f.button.mOverAlphaSpeed = 0.25;
    f.Manager().MouseMove(110, 110);
    f.Manager().MouseMove(300, 300);
    std::vector<double> alphas;
    for (int i = 0; i < 5; ++i) {
        f.button.mDirty = false;
        f.Manager().UpdateFrame();
        alphas.push_back(f.button.mOverAlpha);
        EXPECT_EQ(f.button.mDirty, i < 4) << "update " << i;
    }
    EXPECT_EQ(alphas, (std::vector<double>{0.75, 0.5, 0.25, 0.0, 0.0}));

    f.button.mOverAlphaSpeed = 1.0;
    f.Manager().MouseMove(110, 110);
    f.Manager().MouseMove(300, 300);
    f.Manager().UpdateFrame();
    EXPECT_EQ(f.button.mOverAlpha, 0.0);
}

TEST(ButtonWidget, EnterAndLeaveRedrawOnlyWhenTheLookChanges)
{
    ButtonFixture f;
    Zant::Widget below;
    below.Resize(90, 90, 100, 100);
    f.Manager().AddWidget(&below);
    f.Manager().PutBehind(&below, &f.button);
    f.Manager().DrawScreen();

    f.Manager().MouseMove(110, 110);
    EXPECT_FALSE(below.mDirty) << "same colours, no over image";
    f.Manager().MouseMove(300, 300);
    EXPECT_FALSE(below.mDirty);

    f.button.SetColor(1, Zant::Color(255, 0, 0));
    f.Manager().DrawScreen();
    f.Manager().MouseMove(110, 110);
    EXPECT_TRUE(below.mDirty) << "a caption colour for the over state";
    f.Manager().RemoveWidget(&below);
}

TEST(ButtonWidget, StockBevelPixels)
{
    struct Case {
        bool down;
        int x, y;
        uint32_t expected;
    };
    const Case cases[] = {
        {false, 0, 0, 0xFFFFFFFF}, {false, 19, 9, 0xFF000000}, {false, 18, 8, 0xFF848484},
        {false, 0, 9, 0xFF000000}, {false, 5, 5, 0xFFD4D4D4},  {true, 0, 0, 0xFF000000},
        {true, 19, 9, 0xFFFFFFFF}, {true, 1, 1, 0xFF848484},   {true, 5, 5, 0xFFD4D4D4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.down ? "down " : "up ") << c.x << "," << c.y);
        ButtonWidget button(1, nullptr);
        button.Resize(0, 0, 20, 10);
        button.mIsDown = button.mIsOver = c.down;
        Zant::MemoryImage image;
        image.Create(20, 10);
        Zant::Graphics g(&image);
        button.Draw(&g);
        EXPECT_EQ(Pixel(image, c.x, c.y), c.expected);
    }
}

TEST(ButtonWidget, CaptionIsCentredAndShiftsWhilePressed)
{
    BlockFont font(6, 12, 15);
    ButtonWidget button(1, nullptr);
    button.Resize(0, 0, 40, 20);
    button.mLabel = "ab";
    button.SetFont(&font);
    button.SetColor(0, Zant::Color(1, 2, 3));
    button.SetColor(1, Zant::Color(4, 5, 6));
    Zant::MemoryImage image;
    image.Create(40, 20);
    Zant::Graphics g(&image);

    button.Draw(&g);
    button.mIsOver = true;
    button.Draw(&g);
    button.mIsDown = true;
    button.Draw(&g);
    const auto& drawn = font.Drawn();
    ASSERT_EQ(drawn.size(), 3u);
    // x = (40 - 12) / 2, y = (20 - 12 / 6 - 1 + 12) / 2
    EXPECT_EQ(drawn[0].x, 14);
    EXPECT_EQ(drawn[0].y, 14);
    EXPECT_EQ(drawn[0].color, Zant::Color(1, 2, 3));
    EXPECT_EQ(drawn[1].color, Zant::Color(4, 5, 6));
    EXPECT_EQ(drawn[2].x, 15);
    EXPECT_EQ(drawn[2].y, 15);
    EXPECT_EQ(drawn[2].color, Zant::Color(0, 0, 0)) << "the stock look's pressed caption is black";
}

TEST(ButtonWidget, ImageChoiceFollowsTheState)
{
    auto normal = SolidImage(10, 10, 0xFF0000FF);
    auto over = SolidImage(10, 10, 0xFF00FF00);
    auto down = SolidImage(10, 10, 0xFFFF0000);
    auto disabled = SolidImage(10, 10, 0xFF808080);
    struct Case {
        const char* name;
        bool isOver, isDown, isDisabled, inverted, withDown;
        int x, y;
        uint32_t expected;
    };
    const Case cases[] = {
        {"normal", false, false, false, false, true, 0, 0, 0xFF0000FF},
        {"over", true, false, false, false, true, 0, 0, 0xFF00FF00},
        {"pressed", true, true, false, false, true, 0, 0, 0xFFFF0000},
        {"pressed, dragged off", false, true, false, false, true, 0, 0, 0xFF00FF00},
        {"disabled", true, false, true, false, true, 0, 0, 0xFF808080},
        {"inverted", false, false, false, true, true, 0, 0, 0xFFFF0000},
        {"pressed without a down image: over image moved by one", true, true, false, false, false, 1, 1, 0xFF00FF00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonWidget button(1, nullptr);
        button.Resize(0, 0, 10, 10);
        button.mButtonImage = normal.get();
        button.mOverImage = over.get();
        button.mDownImage = c.withDown ? down.get() : nullptr;
        button.mDisabledImage = disabled.get();
        button.mIsOver = c.isOver;
        button.mIsDown = c.isDown;
        button.mDisabled = c.isDisabled;
        button.mInverted = c.inverted;
        auto target = SolidImage(10, 10, 0xFF000000);
        Zant::Graphics g(target.get());
        button.Draw(&g);
        EXPECT_EQ(Pixel(*target, c.x, c.y), c.expected);
    }
}

TEST(ButtonWidget, FadingOverImageIsBlendedOverTheNormalImage)
{
    auto normal = SolidImage(10, 10, 0xFF000000);
    auto over = SolidImage(10, 10, 0xFFFFFFFF);
    std::vector<uint32_t> greys;
    for (double alpha : {1.0, 0.75, 0.25}) {
        ButtonWidget button(1, nullptr);
        button.Resize(0, 0, 10, 10);
        button.mButtonImage = normal.get();
        button.mOverImage = over.get();
        button.mOverAlpha = alpha;
        auto target = SolidImage(10, 10, 0xFF000000);
        Zant::Graphics g(target.get());
        button.Draw(&g);
        greys.push_back(Pixel(*target, 5, 5) & 0xFF);
    }
    EXPECT_EQ(greys[0], 255u);
    EXPECT_GT(greys[1], greys[2]);
    EXPECT_GT(greys[2], 0u);
}

TEST(ButtonWidget, SetFontNullMeansNoFont)
{
    BlockFont font;
    ButtonWidget button(1, nullptr);
    button.SetFont(&font);
    ASSERT_NE(button.mFont, nullptr);
    EXPECT_NE(button.mFont, &font) << "keeps its own copy";
    button.SetFont(nullptr);
    EXPECT_EQ(button.mFont, nullptr);
}

TEST(DialogButton, DrawsItsFrameShiftedWhilePressedAndItsDisabledImageWhenDisabled)
{
    auto frame = SolidImage(9, 9, 0xFF2040A0);
    auto disabled = SolidImage(9, 9, 0xFF808080);
    BlockFont font(6, 12, 15, 2);
    Zant::DialogButton button(frame.get(), 5, nullptr);
    button.Resize(0, 0, 30, 27);
    button.mLabel = "OK";
    button.SetFont(&font);

    auto target = SolidImage(30, 27, 0xFF000000);
    Zant::Graphics g(target.get());
    button.Draw(&g);
    EXPECT_EQ(Pixel(*target, 0, 0), 0xFF2040A0u);
    ASSERT_EQ(font.Drawn().size(), 1u);
    // x = (30 - 12) / 2, y = (27 - 2 - 2 - 1 + 12) / 2
    EXPECT_EQ(font.Drawn()[0].x, 9);
    EXPECT_EQ(font.Drawn()[0].y, 17);
    EXPECT_EQ(font.Drawn()[0].color, Zant::Color(255, 255, 255));

    auto pressed = SolidImage(30, 27, 0xFF000000);
    Zant::Graphics pg(pressed.get());
    button.mIsDown = button.mIsOver = true;
    button.Draw(&pg);
    EXPECT_EQ(Pixel(*pressed, 0, 0), 0xFF000000u) << "the frame moved by (1, 1)";
    EXPECT_EQ(Pixel(*pressed, 1, 1), 0xFF2040A0u);
    EXPECT_EQ(font.Drawn()[1].x, 10);
    EXPECT_EQ(font.Drawn()[1].y, 18);

    button.mIsDown = button.mIsOver = false;
    button.mDisabledImage = disabled.get();
    button.SetDisabled(true);
    button.Draw(&g);
    EXPECT_EQ(Pixel(*target, 2, 25), 0xFF808080u);
}

TEST(DialogButton, DrawsTheCellOfItsState)
{
    // Three 9x9 cells side by side: normal blue, over green, down red.
    std::vector<uint32_t> bits(27 * 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 27; ++x)
            bits[y * 27 + x] = x < 9 ? 0xFF0000FF : x < 18 ? 0xFF00FF00 : 0xFFFF0000;
    Zant::MemoryImage frame;
    frame.SetBits(bits.data(), 27, 9);
    Zant::DialogButton button(&frame, 5, nullptr);
    button.Resize(0, 0, 12, 12);
    button.mNormalRect = Zant::Rect(0, 0, 9, 9);
    button.mOverRect = Zant::Rect(9, 0, 9, 9);
    button.mDownRect = Zant::Rect(18, 0, 9, 9);
    struct Case {
        bool over, down;
        uint32_t expected;
    };
    for (const Case& c : {Case{false, false, 0xFF0000FF}, Case{true, false, 0xFF00FF00}, Case{true, true, 0xFFFF0000}}) {
        button.mIsOver = c.over;
        button.mIsDown = c.down;
        auto target = SolidImage(12, 12, 0xFF000000);
        Zant::Graphics g(target.get());
        button.Draw(&g);
        EXPECT_EQ(Pixel(*target, 6, 6), c.expected);
    }
}

TEST(HyperlinkWidget, DrawsCentredUnderlinedTextInTheOverColour)
{
    BlockFont font(6, 10, 13);
    Zant::HyperlinkWidget link(3, nullptr);
    link.Resize(0, 0, 60, 20);
    link.mLabel = "link";
    link.SetFont(&font);
    link.mColor = Zant::Color(0, 0, 255);
    link.mOverColor = Zant::Color(255, 0, 0);
    link.mUnderlineSize = 2;
    auto target = SolidImage(60, 20, 0xFF000000);
    Zant::Graphics g(target.get());
    link.mIsOver = true;
    link.Draw(&g);
    ASSERT_EQ(font.Drawn().size(), 1u);
    // x = (60 - 24) / 2, baseline (10 + 20) / 2 - 1 = 14, underline rows 17 and 18
    EXPECT_EQ(font.Drawn()[0].x, 18);
    EXPECT_EQ(font.Drawn()[0].y, 14);
    EXPECT_EQ(font.Drawn()[0].color, Zant::Color(255, 0, 0));
    EXPECT_EQ(Pixel(*target, 18, 17), 0xFFFF0000u);
    EXPECT_EQ(Pixel(*target, 41, 18), 0xFFFF0000u);
    EXPECT_EQ(Pixel(*target, 42, 18), 0xFF000000u);
    EXPECT_EQ(Pixel(*target, 18, 19), 0xFF000000u);
}

TEST(Checkbox, EveryClickFlipsAndReportsAndSetCheckedAlwaysReports)
{
    AppFixture f;
    Recorder listener;
    Zant::Checkbox box(nullptr, nullptr, 4, &listener);
    box.Resize(10, 10, 16, 16);
    f.Manager().AddWidget(&box);
    f.Click(12, 12);
    f.Click(12, 12, -1);
    box.SetChecked(false);
    box.SetChecked(false);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"checked 4 1", "checked 4 0", "checked 4 0", "checked 4 0"}));
    EXPECT_FALSE(box.IsChecked());
    f.Manager().RemoveWidget(&box);
}

TEST(Checkbox, DrawsTheImageOrCellOfItsState)
{
    auto unchecked = SolidImage(4, 4, 0xFF0000FF);
    auto checked = SolidImage(4, 4, 0xFF00FF00);
    Zant::Checkbox box(unchecked.get(), checked.get(), 1, nullptr);
    box.Resize(0, 0, 4, 4);
    auto target = SolidImage(4, 4, 0xFF000000);
    Zant::Graphics g(target.get());
    box.mChecked = true;
    box.Draw(&g);
    EXPECT_EQ(Pixel(*target, 1, 1), 0xFF00FF00u);

    // One strip with both cells.
    std::vector<uint32_t> bits = {0xFF111111, 0xFF222222};
    Zant::MemoryImage strip;
    strip.SetBits(bits.data(), 2, 1);
    Zant::Checkbox cells(&strip, nullptr, 1, nullptr);
    cells.mUncheckedRect = Zant::Rect(0, 0, 1, 1);
    cells.mCheckedRect = Zant::Rect(1, 0, 1, 1);
    cells.mChecked = true;
    cells.Draw(&g);
    EXPECT_EQ(Pixel(*target, 0, 0), 0xFF222222u);
}

TEST(CursorWidget, NeverTakesTheMouse)
{
    AppFixture f;
    Recorder listener;
    ButtonWidget below(1, &listener);
    below.Resize(0, 0, 100, 100);
    Zant::CursorWidget cursor;
    cursor.Resize(0, 0, 100, 100);
    f.Manager().AddWidget(&below);
    f.Manager().AddWidget(&cursor);
    f.Click(50, 50);
    EXPECT_EQ(f.Manager().mOverWidget, &below);
    EXPECT_EQ(listener.Count("depress 1"), 1u);
    f.Manager().RemoveWidget(&cursor);
    f.Manager().RemoveWidget(&below);
}
