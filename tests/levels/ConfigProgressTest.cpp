// Moving through a configuration: choosing waves, stepping levels into endless play
// and through abyss stages, and the queries the board reads.
#include <gtest/gtest.h>

#include <set>

#include "game/common/Config.h"
#include "tests/levels/LevelFileBuilder.h"

using namespace LevelFiles;
using Zant::Config;
using Zant::MersenneTwister;

namespace {

constexpr uint32_t kSeed = 4242;

class ConfigProgress : public ::testing::Test {
protected:
    bool Load(const std::string& text)
    {
        const int result = config.LoadText(text, 1, "test.xml");
        EXPECT_EQ(result, 0) << config.GetErrorText();
        return result == 0;
    }

    double EndlessSpeed(size_t level) const { return config.GetEndlessLevels().at(level).Settings.MinSpeed; }
    double EndlessEnemySpeed(size_t level) const
    {
        return config.GetEndlessLevels().at(level).Waves.at(0).Enemies.at(0).MaxSpeed;
    }

    FakeConfigHost host{kSeed};
    Config config{&host};
};

// Four ordinary waves and a boss wave last.
std::string FiveWaveLevel()
{
    return Level(Sharks() + Wave("Piranhas", Enemy("White")) + Sharks() + Sharks() + Boss());
}

} // namespace

TEST_F(ConfigProgress, ChoosingWavesNeverRepeatsBeforeTheSetFillsAndFollowsTheGenerator)
{
    ASSERT_TRUE(Load(File(FiveWaveLevel())));
    config.ResetWaves(0);
    MersenneTwister twin(kSeed);
    std::set<int> used;
    std::set<int> group;
    for (int choice = 0; choice < 1000; ++choice) {
        config.ChooseNextWave(false);
        const int wave = config.GetWaveIndex();
        // The same choice made with a generator of the same seed.
        if (used.size() >= 4)
            used.clear();
        int expected;
        do
            expected = twin.Next() % 5;
        while (expected == 4 || used.count(expected));
        used.insert(expected);
        ASSERT_EQ(wave, expected) << "choice " << choice;

        if (group.size() == 4)
            group.clear();
        EXPECT_TRUE(group.insert(wave).second) << "wave " << wave << " repeated at choice " << choice;
        EXPECT_NE(config.GetWaveKind(), Zant::WAVE_BOSS);
    }
}

TEST_F(ConfigProgress, BossWaveIsReachedOnlyBySkipping)
{
    ASSERT_TRUE(Load(File(FiveWaveLevel() + Level(Sharks() + Sharks()))));
    config.ResetWaves(0);
    EXPECT_TRUE(config.IsLastWaveSpecial());
    config.SkipToLastWave();
    EXPECT_EQ(config.GetWaveIndex(), 4);
    EXPECT_EQ(config.GetWaveKind(), Zant::WAVE_BOSS);
    ASSERT_NE(config.GetWaveEnemy(0), nullptr);
    EXPECT_EQ(config.GetWaveEnemy(0)->Type, Zant::ENEMY_TORPEDO);
    EXPECT_EQ(config.GetWaveEnemy(1), nullptr);

    config.ResetWaves(1);
    EXPECT_FALSE(config.IsLastWaveSpecial());
    config.SkipToLastWave();
    EXPECT_EQ(config.GetWaveIndex(), 0);
}

TEST_F(ConfigProgress, BossWavesOutOfPlaceNeverStallTheChoice)
{
    // A boss wave first and in the middle: the usual clearing rule would never fire.
    ASSERT_TRUE(Load(File(Level(Boss() + Sharks() + Boss("MechaShark") + Wave("Piranhas", Enemy("Blue"))))));
    config.ResetWaves(0);
    std::set<int> seen;
    for (int choice = 0; choice < 200; ++choice) {
        config.ChooseNextWave(false);
        seen.insert(config.GetWaveIndex());
    }
    EXPECT_EQ(seen, (std::set<int>{1, 3}));
}

TEST_F(ConfigProgress, AbyssChoiceMayTakeAnyWave)
{
    ASSERT_TRUE(Load(File("<AbyssMode/>\n" + Level(Sharks() + Boss() + Wave("Piranhas", Enemy("Blue"))))));
    config.ResetWaves(0);
    std::set<int> seen;
    for (int choice = 0; choice < 100; ++choice) {
        config.ChooseNextWave(choice % 2 == 0);
        seen.insert(config.GetWaveIndex());
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
}

TEST_F(ConfigProgress, PlayGoesOnIntoEndlessLevelsThatGetFaster)
{
    ASSERT_TRUE(Load(File(Levels(5, true) + Level("<BonusLevel/>\n") + Levels(30, true))));
    ASSERT_EQ(config.GetEndlessLevels().size(), 6u);
    const double speed = EndlessSpeed(2);
    const double enemySpeed = EndlessEnemySpeed(2);

    config.ResetWaves(5);
    EXPECT_TRUE(config.IsSpecialLevel());
    EXPECT_FALSE(config.IsLastWaveSpecial());
    EXPECT_EQ(config.GetWaveCount(), 0);
    EXPECT_EQ(config.GetPrevWaveKnockBack(), 0);
    EXPECT_EQ(config.GetWaveEnemy(0), nullptr);
    EXPECT_EQ(config.GetWaveMinCol(), 1);
    config.ChooseNextWave(false);

    config.ResetWaves(35);
    config.NextLevel();
    EXPECT_EQ(config.GetLevel(), 36);
    EXPECT_TRUE(config.IsPastFixedLevels());
    EXPECT_FALSE(config.IsSpecialLevel());
    EXPECT_EQ(config.GetEndlessLevelCount(), 1);
    EXPECT_NE(config.GetWaveKind(), Zant::WAVE_BOSS);
    EXPECT_DOUBLE_EQ(EndlessSpeed(2), speed);

    config.NextLevel();
    EXPECT_NEAR(EndlessSpeed(2), speed + 2.1, 1e-9);
    EXPECT_NEAR(EndlessEnemySpeed(2), enemySpeed + 2.1, 1e-9);
    config.NextLevel();
    EXPECT_NEAR(EndlessSpeed(2), speed + 4.3, 1e-9);
    EXPECT_EQ(config.GetEndlessLevelCount(), 3);

    // Endless waves come from any endless level, never a boss wave.
    for (int choice = 0; choice < 300; ++choice) {
        config.ChooseNextWave(false);
        ASSERT_NE(config.GetWaveKind(), Zant::WAVE_BOSS);
        ASSERT_GT(config.GetWaveEnemyCount(), 0);
    }
}

TEST_F(ConfigProgress, EndlessRestartRaisesSpeedsByTheCount)
{
    ASSERT_TRUE(Load(File(Levels(36, true))));
    const double speed = EndlessSpeed(0);
    const double enemySpeed = EndlessEnemySpeed(5);
    config.SetEndlessLevelCount(2);
    config.ResetWaves(-1);
    EXPECT_EQ(config.GetEndlessLevelCount(), 3);
    EXPECT_EQ(config.GetLevel(), -1);
    EXPECT_TRUE(config.IsPastFixedLevels());
    EXPECT_NEAR(EndlessSpeed(0), speed + 0.3, 1e-9);
    EXPECT_NEAR(EndlessEnemySpeed(5), enemySpeed + 0.3, 1e-9);
    EXPECT_EQ(config.GetWaveIndex(), 0);
}

// A game resumed on its n-th endless level has the speed rises of all n of them:
// 0.1 + 0.2 + ... + 0.1 n, as when the levels were played one after another.
TEST_F(ConfigProgress, ResumingEndlessLevelsRaisesSpeedsByEveryLevelPlayed)
{
    const struct {
        int count;
        int standsAt;
    } cases[] = {{1, 1}, {3, 3}, {Config::MAX_ENDLESS_COUNT, Config::MAX_ENDLESS_COUNT},
                 {0, 1}, {-1000, 1}, {Config::MAX_ENDLESS_COUNT + 1, Config::MAX_ENDLESS_COUNT}};
    const std::string file = File(Levels(36, true));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Config played{&host};
        Config resumed{&host};
        ASSERT_EQ(played.LoadText(file, 1, "test.xml"), 0);
        ASSERT_EQ(resumed.LoadText(file, 1, "test.xml"), 0);
        const double speed = resumed.GetEndlessLevels()[0].Settings.MinSpeed;
        for (int n = 0; n < c.standsAt; ++n)
            played.ResetWaves(Config::ENDLESS_LEVEL);

        resumed.ResumeEndlessLevels(c.count);
        EXPECT_EQ(resumed.GetEndlessLevelCount(), c.standsAt);
        EXPECT_EQ(resumed.GetLevel(), Config::ENDLESS_LEVEL);
        const auto& levels = resumed.GetEndlessLevels();
        const auto& playedLevels = played.GetEndlessLevels();
        EXPECT_NEAR(levels[0].Settings.MinSpeed, speed + 0.1 * c.standsAt * (c.standsAt + 1) / 2, 1e-9);
        EXPECT_NEAR(levels[0].Settings.MinSpeed, playedLevels[0].Settings.MinSpeed, 1e-9);
        EXPECT_NEAR(levels[5].Waves[0].Enemies[0].MaxSpeed, playedLevels[5].Waves[0].Enemies[0].MaxSpeed, 1e-9);
    }
}

TEST_F(ConfigProgress, RebuildingTheBoardInEndlessPlayKeepsItsPlace)
{
    ASSERT_TRUE(Load(File(Levels(36, true))));
    config.ResetWaves(35);
    config.NextLevel();
    config.NextLevel();
    const int endless = config.GetEndlessIndex();
    const double speed = EndlessSpeed(0);
    MersenneTwister twin = host.random;

    config.ResetWaves(config.GetLevel());
    EXPECT_EQ(config.GetLevel(), 37);
    EXPECT_TRUE(config.IsPastFixedLevels());
    EXPECT_EQ(config.GetEndlessIndex(), endless);
    EXPECT_EQ(config.GetWaveIndex(), 0);
    EXPECT_DOUBLE_EQ(EndlessSpeed(0), speed);
    EXPECT_EQ(host.random.Next(), twin.Next()) << "nothing drawn";
}

TEST_F(ConfigProgress, FixedLevelsStartAtTheirFirstWave)
{
    ASSERT_TRUE(Load(File(Level(Sharks() + Sharks("<FirstWave/>\n") + Sharks()) + Level(Sharks()))));
    config.ResetWaves(0);
    EXPECT_EQ(config.GetWaveIndex(), 1);
    config.NextLevel();
    EXPECT_EQ(config.GetLevel(), 1);
    EXPECT_EQ(config.GetWaveIndex(), 0);
    // From the first level there is no level before to look back at.
    config.ResetWaves(0);
    config.ChooseNextWave(true);
    EXPECT_EQ(config.GetPrevWaveKind(), Zant::WAVE_SHARKS);
}

TEST_F(ConfigProgress, WithoutEndlessLevelsTheLastLevelStays)
{
    ASSERT_TRUE(Load(File(Levels(30))));
    ASSERT_TRUE(config.GetEndlessLevels().empty());
    config.ResetWaves(29);
    config.NextLevel();
    EXPECT_EQ(config.GetLevel(), 29);
    EXPECT_FALSE(config.IsPastFixedLevels());
    config.ResetWaves(-1);
    EXPECT_EQ(config.GetLevel(), 29);
    EXPECT_EQ(config.GetWaveCount(), 1);
    config.ChooseNextWave(false);
    EXPECT_EQ(config.GetWaveIndex(), 0);
}

TEST_F(ConfigProgress, AbyssStaysOnItsLastStageAndSpeedsUpByDepth)
{
    ASSERT_TRUE(Load(File("<AbyssMode/>\n" + Levels(3))));
    config.ResetWaves(0);
    config.NextLevel();
    config.NextLevel();
    EXPECT_EQ(config.GetLevel(), 2);
    ASSERT_NE(config.GetWaveEnemy(0), nullptr);
    const double speed = config.GetLevelSettings().MinSpeed;
    const double enemySpeed = config.GetWaveEnemy(0)->MinSpeed;

    host.depth = 5400;
    config.NextLevel();
    EXPECT_EQ(config.GetLevel(), 2);
    EXPECT_NEAR(config.GetLevelSettings().MinSpeed, speed + 0.025, 1e-9);
    EXPECT_NEAR(config.GetWaveEnemy(0)->MinSpeed, enemySpeed + 0.025, 1e-9);
    host.depth = 5401;
    config.NextLevel();
    EXPECT_NEAR(config.GetLevelSettings().MinSpeed, speed + 0.075, 1e-9);
}

TEST_F(ConfigProgress, ADiveStartsOnTheFirstAbyssStage)
{
    // The game starts a dive with ResetWaves(-1): the surface is the first stage, not
    // the last and fastest one.
    ASSERT_TRUE(Load(File("<AbyssMode/>\n" + Levels(3))));
    config.ResetWaves(-1);
    EXPECT_EQ(config.GetLevel(), 0);
    EXPECT_FALSE(config.IsPastFixedLevels());
    config.NextLevel();
    EXPECT_EQ(config.GetLevel(), 1);
}

TEST_F(ConfigProgress, StealthEntriesAreLaidOutFirst)
{
    ASSERT_TRUE(Load(File(Level(Wave("Sharks", Enemy("Blue") + Enemy("Stealth") + Enemy("Red") + Enemy("WhiteStealth") +
                                                   Enemy("Black") + Enemy("BlackStealth") + Enemy("RedStealth"))))));
    config.ResetWaves(0);
    std::vector<int> types;
    for (int i = 0; i < config.GetWaveEnemyCount(); ++i)
        types.push_back(config.GetWaveEnemy(i)->Type);
    EXPECT_EQ(types, (std::vector<int>{3, 7, 10, 9, 0, 2, 1}));
}

TEST_F(ConfigProgress, KnockBackOfTheWaveInPlay)
{
    ASSERT_TRUE(Load(File(Level(Sharks(Value("KnockBack", "5")) + Sharks(Value("KnockBack", "8"))))));
    config.ResetWaves(0);
    for (int choice = 0; choice < 10; ++choice) {
        const int before = config.GetWaveIndex();
        config.ChooseNextWave(false);
        EXPECT_EQ(config.GetPrevWaveKnockBack(), before == 0 ? 5 : 8);
    }
}
