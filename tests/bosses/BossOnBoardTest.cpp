// A boss on the board: due at 1000 ft in the abyss, built by the spawner, fought
// with the board's own key handling to its end, and removed by the board.
#include <cstring>

#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"
#include "tests/bosses/BossTestSupport.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class BossOnBoardTest : public BoardFixture {
protected:
    BossOnBoardTest() { BossTests::AddBossArt(*app, &draws); }

    // An abyss board at 996 ft, the next ruler entry (1000 ft) at the diver's feet.
    void NearAThousandFeet(int bossesSoFar)
    {
        app->mBoard = nullptr;
        StartLevel(AbyssFile(Level(Sharks(), 1) + Level(Sharks(), 2)), -1);
        config->ResetWaves(0);
        DiverInPlace();
        board->mScrollSpeed = 1.0;
        board->mScrollDistance = board->mLeadInHeight + 1.0;
        board->mAbyssDepth = board->mStageDepth = 996;
        board->mAbyssBoss = bossesSoFar;
        for (DepthMark* mark : board->mDepthMarks)
            delete mark;
        board->mDepthMarks.clear();
        Player* player = board->mPlayer;
        board->mDepthMarks.push_back(Board::MakeDepthMark(1000, player->mY + player->GetHeight() + 1.0));
    }

    // Updates until the boss fights; false when it never does.
    bool ReachBossFight()
    {
        for (int i = 0; i < 5000; ++i) {
            if (board->mBoss && board->mBoss->mState == ProjectileBoss::FIGHTING)
                return true;
            Run(1);
        }
        return false;
    }

    // Types the word of every shot flying at the diver, key by key.
    void TypeShots()
    {
        if (board->mBoss == nullptr)
            return;
        const std::vector<Projectile*> shots = board->mBoss->GetShots();
        for (Projectile* shot : shots)
            if (shot->mState == Projectile::FLYING && shot->mActive && shot->mTypedCount == 0)
                for (char c : shot->mWord)
                    board->KeyChar(c);
    }
};

} // namespace

TEST_F(BossOnBoardTest, AnAbyssRunMeetsItsBossAtAThousandFeetAndBeatsIt)
{
    const struct {
        int bossesSoFar;
        int type;
    } cases[] = {{-1, ENEMY_TORPEDO}, {0, ENEMY_MECHA_SHARK}, {1, ENEMY_MECHA_SQUID}, {2, ENEMY_GHOST_SHIP}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        NearAThousandFeet(c.bossesSoFar);
        Run(1);
        EXPECT_EQ(board->mAbyssDepth, 1000);
        ASSERT_NE(board->mBoss, nullptr);
        EXPECT_EQ(board->BossKind(), c.type);
        EXPECT_EQ(board->mAbyssBoss, c.bossesSoFar + 1);
        EXPECT_EQ(board->mPlayer->mState, Player::BOSS_FIGHT);
        EXPECT_EQ(board->BossHealth(), 200 + (c.type == ENEMY_GHOST_SHIP || c.type == ENEMY_MECHA_SQUID ? 50 : 0));

        const int score = board->mPlayer->mScore;
        int updates = 0;
        for (; updates < 30000 && board->mBoss != nullptr; ++updates) {
            Run(1);
            TypeShots();
        }
        EXPECT_EQ(board->mBoss, nullptr) << "the boss was never removed";
        EXPECT_EQ(board->mPlayer->mState, Player::PLAYING);
        EXPECT_EQ(board->mPlayer->mLives, 0) << "no shot reached the diver";
        EXPECT_GE(board->mPlayer->mScore - score, board->GetDifficultyBonusPoints());
        EXPECT_EQ(board->mLockedEnemy, nullptr);
        // Only the word-carrying shots count for accuracy.
        EXPECT_EQ(board->mAccuracyHits > 0, c.type == ENEMY_TORPEDO || c.type == ENEMY_MECHA_SHARK);
    }
}

TEST_F(BossOnBoardTest, AShotOnTheDiverSendsHimUp)
{
    NearAThousandFeet(-1);
    Run(1);
    ASSERT_NE(board->mBoss, nullptr);
    int updates = 0;
    while (board->mPlayer->mState == Player::BOSS_FIGHT && updates < 20000) {
        // The diver stands in the first row's way.
        for (Projectile* shot : board->mBoss->GetShots())
            if (shot->mRow == 1)
                board->mPlayer->mY = shot->mY - 20.0;
        Run(1);
        ++updates;
    }
    EXPECT_EQ(board->mPlayer->mState, Player::HIT_BY_SHOT);
    while (board->mPlayer->mState == Player::HIT_BY_SHOT && updates < 20000) {
        Run(1);
        ++updates;
    }
    EXPECT_EQ(board->mPlayer->mState, Player::RISING);
}

TEST_F(BossOnBoardTest, APauseIsLeftOutOfTheBossTimers)
{
    NearAThousandFeet(-1);
    ASSERT_TRUE(ReachBossFight());
    auto* boss = static_cast<TorpedoBoss*>(board->mBoss);
    // Part way to the next volley and the next sonar ping.
    Run(30);
    const int fire = boss->mFireTimer->GetElapsed();
    const int ping = boss->mSoundTimer->GetElapsed();
    const size_t shots = boss->GetShots().size();
    ASSERT_LT(fire, boss->mTimeToFire);

    // Far longer than the time to fire and the ping's period.
    board->Pause(true);
    Run(400);
    board->Pause(false);
    EXPECT_EQ(boss->mFireTimer->GetElapsed(), fire);
    EXPECT_EQ(boss->mSoundTimer->GetElapsed(), ping);
    Run(1);
    EXPECT_EQ(boss->GetShots().size(), shots) << "a volley came straight after the pause";
}

namespace {

int ImageIndexOf(const char* name)
{
    for (int i = 0; i < WinBTApp::NUM_IMAGES; ++i)
        if (std::strcmp(WinBTApp::IMAGE_NAMES[i], name) == 0)
            return i;
    return -1;
}

} // namespace

TEST_F(BossOnBoardTest, TheBoardDrawsItsBossOverTheDiverAndItsHealthBar)
{
    const int meter = ImageIndexOf("boss_meter");
    const int fill = ImageIndexOf("boss_meter_fill");
    app->SetImage(meter, CreatureTests::MakeCodedImage(meter));
    app->SetImage(fill, CreatureTests::MakeCodedImage(fill));
    StartLevel(OneWaveLevel());
    board->mFadeAlpha = 0;
    board->mIntroAlpha = 0;
    board->mHintAlpha = 0;
    board->mScrollDistance = board->mLeadInHeight + 1.0;
    DiverInPlace();
    Player* player = board->mPlayer;
    player->mX = 320.0;
    player->mY = 250.0;

    ProjectileBoss* boss = board->CreateBoss(ENEMY_TORPEDO);
    board->mBoss = boss;
    boss->mX = 300.0;
    boss->mY = 150.0;
    // A point of the hull that the diver covers too.
    const int hullX = 340;
    const int hullY = 260;
    ASSERT_LT(hullY, boss->mY + boss->GetHeight());

    const struct {
        int health;
        // Whether the bar shows at all, and its fill reaches x 360.
        bool bar;
        bool fillAt360;
    } cases[] = {{100, true, true}, {50, true, false}, {0, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.health);
        boss->mMaxHealth = 100;
        boss->mHealth = c.health;
        std::fill_n(screen.GetBits(), size_t(640) * 480, CreatureTests::BACKGROUND);
        screen.BitsChanged();
        board->Draw(&graphics);
        EXPECT_EQ(CreatureTests::PixelImage(ScreenPixel(hullX, hullY)), IMAGE_BOSS_TORPEDO);
        // Half health fills 147 of the bar's 294 pixels.
        EXPECT_EQ(CreatureTests::PixelImage(ScreenPixel(200, 58)) == fill, c.bar);
        EXPECT_EQ(CreatureTests::PixelImage(ScreenPixel(360, 58)) == fill, c.fillAt360);
        EXPECT_EQ(CreatureTests::PixelImage(ScreenPixel(130, 40)) == meter, c.bar);
    }
    board->mBoss = nullptr;
    delete boss;
}
