// The high-score screen and the three pages of the statistics screen as a player sees
// them, in a real X window (a private Xvfb server) with the program folder's pictures
// and fonts: a fixed table and a fixed player, after a big game. Each frame is read back from the
// window and compared with the reference picture beside this test.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/StatsScreen.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/Paths.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// Per channel: the display's rounding. Pixels: none may differ beyond it but a few
// edge pixels.
constexpr int CHANNEL_TOLERANCE = 8;
constexpr int MAX_DIFFERING_PIXELS = 100;

// The tables: the defaults with a long-named player's big game (a seven-digit
// score) and a deep dive entered.
void FillTables(WinBTApp& app)
{
    UserProfileMgr& mgr = *app.mProfileMgr;
    mgr.ResetHighScores();
    UserProfile player(&app);
    player.mName = "Maximilian Oddfellow";
    player.SetCurrentMode(3, 1190566, 9);
    mgr.EnterResult(&player);
    player.mName = "Jo";
    player.mDepth = 1925;
    player.SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 88000, 4);
    mgr.EnterResult(&player);
}

// A player after many games, the last a big one: seven-digit best scores in both
// modes and counts of every width.
void FillProfile(UserProfile& p)
{
    p.mNumSharksKilled = 18412;
    p.mNumPiranhasKilled = 9875;
    p.mNumBossesKilled = 23;
    p.mBestTreasureStreak = 41;
    p.SetCurrentMode(2, 1190566, 11);
    p.mExpeditions = 6;
    p.mGameTreasures = {14, 0, 27, 9, 31, 12};
    p.mGameSecretItems = {3, 0, 11, 0};
    p.mBestDepth = 6350;
    p.mNumAbyssSharksKilled = 3120;
    p.mNumAbyssPiranhasKilled = 2775;
    const std::pair<int, int> bosses[] = {{12, 12}, {14, 7}, {15, 3}, {16, 0}};
    for (const auto& [kind, count] : bosses)
        for (int i = 0; i < count; ++i)
            p.AddBossKill(kind);
    p.mDepth = 6350;
    p.SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 2046815, 6);
    // Three attempts at lesson 5, the last one passed.
    const int attempts[][3] = {{22, 17, 84}, {31, 27, 90}, {36, 34, 95}};
    for (const auto& [raw, adjusted, accuracy] : attempts) {
        p.AddLessonStat1(raw, 5);
        p.AddLessonStat2(adjusted, 5);
        p.AddLessonStat3(accuracy, 5);
    }
    p.mLessonResult[5] = 1;
    p.mLastLesson = 5;
}

} // namespace

TEST(ScoreScreenshots, HighScoresAndStatistics)
{
    std::filesystem::remove_all(Platform::UserDataFolder() + "/users");
    TestSupport::GameScreenshotRig rig;
    if (const std::string why = rig.Start("scores", 2026); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_TRUE(rig.Attach(std::make_unique<TestSupport::QuietApp>()));
    WinBTApp& app = rig.App();
    WidgetManager& widgets = *app.mWidgetManager;

    UserProfile* profile = &rig.AddPlayer("Screens", 1);
    FillTables(app);
    FillProfile(*profile);
    auto shoot = [&](const char* name) {
        EXPECT_LE(rig.Shoot("scores/reference", name, CHANNEL_TOLERANCE), MAX_DIFFERING_PIXELS) << name;
    };

    {
        HighScoreScreen scores(&app, app.mProfileMgr);
        scores.Resize(0, 0, 640, 480);
        std::unique_ptr<DialogButton> close(HighScoreScreen::CreateCloseButton(&app));
        widgets.AddWidget(&scores);
        widgets.AddWidget(close.get());
        shoot("high-scores.png");
        widgets.RemoveWidget(close.get());
        widgets.RemoveWidget(&scores);
    }
    {
        StatsScreen stats(&app, StatsScreen::TAB_ADVENTURE);
        stats.SetUserProfile(profile);
        stats.Resize(0, 0, 640, 480);
        std::unique_ptr<DialogButton> close(StatsScreen::CreateCloseButton(&app));
        widgets.AddWidget(&stats);
        widgets.AddWidget(close.get());
        app.mStatsCloseButton = close.get();
        shoot("stats-adventure.png");
        stats.mTabs->SelectTab(StatsScreen::TAB_ABYSS);
        shoot("stats-abyss.png");
        // The tutor's page, its bars grown to their heights.
        stats.mTabs->SelectTab(StatsScreen::TAB_TUTOR);
        for (int i = 0; i < 30; ++i)
            widgets.UpdateFrame();
        shoot("stats-tutor.png");
        app.mStatsCloseButton = nullptr;
        widgets.RemoveWidget(close.get());
        widgets.RemoveWidget(&stats);
    }
}
