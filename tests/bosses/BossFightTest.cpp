// Bosses: each fought to its end, the volleys and their firing rows, damage, the
// wait in the hit state, the ghost ship's letters, the animated parts, the abyss
// tuning, and what a deleted boss or shot leaves behind.
#include <algorithm>
#include <set>

#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "tests/bosses/BossTestSupport.h"

using namespace Zant;
using namespace BossTests;

namespace {

class BossFightTest : public BossFixture {
protected:
    // Updates until the boss has fired a volley; the events seen on the way.
    std::vector<int> UntilVolley(ProjectileBoss& boss, int limit = 3000)
    {
        std::vector<int> seen;
        for (int i = 0; i < limit; ++i) {
            Step(boss);
            for (int e : DrainEvents(boss))
                seen.push_back(e);
            if (std::count(seen.begin(), seen.end(), EVENT_VOLLEY_FIRED) > 0)
                break;
        }
        return seen;
    }

    static int Count(const std::vector<int>& events, int code)
    {
        return static_cast<int>(std::count(events.begin(), events.end(), code));
    }
};

} // namespace

TEST_F(BossFightTest, EachBossIsFoughtToItsEnd)
{
    const struct {
        int type;
        const char* name;
        bool sonarPing;
        // A word of one letter (cannon balls) or of the wave's lengths.
        bool oneLetter;
    } cases[] = {
        {ENEMY_TORPEDO, "Torpedo", true, false},
        {ENEMY_GHOST_SHIP, "GhostShip", false, true},
        {ENEMY_MECHA_SHARK, "MechaShark", true, false},
        {ENEMY_MECHA_SQUID, "MechaSquid", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BossWave wave;
        wave.type = c.name;
        wave.health = 45;
        Config* config = LoadBossConfig(wave);
        app->sounds.clear();
        auto boss = MakeBoss(c.type, config);
        EXPECT_EQ(boss->GetHealth(), 45);
        EXPECT_EQ(boss->mX, app->mWidth) << "enters at the right edge";
        EXPECT_EQ(boss->mY, boss->mMaxY);

        std::vector<int> events;
        int update = 0;
        for (; update < 20000 && Count(events, EVENT_REMOVE_ME) == 0; ++update) {
            Step(*boss);
            for (int e : DrainEvents(*boss))
                events.push_back(e);
            for (Projectile* shot : boss->GetShots()) {
                if (shot->mState == Projectile::FLYING) {
                    EXPECT_EQ(shot->mWord.size() == 1, c.oneLetter) << shot->mWord;
                    TypeWord(*shot);
                }
            }
        }
        ASSERT_EQ(Count(events, EVENT_REMOVE_ME), 1) << "the boss never left";
        EXPECT_EQ(events.front(), EVENT_BOSS_CREATED);
        EXPECT_EQ(events.back(), EVENT_REMOVE_ME);
        EXPECT_EQ(Count(events, EVENT_BOSS_KILLED), 1);
        EXPECT_EQ(Count(events, EVENT_SHOT_HIT_DIVER), 0);
        EXPECT_GE(Count(events, EVENT_FIGHT_STARTED), 2) << "the fight restarts after a hit";
        EXPECT_GE(Count(events, EVENT_WORD_COMPLETED), 5);
        // Words completed while the boss dies are not passed on.
        EXPECT_GE(Count(events, EVENT_VOLLEY_FIRED), Count(events, EVENT_WORD_COMPLETED));
        EXPECT_LE(boss->GetHealth(), 0);
        EXPECT_EQ(boss->mState, ProjectileBoss::DYING);
        EXPECT_LE(boss->mY, -boss->mHeight);
        EXPECT_TRUE(boss->GetShots().empty());

        const auto played = [&](int id) { return std::count(app->sounds.begin(), app->sounds.end(), id) > 0; };
        EXPECT_TRUE(played(SOUND_TORPEDOLAUNCH));
        EXPECT_TRUE(played(SOUND_EXPLOSION));
        EXPECT_EQ(played(SOUND_SONARPING1), c.sonarPing);
        EXPECT_FALSE(board->mBubbles.empty()) << "a volley leaves bubbles";
    }
}

TEST_F(BossFightTest, SwimsInWaitsASecondThenFights)
{
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
    int updates = 0;
    while (boss->mState == ProjectileBoss::SWIMMING_IN && updates < 5000) {
        Step(*boss);
        ++updates;
    }
    EXPECT_EQ(boss->mState, ProjectileBoss::WAITING);
    EXPECT_EQ(boss->mX, boss->mMinX);
    // 265 pixels at 0.5 an update.
    EXPECT_EQ(updates, 530);
    int waited = 0;
    while (boss->mState == ProjectileBoss::WAITING && waited < 5000) {
        Step(*boss);
        ++waited;
    }
    EXPECT_EQ(boss->mState, ProjectileBoss::FIGHTING);
    EXPECT_NEAR(waited, 100, 2);
    EXPECT_TRUE(boss->HasEvent(EVENT_FIGHT_STARTED));
}

TEST_F(BossFightTest, VolleysFillOnlyFreeRowsUpToTheMissileCount)
{
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
    ReachFight(*boss);
    UntilVolley(*boss);
    ASSERT_EQ(boss->GetShots().size(), 3u);
    for (int row = 1; row <= 3; ++row) {
        const Projectile* shot = boss->GetShots()[row - 1];
        EXPECT_EQ(shot->mRow, row);
        EXPECT_DOUBLE_EQ(shot->mY - boss->mY, boss->mRowOffsets[row - 1]);
        EXPECT_LT(shot->mVelX, 0.0);
    }
    EXPECT_FALSE(boss->HasFreeRow());

    // Every row taken: no volley, and the fire timer runs on.
    Step(*boss, 200);
    EXPECT_EQ(boss->GetShots().size(), 3u);
    const int waited = boss->mFireTimer->GetElapsed();
    EXPECT_GE(waited, 2000);

    // The middle shot is typed: its row frees, two shots still fly, so one is fired
    // at once, on that row.
    Projectile* middle = boss->GetShots()[1];
    TypeWord(*middle);
    EXPECT_EQ(middle->mState, Projectile::TURNING);
    Step(*boss);
    ASSERT_EQ(boss->GetShots().size(), 4u);
    EXPECT_EQ(boss->GetShots()[3]->mRow, 2);
    EXPECT_EQ(boss->CountFlyingShots(), 3);
    EXPECT_LT(boss->mFireTimer->GetElapsed(), 100);
}

TEST_F(BossFightTest, ShotSpeedsAndFrameDelays)
{
    const struct {
        double speed;
        int delay;
    } delays[] = {{0.51, 3}, {0.5, 4}, {0.45, 4}, {0.41, 4}, {0.4, 5}, {0.35, 5}, {0.31, 5}, {0.3, 6}, {0.1, 6}};
    for (const auto& d : delays)
        EXPECT_EQ(TorpedoBoss::ShotFrameDelay(d.speed), d.delay) << d.speed;

    // Shot speeds follow the generator within the wave's bounds (0.5 to 0.6 after
    // the load's 0.3).
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
    ReachFight(*boss);
    UntilVolley(*boss);
    for (const Projectile* shot : boss->GetShots()) {
        EXPECT_GE(-shot->mVelX, 0.5 - 1e-9);
        EXPECT_LT(-shot->mVelX, 0.6);
        EXPECT_EQ(shot->mFrameDelay, TorpedoBoss::ShotFrameDelay(-shot->mVelX));
        EXPECT_GE(shot->mWord.size(), 4u);
        EXPECT_LE(shot->mWord.size(), 5u);
    }
}

TEST_F(BossFightTest, ReturnedShotThatKillsExplodesEveryOtherShot)
{
    BossWave wave;
    wave.health = 10;
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig(wave));
    ReachFight(*boss);
    UntilVolley(*boss);
    ASSERT_EQ(boss->GetShots().size(), 3u);
    Projectile* returned = boss->GetShots()[0];
    TypeWord(*returned);
    std::vector<int> events;
    for (int i = 0; i < 500 && boss->mState != ProjectileBoss::DYING; ++i) {
        Step(*boss);
        for (int e : DrainEvents(*boss))
            events.push_back(e);
    }
    ASSERT_EQ(boss->mState, ProjectileBoss::DYING);
    EXPECT_EQ(boss->GetHealth(), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), EVENT_BOSS_KILLED), 1);
    for (const Projectile* shot : boss->GetShots()) {
        EXPECT_EQ(shot->mState, Projectile::EXPLODING);
        if (shot != returned) {
            EXPECT_EQ(shot->mVelX, 0.00001);
        }
    }
    // The explosions end and the shots go; nothing is typed or fired any more.
    Step(*boss, 100);
    EXPECT_TRUE(boss->GetShots().empty());
    EXPECT_FALSE(boss->HasEvent(EVENT_VOLLEY_FIRED));
}

TEST_F(BossFightTest, AHitOutsideTheFightWaitsInTheHitState)
{
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
    ReachFight(*boss);
    UntilVolley(*boss);
    TypeWord(*boss->GetShots()[0]);
    player->mState = Player::PLAYING;
    for (int i = 0; i < 500 && boss->mState != ProjectileBoss::HIT; ++i)
        Step(*boss);
    ASSERT_EQ(boss->mState, ProjectileBoss::HIT);
    EXPECT_EQ(boss->GetHealth(), 20);
    DrainEvents(*boss);
    Step(*boss, 300);
    EXPECT_EQ(boss->mState, ProjectileBoss::HIT);
    EXPECT_FALSE(boss->HasEvent(EVENT_FIGHT_STARTED));
    player->mState = Player::BOSS_FIGHT;
    Step(*boss);
    EXPECT_EQ(boss->mState, ProjectileBoss::FIGHTING);
    EXPECT_TRUE(boss->HasEvent(EVENT_FIGHT_STARTED));
}

TEST_F(BossFightTest, AShotOnTheDiverSendsTheOthersFallingAway)
{
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
    ReachFight(*boss);
    UntilVolley(*boss);
    // The diver stands in the first row's path.
    const Projectile* first = boss->GetShots()[0];
    player->mY = first->mY - 60;
    std::vector<int> events;
    for (int i = 0; i < 2000 && std::count(events.begin(), events.end(), EVENT_SHOT_HIT_DIVER) == 0; ++i) {
        Step(*boss);
        for (int e : DrainEvents(*boss))
            events.push_back(e);
    }
    ASSERT_EQ(std::count(events.begin(), events.end(), EVENT_SHOT_HIT_DIVER), 1);
    ASSERT_EQ(boss->GetShots().size(), 3u);
    EXPECT_EQ(boss->GetShots()[0]->mState, Projectile::EXPLODING);
    EXPECT_EQ(boss->GetShots()[1]->mState, Projectile::FALLING);
    EXPECT_EQ(boss->GetShots()[2]->mState, Projectile::FALLING);
    // The explosion of a shot that flew at the diver is reported; the fallen shots
    // leave the screen.
    player->mState = Player::HIT_BY_SHOT;
    for (int i = 0; i < 1000 && !boss->GetShots().empty(); ++i) {
        Step(*boss);
        for (int e : DrainEvents(*boss))
            events.push_back(e);
    }
    EXPECT_TRUE(boss->GetShots().empty());
    EXPECT_EQ(std::count(events.begin(), events.end(), EVENT_DEATH_ANIM_DONE), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), EVENT_SHOT_LEFT_SCREEN), 2);
    EXPECT_TRUE(boss->HasFreeRow());
}

TEST_F(BossFightTest, TheGhostShipNeverGivesTwoLiveShotsOneLetter)
{
    // Out of the shots' way, and hard to kill.
    player->mX = -1000.0;
    BossWave wave;
    wave.health = 100000;
    for (const char* type : {"GhostShip", "MechaSquid"}) {
        wave.type = type;
        Config* config = LoadBossConfig(wave);
        auto boss = MakeBoss(config->GetWaveEnemy(0)->Type, config);
        ReachFight(*boss);
        int volleys = 0;
        for (int i = 0; i < 20000 && volleys < 40; ++i) {
            Step(*boss);
            for (int e : DrainEvents(*boss))
                volleys += e == EVENT_VOLLEY_FIRED;
            std::set<std::string> letters;
            for (const Projectile* shot : boss->GetShots())
                ASSERT_TRUE(letters.insert(shot->mWord).second) << shot->mWord << " twice";
            // Shots are typed now and then, so that rows free and new letters are drawn.
            if (i % 150 == 0)
                for (Projectile* shot : boss->GetShots())
                    if (shot->mState == Projectile::FLYING) {
                        TypeWord(*shot);
                        break;
                    }
        }
        EXPECT_GE(volleys, 40) << type;
    }
}

TEST_F(BossFightTest, AnimatedPartsRunBackAndForth)
{
    const std::vector<int> backAndForth = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 0, 1};
    const std::vector<int> fin = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1};
    enum Part { RUDDER, EYE, FIN };
    const struct {
        int type;
        Part part;
        int period;
        const std::vector<int>& expected;
    } cases[] = {
        {ENEMY_GHOST_SHIP, RUDDER, GhostShip::RUDDER_PERIOD, backAndForth},
        {ENEMY_MECHA_SQUID, EYE, MechaSquid::EYE_PERIOD, backAndForth},
        {ENEMY_MECHA_SQUID, FIN, MechaSquid::FIN_PERIOD, fin},
    };
    for (const auto& c : cases) {
        auto boss = MakeBoss(c.type, nullptr);
        auto* ship = static_cast<GhostShip*>(boss.get());
        const int* frame = c.part == EYE ? &static_cast<MechaSquid*>(ship)->mEyeFrame : &ship->mPart2Frame;
        std::vector<int> seen;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            seen.push_back(*frame);
            Step(*boss, c.period);
        }
        EXPECT_EQ(seen, c.expected) << "period " << c.period;
    }
}

TEST_F(BossFightTest, AbyssTuningByDepth)
{
    const struct {
        int type;
        int depth;
        int health;
        double minSpeed;
        double maxSpeed;
        int minWord;
        int maxWord;
    } cases[] = {
        {ENEMY_TORPEDO, 1000, 200, 0.4, 0.5, 3, 4},   {ENEMY_TORPEDO, 3999, 200, 0.4, 0.5, 3, 4},
        {ENEMY_TORPEDO, 4000, 200, 0.9, 1.0, 5, 6},   {ENEMY_TORPEDO, 6999, 200, 0.9, 1.0, 5, 6},
        {ENEMY_TORPEDO, 7000, 300, 1.3, 1.4, 5, 7},   {ENEMY_TORPEDO, 10000, 300, 1.7, 1.8, 7, 7},
        {ENEMY_TORPEDO, 12999, 300, 1.7, 1.8, 7, 7},  {ENEMY_TORPEDO, 13000, 400, 2.1, 2.2, 7, 7},
        {ENEMY_MECHA_SHARK, 5000, 200, 0.9, 1.1, 4, 5}, {ENEMY_MECHA_SHARK, 5001, 300, 0.9, 1.1, 5, 7},
        {ENEMY_MECHA_SHARK, 8000, 300, 1.3, 1.5, 6, 7}, {ENEMY_MECHA_SHARK, 11000, 400, 1.7, 1.9, 7, 7},
        {ENEMY_GHOST_SHIP, 6999, 250, 0.8, 0.9, 1, 1},  {ENEMY_GHOST_SHIP, 7000, 300, 1.6, 1.7, 1, 1},
        {ENEMY_GHOST_SHIP, 14000, 350, 2.1, 2.2, 1, 1}, {ENEMY_GHOST_SHIP, 18000, 450, 2.4, 2.5, 1, 1},
        {ENEMY_MECHA_SQUID, 4000, 250, 0.7, 0.8, 1, 1}, {ENEMY_MECHA_SQUID, 4001, 250, 1.5, 1.6, 1, 1},
        {ENEMY_MECHA_SQUID, 6000, 300, 1.6, 1.7, 1, 1}, {ENEMY_MECHA_SQUID, 12000, 400, 2.4, 2.5, 1, 1},
    };
    for (const auto& c : cases) {
        auto boss = MakeBoss(c.type, LoadAbyssConfig(c.depth));
        SCOPED_TRACE(testing::Message() << "type " << c.type << " at " << c.depth << " ft");
        EXPECT_EQ(boss->GetHealth(), c.health);
        EXPECT_EQ(boss->GetMaxHealth(), c.health);
        EXPECT_NEAR(boss->mMinMissileSpeed, c.minSpeed, 1e-9);
        EXPECT_NEAR(boss->mMaxMissileSpeed, c.maxSpeed, 1e-9);
        EXPECT_EQ(boss->mMinWord, c.minWord);
        EXPECT_EQ(boss->mMaxWord, c.maxWord);
        EXPECT_EQ(boss->mMaxMissiles, 3);
        EXPECT_EQ(boss->mTimeToFire, 800.0);
        EXPECT_DOUBLE_EQ(boss->mBobSpeed, 0.2);
    }
}

TEST_F(BossFightTest, AbyssShotsGainSpeedWithDepth)
{
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadAbyssConfig(4500));
    EXPECT_EQ(boss->GetHealth(), 200);
    ReachFight(*boss);
    UntilVolley(*boss);
    ASSERT_FALSE(boss->GetShots().empty());
    for (const Projectile* shot : boss->GetShots()) {
        EXPECT_GE(-shot->mVelX, 0.9 + 0.24 - 1e-9);
        EXPECT_LT(-shot->mVelX, 1.0 + 0.24);
        EXPECT_GE(shot->mWord.size(), 5u);
        EXPECT_LE(shot->mWord.size(), 6u);
    }
}

TEST_F(BossFightTest, MovementStaysWithinItsBounds)
{
    for (int type : {ENEMY_TORPEDO, ENEMY_GHOST_SHIP, ENEMY_MECHA_SHARK, ENEMY_MECHA_SQUID}) {
        auto boss = MakeBoss(type, LoadBossConfig({}));
        EXPECT_LE(boss->mMinY, boss->mMaxY) << type;
        ReachFight(*boss);
        player->mState = Player::PLAYING; // no volleys
        for (int i = 0; i < 5000; ++i) {
            Step(*boss);
            ASSERT_GE(boss->mY, boss->mMinY - 1.0) << type;
            ASSERT_LE(boss->mY, boss->mMaxY + 1.0) << type;
            ASSERT_GE(boss->mX, boss->mMinX - 1.0) << type;
            ASSERT_LE(boss->mX, boss->mMaxX + 1.0) << type;
        }
        player->mState = Player::BOSS_FIGHT;
    }
}

TEST_F(BossFightTest, ADeletedBossLeavesNoTimerOrShotBehind)
{
    BTTimer* fire = nullptr;
    BTTimer* sound = nullptr;
    {
        auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
        fire = boss->mFireTimer;
        sound = boss->mSoundTimer;
        EXPECT_TRUE(app->mWidgetManager->HasWidget(fire));
        EXPECT_TRUE(app->mWidgetManager->HasWidget(sound));
        ReachFight(*boss);
        UntilVolley(*boss);
        ASSERT_EQ(boss->GetShots().size(), 3u);
        // The board is typing the first shot.
        board->mLockedEnemy = boss->GetShots()[0];
        board->mTypedText = "A";
    }
    EXPECT_FALSE(app->mWidgetManager->HasWidget(fire));
    EXPECT_FALSE(app->mWidgetManager->HasWidget(sound));
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
    // The manager runs on without the freed timers (the sanitizer watches).
    app->mWidgetManager->UpdateFrame();
}

TEST_F(BossFightTest, AShotItsBossDeletesLetsTheBoardsLockGo)
{
    auto boss = MakeBoss(ENEMY_TORPEDO, LoadBossConfig({}));
    ReachFight(*boss);
    UntilVolley(*boss);
    Projectile* locked = boss->GetShots()[2];
    const std::string word = locked->mWord;
    locked->TypeLetter();
    board->mLockedEnemy = locked;
    board->mTypedText = word.substr(0, 1);
    std::string& used = app->mWordLists.UsedLetters();
    ASSERT_NE(used.find(word[0]), std::string::npos);
    const size_t usedBefore = used.size();
    // Out of the fight the shots pass the diver and leave at the left edge.
    player->mState = Player::PLAYING;
    std::vector<int> events;
    for (int i = 0; i < 3000 && board->mLockedEnemy != nullptr; ++i) {
        Step(*boss);
        for (int e : DrainEvents(*boss))
            events.push_back(e);
    }
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
    EXPECT_EQ(used.size(), usedBefore - 1);
    EXPECT_GE(std::count(events.begin(), events.end(), EVENT_SHOT_LEFT_SCREEN), 1);
    for (const Projectile* shot : boss->GetShots())
        EXPECT_NE(shot->mWord, word);
}
