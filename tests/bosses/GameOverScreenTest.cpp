// The game-over dialog in a real X window (a private Xvfb server), with the
// program's own images and fonts: a big adventure lost with its last diver and an
// abyss dive lost short of the player's records, each compared with its reference
// picture in this folder.
#include <gtest/gtest.h>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/SettingsStore.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// A board on the configuration's first level, its diver about to be lost for the
// last time after a game with these totals.
void LoseLastDiver(WinBTApp* app, const std::string& configText, int levelIndex, int depth, int score)
{
    Board* board = TestSupport::ShowBoard(*app, configText);
    ASSERT_NE(board, nullptr);
    // The zapper's hint, due when its charge is full, stays out of the picture.
    board->SetZapperHintDue(false);
    TestSupport::RunAnsweringHints(*app, 300);
    ASSERT_FALSE(board->mPaused);

    app->mRunTypingTime = 250000;
    app->mRunTotal9 = 3100;
    app->mRunTotal10 = 140;
    app->mRunLevelTotal8 = 431000;
    board->mTypingTime = 20000;
    board->mAccuracyHits = 180;
    board->mAccuracyMisses = 9;
    board->mAbyssDepth = depth;
    board->mHintAlpha = 0;
    Player* player = board->mPlayer;
    player->mScore = score;
    player->mLevelIndex = levelIndex;
    player->mLives = 0;
    player->SetState(Player::RISING);
    player->mY = -player->GetHeight() - 1.0;
    for (int i = 0; i < 3; ++i)
        app->mWidgetManager->UpdateFrame();
    ASSERT_NE(app->FindDialog(Board::GAME_OVER_DIALOG), nullptr);
    EXPECT_TRUE(board->mPaused);
}

void Scenario(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    ASSERT_TRUE(app->mWordLists.LoadWordLengthLists());
    app->mFontRockwell13 = new ImageFont(app, "data/Rockwell13.txt");
    app->mFontRockwell13Bold = new ImageFont(app, "data/Rockwell13Bold.txt");
    ASSERT_TRUE(static_cast<ImageFont*>(app->mFontRockwell13)->IsLoaded());
    ASSERT_TRUE(static_cast<ImageFont*>(app->mFontRockwell13Bold)->IsLoaded());
    // Start-up loads the dialogs' pictures after the loading step's.
    for (int index : {IMAGE_DIALOG, IMAGE_DBUTTON})
        app->SetImage(index, app->LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[index]));
    ASSERT_NE(app->GetImage(IMAGE_DBUTTON), nullptr);

    // The player in play, with records of earlier dives deeper and richer than the
    // last, written to a store of the test's own when the game ends.
    Platform::SettingsStore store;
    store.CreateKey("SOFTWARE\\Vorlix\\Plindor");
    Platform::SetSettingsStore(&store);
    struct StoreInUse {
        ~StoreInUse() { Platform::SetSettingsStore(nullptr); }
    } storeInUse;
    app->mProfileMgr = new UserProfileMgr(app);
    auto* player = new UserProfile(app);
    player->mName = "Ann";
    app->mProfileMgr->AddUserProfile(player);
    app->mCurProfile = player;
    player->mBestDepth = 6350;
    player->SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 2046815, 6);

    using namespace LevelFiles;
    LoseLastDiver(app, File(Level(Sharks())), 6, 0, 1190566);
    if (testing::Test::HasFatalFailure())
        return;
    shoot("game-over.png");
    TestSupport::RemoveBoard(*app);

    LoseLastDiver(app, File("<AbyssMode/>\n" + Level(Sharks()), Defaults(Value("OceanDepth", "-1"))), 0, 1240,
                  52340);
    if (testing::Test::HasFatalFailure())
        return;
    shoot("game-over-abyss.png");
    TestSupport::RemoveBoard(*app);
    delete app->mProfileMgr;
    app->mProfileMgr = nullptr;
}

} // namespace

TEST(GameOverScreen, AdventureAndAbyss)
{
    const std::string skipped = TestSupport::RunGameScreens("bosses", 2026, Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
