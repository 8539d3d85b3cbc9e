// The bosses and the level-complete screen in a real X window (a private Xvfb
// server), with the program's own images and fonts: each boss fighting with a
// volley in the air and one shot half typed, the torpedo boss dying, and the
// level-complete panel in its sonar sweep, each compared with its reference picture
// in this folder.
#include <gtest/gtest.h>

#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BossKinds.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/shell/WinBTApp.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// A boss at its fighting place with a volley fired and flown a little way, the first
// shot with two letters typed.
void FightingBoss(Board* board, int type)
{
    ProjectileBoss* boss = board->CreateBoss(type);
    board->mBoss = boss;
    auto* kind = static_cast<TorpedoBoss*>(boss);
    kind->mX = kind->mMinX;
    kind->mY = (kind->mMinY + kind->mMaxY) / 2;
    kind->mTimeToFire = 0.0;
    kind->mMaxMissiles = 3;
    kind->mMinMissileSpeed = 0.8;
    kind->mMaxMissileSpeed = 1.0;
    kind->mHealth = 60;
    kind->mMaxHealth = 100;
    kind->mMinWord = 4;
    kind->mMaxWord = 6;
    kind->mFireTimer->SetDisabled(false);
    kind->SetState(ProjectileBoss::FIGHTING);
    kind->mBobSpeed = 0.0;
    kind->mStrafeSpeed = 0.0;
    for (int i = 0; i < 90; ++i)
        kind->Update();
    if (!kind->GetShots().empty()) {
        kind->GetShots()[0]->TypeLetter();
        kind->GetShots()[0]->TypeLetter();
    }
}

void Scenario(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    ASSERT_TRUE(app->mWordLists.LoadWordLengthLists());
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(*app, File(Level(Sharks())));
    ASSERT_NE(board, nullptr);

    Player* player = &TestSupport::PutDiverInPlay(*board, Player::BOSS_FIGHT, 52340, 0.8);
    TestSupport::RunAnsweringHints(*app, 300);
    board->mHintAlpha = 0;
    // The field stands still from here (the pause), with the words shown.
    board->Pause(true);
    board->mPaused = false;

    const struct {
        int type;
        const char* name;
    } bosses[] = {{ENEMY_TORPEDO, "boss-torpedo.png"},
                  {ENEMY_GHOST_SHIP, "boss-ghost-ship.png"},
                  {ENEMY_MECHA_SHARK, "boss-mecha-shark.png"},
                  {ENEMY_MECHA_SQUID, "boss-mecha-squid.png"}};
    for (const auto& b : bosses) {
        FightingBoss(board, b.type);
        shoot(b.name);
        if (b.type == ENEMY_TORPEDO) {
            auto* boss = static_cast<TorpedoBoss*>(board->mBoss);
            boss->mHealth = 0;
            boss->SetState(ProjectileBoss::HIT);
            for (int i = 0; i < 40; ++i)
                boss->Update();
            shoot("boss-torpedo-dying.png");
        }
        delete board->mBoss;
        board->mBoss = nullptr;
    }

    // The level complete: the panel over the field, its sonar sweep under way.
    board->mPaused = true;
    board->Pause(false);
    board->mAccuracyHits = 190;
    board->mAccuracyMisses = 8;
    player->SetState(Player::PLAYING);
    board->ShowLevelComplete();
    for (int i = 0; i < 40; ++i)
        app->mWidgetManager->UpdateFrame();
    shoot("level-complete.png");

    TestSupport::RemoveBoard(*app);
}

} // namespace

TEST(BossScreen, BossesAndTheLevelComplete)
{
    const std::string skipped = TestSupport::RunGameScreens("bosses", 2026, Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
