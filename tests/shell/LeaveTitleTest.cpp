// Leaving the title screen: the menu appears, and a default user whose data file was
// refused is told so and starts afresh while the other players stay as they were.
#include <gtest/gtest.h>

#include <string>

#include "framework/widgets/WidgetManager.h"
#include "game/shell/KeyDialog.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/StatsScreen.h"
#include "tests/profiles/ProfileFixture.h"
#include "tests/support/TestSupport.h"

namespace {

class LeaveTitleTest : public ProfileTests::ProfileFixture {
protected:
    LeaveTitleTest() { app->mWidgetManager = new Zant::WidgetManager(app.get()); }

    // As start-up does: the manager, then the default user's profile.
    void StartProfiles()
    {
        app->mProfileMgr = new Zant::UserProfileMgr(app.get());
        app->mCurProfile = app->mProfileMgr->GetUserProfile(app->mProfileMgr->GetDefaultUserName());
    }
};

} // namespace

TEST_F(LeaveTitleTest, AGoodProfileGoesStraightToTheMenu)
{
    StoreUser("Ann", 0);
    StartProfiles();
    ASSERT_NE(app->mCurProfile, nullptr);
    app->LeaveTitleScreen();
    EXPECT_NE(app->mMenuScreen, nullptr);
    EXPECT_EQ(app->FindDialog(500), nullptr);
}

TEST_F(LeaveTitleTest, ARefusedDataFileIsToldAndTheProfileStartsAfresh)
{
    StoreUser("Ann", 0);
    StoreUser("Bob", 1);
    const std::string bobFile = TestSupport::ReadFile(Zant::UserDataFilePath(1));
    {
        // Ann's saved statistics, then a file cut inside a string.
        Zant::UserProfileMgr mgr(app.get());
        Zant::UserProfile* ann = mgr.GetUserProfile("Ann");
        ASSERT_NE(ann, nullptr);
        ann->SetCurrentMode(0, 5000, 3);
        mgr.WriteUserProfileToRegistry(ann, false, false);
        ASSERT_TRUE(mgr.RegisterDefaultUserName("Ann"));
    }
    const std::string annFile = TestSupport::ReadFile(Zant::UserDataFilePath(0));
    TestSupport::WriteFile(Zant::UserDataFilePath(0), annFile.substr(0, annFile.size() - 1));

    StartProfiles();
    EXPECT_EQ(app->mCurProfile, nullptr);
    app->LeaveTitleScreen();

    auto* message = dynamic_cast<Zant::KeyDialog*>(app->FindDialog(500));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->mDialogHeader, "Error");
    EXPECT_EQ(message->mDialogLines, "Your saved data was either\nnot found or is corrupted. \nA new one will be created.\n");
    ASSERT_NE(app->mCurProfile, nullptr);
    EXPECT_EQ(app->mCurProfile->mName, "Ann");
    EXPECT_EQ(app->mCurProfile->mUserNumber, 0);
    EXPECT_EQ(app->mCurProfile->GetBestScore(), 0);
    EXPECT_EQ(app->mProfileMgr->GetProfiles().size(), 2u);

    // Bob's file and profile are untouched and still load.
    EXPECT_EQ(TestSupport::ReadFile(Zant::UserDataFilePath(1)), bobFile);
    EXPECT_NE(app->mProfileMgr->GetUserProfile("Bob"), nullptr);
}

TEST_F(LeaveTitleTest, StatisticsAndHighScoresTakeThePlaceOfTheMenuWithTheirCloseButtons)
{
    StoreUser("Ann", 0);
    StartProfiles();
    app->LeaveTitleScreen();
    ASSERT_NE(app->mMenuScreen, nullptr);

    app->ShowStatsScreen(0);
    EXPECT_EQ(app->mMenuScreen, nullptr);
    ASSERT_NE(app->mStatsScreen, nullptr);
    EXPECT_TRUE(app->mWidgetManager->HasWidget(app->mStatsScreen));
    ASSERT_NE(app->mStatsCloseButton, nullptr);
    EXPECT_EQ(app->mStatsCloseButton->mX, 480);
    EXPECT_EQ(app->mStatsCloseButton->mY, 420);

    app->ShowHighScoreScreen();
    ASSERT_NE(app->mHighScoreCloseButton, nullptr);
    EXPECT_EQ(app->mHighScoreCloseButton->mX, 221);
    EXPECT_EQ(app->mHighScoreCloseButton->mWidth, 193);

    // A second showing brings the same button back, enabled and in front.
    Zant::Widget* close = app->mHighScoreCloseButton;
    close->SetVisible(false);
    close->SetDisabled(true);
    app->mWidgetManager->RemoveWidget(app->mHighScoreScreen);
    delete app->mHighScoreScreen;
    app->mHighScoreScreen = nullptr;
    app->ShowHighScoreScreen();
    EXPECT_EQ(app->mHighScoreCloseButton, close);
    EXPECT_TRUE(close->mVisible);
    EXPECT_FALSE(close->mDisabled);
}
