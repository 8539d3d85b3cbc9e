// Waves: how many creatures an entry brings, their words and speeds, the opening
// words, the abyss boss, and how a wave is laid out in columns and rows.
#include <cmath>
#include <set>

#include "framework/graphics/Font.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/creatures/StealthShark.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class Waves : public BoardFixture {
protected:
    // Spawns the configuration's current wave on a board ready for it.
    void Spawn()
    {
        DiverInPlace();
        board->mScrollDistance = 1.0;
        board->SpawnWaves();
    }

    std::string Speeds(const std::string& minSpeed, const std::string& maxSpeed)
    {
        return Value("MinSpeed", minSpeed) + Value("MaxSpeed", maxSpeed);
    }
};

} // namespace

TEST_F(Waves, EntryNumbersGiveMinimumUpToOneBelowMaximum)
{
    struct Case {
        int minNumber;
        int maxNumber;
        std::set<size_t> expected;
    };
    for (const Case& c : {Case{2, 5, {2, 3, 4}}, Case{3, 3, {3}}}) {
        std::set<size_t> seen;
        for (int seed = 1; seed <= 30; ++seed) {
            StartLevel(OneWaveLevel("Sharks", "Blue", c.minNumber, c.maxNumber));
            Reseed(seed);
            Spawn();
            seen.insert(board->mSharks.size());
        }
        EXPECT_EQ(seen, c.expected) << c.minNumber << ".." << c.maxNumber;
    }
}

TEST_F(Waves, EqualSpeedBoundsDrawTheBoundOrOneThousandthInside)
{
    std::set<double> sharks;
    std::set<double> piranhas;
    for (int seed = 1; seed <= 20; ++seed) {
        // Black sharks on X-Treme keep the file's speeds as written.
        StartLevel(OneWaveLevel("Sharks", "Black", 1, 1, Speeds("0.4", "0.4")), 4);
        ASSERT_EQ(config->GetWaveEnemy(0)->MinSpeed, config->GetWaveEnemy(0)->MaxSpeed);
        const double bound = config->GetWaveEnemy(0)->MaxSpeed;
        Reseed(seed);
        Spawn();
        ASSERT_EQ(board->mSharks.size(), 1u);
        sharks.insert(board->mSharks[0]->mVelX - bound);
        // Piranha speeds gain 0.2 at the bottom and 0.35 at the top: equal after that.
        StartLevel(OneWaveLevel("Piranhas", "Blue", 1, 1, Speeds("0.45", "0.3")));
        ASSERT_DOUBLE_EQ(config->GetWaveEnemy(0)->MinSpeed, config->GetWaveEnemy(0)->MaxSpeed);
        const double low = config->GetWaveEnemy(0)->MinSpeed;
        Reseed(seed);
        Spawn();
        ASSERT_EQ(board->mPiranhas.size(), 1u);
        piranhas.insert(board->mPiranhas[0]->mVelX - low);
    }
    EXPECT_EQ(sharks.size(), 2u);
    for (double d : sharks)
        EXPECT_TRUE(std::abs(d) < 1e-12 || std::abs(d + 0.001) < 1e-12) << d;
    EXPECT_EQ(piranhas.size(), 2u);
    for (double d : piranhas)
        EXPECT_TRUE(std::abs(d) < 1e-12 || std::abs(d - 0.001) < 1e-12) << d;
}

TEST_F(Waves, ThemedSharksSwimSlowerByDifficulty)
{
    ASSERT_TRUE(app->mWordLists.ParseThemes("#THEME\nSEA\nTIDE\nWAVE\nREEF\n#END\n"));
    struct Case {
        int difficulty;
        double slowdown;
    };
    for (const Case& c : {Case{2, 0.075}, Case{4, 0.0}, Case{0, 0.1}}) {
        double speeds[2] = {};
        for (int themed = 0; themed < 2; ++themed) {
            StartLevel(OneWaveLevel("Sharks", "Blue", 1, 1,
                                    Speeds("0.3", "0.6") + (themed ? Value("Theme", "1") : "")),
                       c.difficulty);
            // The same speed draw for both: the word picks draw differently, so the
            // speed draw is checked against the entry.
            Spawn();
            ASSERT_EQ(board->mSharks.size(), 1u);
            speeds[themed] = board->mSharks[0]->mVelX;
            const double max = config->GetWaveEnemy(0)->MaxSpeed;
            const double drawn = max - speeds[themed] - (themed ? c.slowdown : 0.0);
            EXPECT_NEAR(drawn * 1000, std::round(drawn * 1000), 1e-6) << c.difficulty << " " << themed;
            EXPECT_GE(drawn, -1e-12);
            EXPECT_LT(drawn, 0.3 + 1e-12);
        }
    }
}

TEST_F(Waves, OpeningWordsUntilTheIntroIsDone)
{
    StartLevel(OneWaveLevel());
    board->mIntroDone = false;
    DiverInPlace();
    const int wave = config->GetWaveIndex();
    for (int i = 0; i < 2; ++i) {
        board->SpawnWaves();
        ASSERT_EQ(board->mSharks.size(), 2u);
        EXPECT_EQ(board->mSharks[0]->mWord, "BEGIN");
        EXPECT_EQ(board->mSharks[0]->mY, 175.0);
        EXPECT_EQ(board->mSharks[1]->mWord, "TYPING");
        EXPECT_EQ(board->mSharks[1]->mY, board->mSharks[1]->GetHeight() + 245.0);
        EXPECT_EQ(board->mSharks[1]->mX, 640 - 50);
        EXPECT_EQ(board->mSharks[1]->mVelX, 0.2);
        EXPECT_EQ(config->GetWaveIndex(), wave);
        for (Shark* shark : board->mSharks)
            delete shark;
        board->mSharks.clear();
    }
}

TEST_F(Waves, TypesForeignToTheWaveCreateNothing)
{
    StartLevel(File(Level(Wave("Sharks", LevelFiles::Enemy("White") + LevelFiles::Enemy("Blue")))));
    Spawn();
    for (Shark* shark : board->mSharks)
        EXPECT_EQ(shark->mEnemyType, ENEMY_BLUE);
    EXPECT_FALSE(board->mSharks.empty());
    EXPECT_TRUE(board->mPiranhas.empty());
}

TEST_F(Waves, MultiWordSharksCarryTheirFurtherWords)
{
    StartLevel(File(Level(Wave("Sharks", LevelFiles::Enemy("Red") + LevelFiles::Enemy("Black")))));
    Spawn();
    std::set<char> firstLetters;
    for (Shark* shark : board->mSharks) {
        auto* black = dynamic_cast<BlackShark*>(shark);
        ASSERT_NE(black, nullptr);
        EXPECT_FALSE(black->mSecondWord.empty());
        if (shark->mEnemyType == ENEMY_RED) {
            EXPECT_FALSE(dynamic_cast<RedShark*>(shark)->mThirdWord.empty());
        }
        for (const std::string& word : {shark->mWord, black->mSecondWord})
            EXPECT_TRUE(firstLetters.insert(word[0]).second) << word;
    }
}

TEST_F(Waves, BossWaveBringsItsBossAndOnlyABossTypeMakesOne)
{
    StartLevel(File(Level(Sharks() + Boss("Torpedo"))));
    config->SkipToLastWave();
    Spawn();
    ASSERT_NE(board->mBoss, nullptr);
    EXPECT_EQ(board->BossKind(), ENEMY_TORPEDO);
    EXPECT_FALSE(board->mWaveCleared);
    EXPECT_EQ(board->mPlayer->mState, Player::BOSS_FIGHT);
    // A type that is no boss builds nothing, so a wave naming one cannot hold the level.
    EXPECT_EQ(board->CreateBoss(ENEMY_RED), nullptr);
}

TEST_F(Waves, BonusWaveSharesOneRisingSpeed)
{
    StartLevel(OneWaveLevel("Bonus", "Standard"));
    Reseed(5);
    Spawn();
    // Bonus waves bring 12 to 14 jellyfish whatever the file says.
    ASSERT_GE(board->mBonusCreatures.size(), 12u);
    ASSERT_LE(board->mBonusCreatures.size(), 14u);
    for (BonusCreature* creature : board->mBonusCreatures) {
        EXPECT_EQ(creature->mVelY, board->mBonusCreatures[0]->mVelY);
        EXPECT_GE(creature->mWord.size(), 3u);
        EXPECT_LE(creature->mWord.size(), 4u);
    }
    EXPECT_GE(board->mBonusCreatures[0]->mVelY, 0.6);
    EXPECT_LT(board->mBonusCreatures[0]->mVelY, 0.6 + 0.469 + 1e-9);
}

// ---- Placement

TEST_F(Waves, ColumnSizeFollowsTheWave)
{
    struct Case {
        int minCol;
        int maxCol;
        std::set<int> expected;
    };
    for (const Case& c : {Case{2, 2, {2}}, Case{2, 4, {2, 3}}}) {
        std::set<int> seen;
        for (int seed = 1; seed <= 20; ++seed) {
            StartLevel(File(Level(Wave("Sharks", LevelFiles::Enemy("Blue")),
                                  1),
                            Defaults(Value("MinCol", std::to_string(c.minCol)) +
                                     Value("MaxCol", std::to_string(c.maxCol)))));
            Reseed(seed);
            seen.insert(board->WaveColumnSize());
        }
        EXPECT_EQ(seen, c.expected) << c.minCol << ".." << c.maxCol;
    }
}

TEST_F(Waves, ColumnsTrailTheCreatureAheadInTheirRow)
{
    StartLevel(File(Level(Wave("Sharks", "<Enemy Type=\"Blue\">\n" + Value("MinNumber", "6") +
                                             Value("MaxNumber", "6") + "</Enemy>\n")),
                    Defaults(Value("MinCol", "2") + Value("MaxCol", "2"))));
    Reseed(3);
    Spawn();
    const int field = board->mPlayAreaBottom - app->mFontMyriad14Bold->GetHeight();
    ASSERT_EQ(board->mSharks.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        Shark* shark = board->mSharks[i];
        EXPECT_LE(shark->mY, field - shark->GetHeight());
        if (i < 2) {
            EXPECT_TRUE(shark->mActive);
            EXPECT_GE(shark->mX, 640.0);
            EXPECT_LE(shark->mX, 654.0);
            EXPECT_EQ(shark->mFollower, nullptr);
            continue;
        }
        Shark* ahead = board->mSharks[i - 2];
        EXPECT_FALSE(shark->mActive) << i;
        EXPECT_EQ(ahead->mLeader, shark);
        EXPECT_EQ(shark->mFollower, ahead);
        EXPECT_LT(shark->mVelX, ahead->mVelX + 1e-12);
        EXPECT_GT(shark->mX, ahead->mX + shark->GetWidth());
    }
}

TEST_F(Waves, TrailingSpeedDropsBelowAnEntryFloorAboveTheCreatureAhead)
{
    // Black sharks on X-Treme keep the file's speeds as written.
    StartLevel(File(Level(Wave("Sharks", "<Enemy Type=\"Black\">\n" + Value("MinNumber", "2") +
                                             Value("MaxNumber", "2") + Speeds("0.5", "0.5") + "</Enemy>\n")),
                    Defaults(Value("MinCol", "1") + Value("MaxCol", "1"))),
               4);
    Spawn();
    ASSERT_EQ(board->mSharks.size(), 2u);
    EXPECT_NEAR(board->mSharks[1]->mVelX, board->mSharks[0]->mVelX - 0.001, 1e-12);
}

TEST_F(Waves, TrailingXLeavesRoomForTheCreatureAhead)
{
    StartLevel(File(Level(Sharks()), Defaults(Value("MinCol", "1") + Value("MaxCol", "1"))));
    for (bool stealth : {false, true}) {
        for (Shark* shark : board->mSharks)
            delete shark;
        board->mSharks.clear();
        ConfigEnemy entry;
        entry.MinSpeed = 0.2;
        entry.MaxSpeed = 0.9;
        board->mWaveEntries[ENEMY_BLUE] = entry;
        board->mWaveEntries[ENEMY_STEALTH] = entry;
        for (int i = 0; i < 2; ++i) {
            Shark* shark = stealth ? static_cast<Shark*>(new StealthShark(app.get())) : new Shark(app.get());
            shark->mEnemyType = stealth ? ENEMY_STEALTH : ENEMY_BLUE;
            shark->SetVelX(0.5);
            if (auto* s = dynamic_cast<StealthShark*>(shark))
                s->RestoreSpeed();
            board->mSharks.push_back(shark);
        }
        Reseed(11);
        board->PlaceWaveGroup(0);
        Shark* ahead = board->mSharks[0];
        Shark* behind = board->mSharks[1];
        // Draws: column size; y, gap, a discarded draw and x of the first; y and gap
        // of the second.
        for (int i = 0; i < 6; ++i)
            NextExpected();
        const int g = 30 + NextExpected() % 20;
        const int w = behind->GetWidth();
        ASSERT_LE(behind->GetSpeed(), ahead->GetSpeed());
        const double expected = stealth ? ahead->mX + g + 3.0 * w / ahead->GetSpeed() : ahead->mX + w + g;
        EXPECT_DOUBLE_EQ(behind->mX, expected) << stealth;
    }
}
