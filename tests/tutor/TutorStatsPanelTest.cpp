// The tutor's statistics page: the graph's scale, bars in proportion to it, the
// explanation, stepping through the lessons and the bars growing into place.
#include "tests/tutor/TutorFixture.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/DialogButton.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/TutorStatsPanel.h"

using Zant::TutorialPanel;
using namespace TutorTests;

namespace {

class StatsPanelTest : public TutorFixture {
protected:
    TutorialPanel& OpenPanel(int lesson)
    {
        panel = std::make_unique<TutorialPanel>(app.get());
        panel->Resize(0, 40, 640, 432);
        panel->SetProfile(profile);
        app->mWidgetManager->AddWidget(panel.get());
        panel->ShowLesson(lesson);
        return *panel;
    }
    // A lesson passed with a best result of `best`, its chart on show; a panel open
    // before goes first.
    TutorialPanel& OpenPassedLesson(int lesson, int best)
    {
        profile->AddLessonStat1(best, lesson);
        profile->mLessonResult[size_t(lesson)] = 1;
        if (panel)
            app->mWidgetManager->RemoveWidget(panel.get());
        TutorialPanel& p = OpenPanel(lesson);
        p.SetActive(true);
        return p;
    }
    ~StatsPanelTest() override
    {
        if (panel)
            app->mWidgetManager->RemoveWidget(panel.get());
    }
    std::unique_ptr<TutorialPanel> panel;
};

struct Label {
    std::string text;
    int x, y;
};

// Logs each text it is asked to draw and where; its letters all one width.
struct RecordingFont : Zant::Font {
    explicit RecordingFont(std::vector<Label>* log, int letterWidth = 6) : mLog(log), mLetterWidth(letterWidth)
    {
        mHeight = 12;
        mAscent = 10;
    }
    int StringWidth(const std::string& text) override { return mLetterWidth * int(text.size()); }
    void DrawString(Zant::Graphics*, int x, int y, const std::string& text, const Zant::Color&,
                    const Zant::Rect&) override
    {
        mLog->push_back({text, x, y});
    }
    Zant::Font* Duplicate() override { return new RecordingFont(*this); }
    std::vector<Label>* mLog;
    int mLetterWidth;
};

} // namespace

TEST(TutorStatsScale, GridForTheBestValue)
{
    struct Case {
        int kind, best;
        int step, lines, pixels;
    };
    const Case cases[] = {
        {0, 9, 1, 11, 19}, {0, 10, 10, 3, 70}, {0, 0, 1, 2, 106}, {1, 123, 10, 14, 15}, {2, 0, 10, 11, 19},
        {2, 55, 10, 11, 19},
    };
    for (const Case& c : cases) {
        const TutorialPanel::Scale s = TutorialPanel::ComputeScale(c.kind, c.best);
        EXPECT_EQ(s.step, c.step) << c.kind << " " << c.best;
        EXPECT_EQ(s.lines, c.lines) << c.kind << " " << c.best;
        EXPECT_EQ(s.pixelsPerStep, c.pixels) << c.kind << " " << c.best;
    }
}

TEST_F(StatsPanelTest, BarsInProportionAndTheirTexts)
{
    // Raw WPM 15, 55 and 35: average 35 on a scale of tens up to 55 (7 lines, 30 px).
    for (int v : {15, 55, 35})
        profile->AddLessonStat1(v, 4);
    profile->mLessonResult[4] = 0;
    TutorialPanel& p = OpenPanel(4);
    EXPECT_EQ(p.mGraphTitle, "LESSON 4: Words Per Minute");
    EXPECT_EQ(p.mScale.pixelsPerStep, 30);
    EXPECT_EQ(p.mBars[0].target, 105);
    EXPECT_EQ(p.mBars[1].target, 165) << "55 on steps of 10 at 30 px";
    EXPECT_EQ(p.mBars[2].target, 105);
    EXPECT_NE(p.mText.find("raw words per minute"), std::string::npos);

    // A lesson finished with nothing right, and one never finished.
    profile->AddLessonStat3(0, 5);
    profile->mLessonResult[5] = 0;
    p.ButtonDepress(TutorialPanel::NEXT_BUTTON);
    p.ButtonDepress(TutorialPanel::ACCURACY_RADIO);
    EXPECT_EQ(p.mGraphTitle, "LESSON 5: Accuracy");
    EXPECT_EQ(p.mText, "Your accuracy is 0. Please try the lesson again.");
    EXPECT_TRUE(p.mAccuracyRadio->mDisabled);
    EXPECT_FALSE(p.mWpmRadio->mDisabled);
    p.ButtonDepress(TutorialPanel::NEXT_BUTTON);
    EXPECT_EQ(p.mText, "You have not completed this lesson yet.");
    EXPECT_EQ(p.mBars[1].target, 0);
}

TEST_F(StatsPanelTest, StepsStopAtTheTypingTestAndTheLastLesson)
{
    TutorialPanel& p = OpenPanel(0);
    p.SetActive(true); // the tab is chosen
    EXPECT_EQ(p.mGraphTitle, "TYPING TEST: Words Per Minute");
    EXPECT_FALSE(p.mPrevButton->mVisible);
    EXPECT_TRUE(p.mNextButton->mVisible);
    p.ButtonDepress(TutorialPanel::PREV_BUTTON);
    EXPECT_EQ(p.mLessonIndex, 0);
    p.ButtonDepress(TutorialPanel::NEXT_BUTTON);
    EXPECT_TRUE(p.mPrevButton->mVisible);

    TutorialPanel last(app.get());
    last.ShowLesson(18);
    EXPECT_EQ(last.mLessonIndex, 18);
    EXPECT_TRUE(last.mNextButton->mDisabled);
    last.ButtonDepress(TutorialPanel::NEXT_BUTTON);
    EXPECT_EQ(last.mLessonIndex, 18);
    EXPECT_EQ(last.mGraphTitle, "LESSON 18: Words Per Minute");
}

TEST_F(StatsPanelTest, BarsGrowTwentyPixelsAnUpdateAfterTheFirst)
{
    profile->AddLessonStat2(50, 2);
    profile->mLessonResult[2] = 1;
    TutorialPanel& p = OpenPanel(2);
    p.ButtonDepress(TutorialPanel::ADJUSTED_RADIO);
    const int target = p.mBars[1].target;
    ASSERT_EQ(target, 50 * (212 / 7) / 10);
    Updates(1);
    EXPECT_EQ(p.mBars[1].shown, 0) << "the first update starts the clock";
    const int steps = (target + 19) / 20;
    Updates(steps - 1);
    EXPECT_LT(p.mBars[1].shown, target);
    Updates(1);
    EXPECT_EQ(p.mBars[1].shown, target);
    EXPECT_EQ(p.mBars[0].shown, target) << "one result: the average is the best";
}

// Every grid line of the graph carries its value, also on the tall scales of fast typists.
TEST_F(StatsPanelTest, EveryGridLineIsNumbered)
{
    std::vector<Label> drawn;
    delete app->mFontMyriad12Bold;
    app->mFontMyriad12Bold = new RecordingFont(&drawn);
    Zant::MemoryImage screen;
    screen.Create(640, 480);

    int lesson = 1;
    for (int best : {90, 149, 150, 160, 205}) {
        SCOPED_TRACE(best);
        TutorialPanel& p = OpenPassedLesson(lesson++, best);
        drawn.clear();
        Zant::Graphics g(&screen);
        p.Draw(&g);
        const TutorialPanel::Scale s = TutorialPanel::ComputeScale(0, best);
        ASSERT_GT(s.lines, 2);
        for (int i = 0; i < s.lines; ++i) {
            const std::string value = std::to_string(s.step * i);
            const bool found = std::any_of(drawn.begin(), drawn.end(), [&](const Label& l) { return l.text == value; });
            EXPECT_TRUE(found) << "no label " << value << " on a scale of " << s.lines << " lines";
        }
    }
}

// The upright axis is the scale's own: at any best result it ends on the top grid
// line and does not run on above it into the card.
TEST_F(StatsPanelTest, AxisEndsOnTheTopGridLine)
{
    constexpr int AXIS_X = 273, BASE_Y = 340;
    constexpr uint32_t AXIS_COLOUR = 0xFFFFCC00u;
    int lesson = 1;
    for (int best : {6, 48, 90, 149, 205}) {
        SCOPED_TRACE(best);
        TutorialPanel& p = OpenPassedLesson(lesson++, best);
        Zant::MemoryImage screen;
        screen.Create(640, 480);
        Zant::Graphics g(&screen);
        p.Draw(&g);
        const TutorialPanel::Scale s = TutorialPanel::ComputeScale(0, best);
        const int topLine = BASE_Y - s.pixelsPerStep * (s.lines - 1);
        int axisTop = BASE_Y;
        for (int y = BASE_Y; y >= 0; --y)
            if (screen.GetBits()[y * 640 + AXIS_X + 1] == AXIS_COLOUR)
                axisTop = y;
        // The top line (2 px) is drawn over the axis's end.
        EXPECT_GE(axisTop, topLine) << "the axis runs on above the top line of " << s.lines;
        EXPECT_LE(axisTop, topLine + 2) << "the axis stops short of the top line of " << s.lines;
    }
}

// The chart card (372 wide at x 242) is painted with its brass frame 8 pixels in from
// its right edge: the longest bar label, pushed left off the card's edge, stays clear of it.
TEST_F(StatsPanelTest, BarLabelsStayClearOfTheCardFrame)
{
    constexpr int CARD_X = 242, CARD_WIDTH = 372, FRAME = 8, CLEARANCE = 4;
    auto* card = new Zant::MemoryImage();
    card->Create(CARD_WIDTH, 322);
    app->SetImage(Zant::KeyboardGuide::ImageIndex("tab_panel_white"), card);
    std::vector<Label> drawn;
    delete app->mFontRockwell13;
    // Rockwell 13 writes "Most Recent Attempt" about 135 pixels wide.
    app->mFontRockwell13 = new RecordingFont(&drawn, 7);
    profile->AddLessonStat1(30, 2);
    profile->mLessonResult[2] = 1;
    TutorialPanel& p = OpenPanel(2);
    p.SetActive(true);
    Zant::MemoryImage screen;
    screen.Create(640, 480);
    Zant::Graphics g(&screen);
    p.Draw(&g);
    const auto label = std::find_if(drawn.begin(), drawn.end(), [](const Label& l) { return l.text == "Most Recent Attempt"; });
    ASSERT_NE(label, drawn.end());
    EXPECT_LE(label->x + 7 * int(label->text.size()), CARD_X + CARD_WIDTH - FRAME - CLEARANCE);
}
