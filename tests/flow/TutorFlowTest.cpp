// The typing tutor reached from the menu: a lesson typed to its end, its statistics
// looked at, and the tutor taken up again.
#include <gtest/gtest.h>

#include <fstream>

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/LessonManager.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TabbedWidget.h"
#include "game/shell/TutorStatsPanel.h"
#include "game/shell/TypingTutor.h"
#include "tests/flow/FlowFixture.h"

using namespace Zant;

namespace FlowTests {

class TutorFlowTest : public FlowFixture {
protected:
    TutorFlowTest()
    {
        for (int i = 0; i < 19; ++i)
            std::ofstream(dataFolder + "/data/lesson" + std::to_string(i) + ".xml", std::ios::binary)
                << "<LESSON>\n<HEADINGS>\n<H>Heading</H>\n</HEADINGS>\n<DESCRIPTION>Lesson " << i
                << "</DESCRIPTION>\n<TASK>\n<HEADING>1</HEADING>\n<TEXT>ab c</TEXT>\n<TEXT>de</TEXT>\n</TASK>\n"
                   "</LESSON>\n";
    }
    // A click in the middle of a widget, through the widget manager.
    void Click(const Widget& w)
    {
        const int x = w.mX + w.mWidth / 2;
        const int y = w.mY + w.mHeight / 2;
        app->mWidgetManager->MouseMove(x, y);
        app->mWidgetManager->MouseDown(x, y, 1);
        app->mWidgetManager->MouseUp(x, y, 1);
    }
};

TEST_F(TutorFlowTest, YesToViewStatsShowsTheTutorTabAndClosingItResumesTheTutor)
{
    StartProfiles();
    app->LeaveTitleScreen();
    CreatePlayer("Ann");
    ASSERT_EQ(MessageHeader(), "ASSESS WPM?");
    Answer(false); // the tutor opens on lesson 1

    Press(102);
    TypingTutor* tutor = app->mTypingTutor;
    ASSERT_NE(tutor, nullptr);
    ASSERT_EQ(tutor->mLessonManager->mCurLesson, 1);
    Type("ab cde");
    Run(2);
    ASSERT_EQ(MessageHeader(), "VIEW STATS?");

    Answer(true);
    Run(2);
    ASSERT_NE(app->mStatsScreen, nullptr);
    EXPECT_EQ(app->mStatsScreen->mTabs->mSelected, StatsScreen::TAB_TUTOR);
    EXPECT_EQ(app->mStatsScreen->mTutorialPanel->mGraphTitle, "LESSON 1: Words Per Minute");
    EXPECT_FALSE(tutor->mVisible);
    EXPECT_EQ(Message(), nullptr);

    ASSERT_NE(app->mStatsCloseButton, nullptr);
    Click(*app->mStatsCloseButton);
    Run(2);
    EXPECT_EQ(app->mStatsScreen, nullptr);
    ASSERT_EQ(app->mTypingTutor, tutor);
    EXPECT_TRUE(tutor->mVisible);
    EXPECT_FALSE(tutor->mAskedViewStats);
    EXPECT_EQ(app->mWidgetManager->mFocusWidget, tutor);
    EXPECT_EQ(tutor->mPauseCount, 0);

    // The tutor answers its buttons again: Next moves on to lesson 2.
    Click(*tutor->mNextButton);
    Run(2);
    EXPECT_EQ(tutor->mLessonManager->mCurLesson, 2);
    EXPECT_EQ(tutor->mState, 0);
}

} // namespace FlowTests
