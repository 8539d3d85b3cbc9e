// The tutor's statistics page: the graph's scale, bars in proportion to it, the
// explanation, stepping through the lessons and the bars growing into place.
#include "tests/tutor/TutorFixture.h"

#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/DialogButton.h"
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
    ~StatsPanelTest() override
    {
        if (panel)
            app->mWidgetManager->RemoveWidget(panel.get());
    }
    std::unique_ptr<TutorialPanel> panel;
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
