// The tutor as a player sees it, in a real X window (a private Xvfb server) with the
// program folder's pictures and fonts: a lesson waiting for its first key, then with
// a capital letter next, the question at its end, the results page once it is
// answered, and the statistics page of that lesson; a lesson failed before, and the
// typing test against its clock, each with the key to press lit. Each frame is
// read back from the window and compared with the reference picture beside this
// test; the frames are also written beside the build for a look.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/TutorStatsPanel.h"
#include "game/shell/TypingTutor.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// The statistics screen's backdrop behind its tutor page.
class StatsBackdrop : public Widget {
public:
    explicit StatsBackdrop(WinBTApp* app) : mApp(app) {}
    void Draw(Graphics* g) override
    {
        g->DrawImage(mApp->GetImage(IMAGE_WATER1), 0, 0);
        if (Image* panel = mApp->GetImage(KeyboardGuide::ImageIndex("tab_panel")))
            g->DrawImage(panel, 0, 40);
    }
    WinBTApp* mApp;
};

} // namespace

TEST(TutorScreenshots, LessonResultsAndStatistics)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images/tutor_bg.png"))
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    TestSupport::GameScreenshotRig rig;
    if (const std::string why = rig.Start("tutor", 2026); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_TRUE(rig.Attach(std::make_unique<TestSupport::QuietApp>()));
    WinBTApp& app = rig.App();
    app.mWidth = 640;
    app.mHeight = 480;
    UserProfile* profile = &rig.AddPlayer("Screens", 1);
    profile->mLastLesson = 12;
    auto shoot = [&](const char* name) {
        // Channel steps: the display's rounding; pixels: 0.5 % of the frame.
        EXPECT_LE(rig.Shoot("tutor/reference", name, 8), 640 * 480 / 200) << name;
    };
    auto updates = [&](int n) {
        for (int i = 0; i < n; ++i)
            app.mWidgetManager->UpdateFrame();
    };

    // The tutor as the menu opens it, on the profile's lesson, and its leaving.
    auto open = [&] {
        auto* opened = new TypingTutor(&app);
        opened->Resize(0, 0, 640, 480);
        app.mWidgetManager->AddWidget(opened);
        app.mWidgetManager->SetFocus(opened);
        return opened;
    };
    auto close = [&](TypingTutor* closed) {
        app.mWidgetManager->RemoveWidget(closed);
        delete closed;
        app.FlushWidgetDeletions();
    };

    TypingTutor* tutor = open();
    ASSERT_EQ(tutor->GetLessonIndex(), 12);
    // Before the first key: the lesson's description, the prompt and fish behind the panels.
    updates(300);
    ASSERT_GT(tutor->mFish.Count(), 0);
    shoot("tutor-waiting.png");

    // The capitals lesson, with "S" next: the right Shift and the left ring finger lit.
    for (char c : std::string("Aa "))
        tutor->KeyChar(c);
    tutor->KeyChar('x');
    updates(30);
    ASSERT_EQ(tutor->mExpectedChar, 'S');
    shoot("tutor-lesson.png");

    // The rest of the lesson at a steady pace, then the results and the question.
    while (tutor->mState == TypingTutor::STATE_TYPING) {
        tutor->KeyChar(tutor->mExpectedChar);
        updates(25);
    }
    ASSERT_EQ(tutor->mState, TypingTutor::STATE_RESULTS);
    ASSERT_NE(app.FindDialog(TypingTutor::QUESTION_DIALOG), nullptr);
    EXPECT_GT(tutor->mPauseCount, 0) << "the question pauses the tutor";
    shoot("tutor-question.png");
    // Answered "no": the results page stays, running again.
    app.RemoveDialog(TypingTutor::QUESTION_DIALOG);
    app.FlushWidgetDeletions();
    tutor->mAskedViewStats = false;
    app.mWidgetManager->SetFocus(tutor);
    ASSERT_EQ(tutor->mPauseCount, 0);
    // The fish come back while the results are shown.
    updates(300);
    shoot("tutor-results.png");
    close(tutor);

    // The lesson's statistics, the bars grown to their heights.
    StatsBackdrop backdrop(&app);
    backdrop.Resize(0, 0, 640, 480);
    app.mWidgetManager->AddWidget(&backdrop);
    auto panel = std::make_unique<TutorialPanel>(&app);
    panel->Resize(0, 40, 640, 432);
    panel->SetProfile(profile);
    app.mWidgetManager->AddWidget(panel.get());
    panel->ShowLesson(profile->mLastLesson);
    panel->SetActive(true);
    updates(20);
    ASSERT_EQ(panel->mBars[2].shown, panel->mBars[2].target);
    shoot("tutor-stats.png");
    app.mWidgetManager->RemoveWidget(panel.get());
    app.mWidgetManager->RemoveWidget(&backdrop);

    // A lesson failed before, some way into a new attempt: its verdict by the title
    // and "b" lit on the keyboard.
    profile->mLastLesson = 9;
    profile->mLessonResult[9] = 0;
    tutor = open();
    ASSERT_EQ(tutor->GetLessonIndex(), 9);
    for (char c : std::string("fff f"))
        tutor->KeyChar(c);
    updates(30);
    ASSERT_EQ(tutor->mExpectedChar, 'b');
    shoot("tutor-failed.png");
    close(tutor);

    // The typing test, eleven seconds into its minute.
    profile->mLastLesson = 0;
    profile->mLessonResult[0] = -1;
    tutor = open();
    ASSERT_EQ(tutor->GetLessonIndex(), 0);
    for (char c : std::string("The diver checked her t")) {
        tutor->KeyChar(c);
        updates(52);
    }
    ASSERT_EQ(tutor->mExpectedChar, 'a');
    ASSERT_EQ(tutor->mTimeLeft, 49);
    shoot("tutor-test.png");
    close(tutor);
}
