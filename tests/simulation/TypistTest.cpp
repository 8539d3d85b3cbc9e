// The simulated typist: what it aims at, when it presses, how it misses; the board's
// confirmations and the automatic zapper.
#include <gtest/gtest.h>

#include "framework/util/MersenneTwister.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/SimulationRunner.h"
#include "game/play/SimulationTypist.h"
#include "game/shell/MapScreen.h"
#include "tests/board/BoardFixture.h"
#include "tests/simulation/SimulationFiles.h"

using namespace Zant;
using namespace BoardTests;
using SimulationTests::SimulationFolder;

namespace {

class Typist : public BoardFixture {
protected:
    Typist()
    {
        folder.Start("1\n0\n60\n100\n-1\n1\n-1\n");
        sim.NextSimulationConfig();
        StartLevel(OneWaveLevel());
        DiverInPlace();
        board->mWaveCleared = false;
        board->mUpdateCnt = 0;
    }

    // Presses of the typist over some updates, as a string ('.' for none).
    std::string Keys(const SimulationEntry& entry, int updates, MersenneTwister* draws = nullptr)
    {
        std::string keys;
        for (int i = 0; i < updates; ++i) {
            const char key = SimulationTypist::Step(*board, entry, draws ? *draws : app->GetGameRandom(), sim);
            keys += key ? key : '.';
            ++board->mUpdateCnt;
        }
        return keys;
    }
    static SimulationEntry Entry(int accuracy, int delay, int burst = -1) { return {0, accuracy, delay, burst}; }

    SimulationFolder folder;
    SimulationHarness& sim = Simulation();
};

TEST_F(Typist, TypesTheAimedWordOneKeyPerDelay)
{
    Add(board->mSharks, new Shark(app.get()), "KELP", 300.0);
    EXPECT_EQ(Keys(Entry(100, 1), 5), "KELP/") << "every update, '/' once the word is typed";

    Add(board->mSharks, new Shark(app.get()), "TIDE", 300.0);
    Run(1); // the finished shark goes
    board->mUpdateCnt = 0;
    EXPECT_EQ(Keys(Entry(100, 3), 7), "T..I..D");
    EXPECT_NE(folder.Read("SIMULATION_RESULTS.txt").find("DUMP STRING: ##### Num words typed: 2, mLettersTyped = TI #####\n"),
              std::string::npos);
}

TEST_F(Typist, NothingInReachPressesNothing)
{
    Add(board->mSharks, new Shark(app.get()), "FAR", 540.0);          // not left of width - 100
    Add(board->mPiranhas, new Piranha(app.get(), board->mPlayer), "Q", 580.0);        // not left of width - 60
    Add(board->mBonusCreatures, new BonusCreature(app.get()), "JELLY", 200.0, 380.0); // not above height - 100
    Add(board->mSharks, new Shark(app.get()), "DEAD", 100.0)->SetReleased(false);
    EXPECT_EQ(Keys(Entry(100, 1), 4), "....");
    EXPECT_EQ(board->mTypos, 0);

    Add(board->mPiranhas, new Piranha(app.get(), board->mPlayer), "W", 579.0);
    EXPECT_EQ(Keys(Entry(100, 1), 1), "W");
}

TEST_F(Typist, AimsInListOrderSharksFirst)
{
    Add(board->mBonusCreatures, new BonusCreature(app.get()), "JAM", 200.0, 100.0);
    Add(board->mPiranhas, new Piranha(app.get(), board->mPlayer), "P", 200.0);
    Add(board->mSharks, new Shark(app.get()), "SEA", 530.0);
    EXPECT_EQ(Keys(Entry(100, 1), 1), "S");
}

TEST_F(Typist, MissPressesAKeyNoWordHoldsAndCountsATypo)
{
    Add(board->mSharks, new Shark(app.get()), "KELP", 300.0);
    EXPECT_EQ(Keys(Entry(0, 1), 3), ">>>");
    EXPECT_EQ(board->mTypos, 3);
    EXPECT_EQ(board->mLockedEnemy, nullptr);
}

TEST_F(Typist, HitChanceFollowsTheDraws)
{
    struct Case {
        int accuracy;
        int burst;
    };
    for (Case c : {Case{60, -1}, Case{0, 100}, Case{30, 50}}) {
        MersenneTwister expectedDraws(77);
        std::string expected;
        for (int i = 0; i < 20; ++i) {
            const uint32_t r = expectedDraws.Next();
            int chance = c.accuracy;
            if (c.burst != -1 && static_cast<int>(expectedDraws.Next() % 100) < c.burst)
                chance = 100 - static_cast<int>(expectedDraws.Next() % 6);
            expected += static_cast<int>(r % 100) < chance ? 'h' : '>';
        }
        // Misses are only typos while nothing is locked: a fresh target each time.
        std::string got;
        MersenneTwister typistDraws(77);
        for (int i = 0; i < 20; ++i) {
            board->ClearLock();
            for (Shark* shark : board->mSharks)
                delete shark;
            board->mSharks.clear();
            Add(board->mSharks, new Shark(app.get()), "KELP", 300.0);
            const char key = Keys(Entry(c.accuracy, 1, c.burst), 1, &typistDraws)[0];
            got += key == 'K' ? 'h' : key;
        }
        EXPECT_EQ(got, expected) << "accuracy " << c.accuracy << " burst " << c.burst;
    }
}

TEST_F(Typist, TreasureWordIsTypedInAnyPhase)
{
    board->mPlayer->SetState(Player::TREASURE_WORD);
    board->mTreasureWord = "GOLD";
    board->mTreasureTyped = 1;
    Add(board->mSharks, new Shark(app.get()), "KELP", 300.0);
    EXPECT_EQ(Keys(Entry(100, 1), 1), "O");
    board->mTreasureWord.clear();
    EXPECT_EQ(Keys(Entry(100, 1), 1), ".") << "no typing in the treasure phase without its word";
}

TEST_F(Typist, DangerMusicFiresTheZapperOnlyOutsideBossFights)
{
    board->mPlayer->mCharge = 1.0;
    board->mPlayer->SetState(Player::BOSS_FIGHT);
    app->PlaySong(37);
    EXPECT_FALSE(board->mZapperFiring);

    app->PlaySong(0);
    board->mPlayer->SetState(Player::PLAYING);
    app->PlaySong(37);
    EXPECT_TRUE(board->mZapperFiring);
    EXPECT_TRUE(board->mPlayer->mZapperFiring);
    EXPECT_TRUE(board->mZapperUsed);
    EXPECT_EQ(board->mZapperAlpha, 255);
    EXPECT_EQ(board->mMessageText, "SIMULATOR AUTO-TRIGGERED EMP BLAST");
    EXPECT_EQ(app->sounds.back(), SOUND_EMP);
    ASSERT_FALSE(sim.mLog.empty());
    EXPECT_TRUE(sim.mLog.back().waves.back().usedZapper);
}

TEST_F(Typist, LevelLimitEndsTheGameOnTheFirstUpdate)
{
    sim.mMaxLevels = 0;
    bool ended = false;
    sim.mEndGame = [&](bool) { ended = true; };
    board->mPlayer->mScore = 500;
    Run(1);
    EXPECT_TRUE(ended);
    const std::string parser = folder.Read("SIMULATION_RESULTS_PARSER_0.txt");
    EXPECT_NE(parser.find("didn't die, game went on too long):\n-1\n// Number of levels passed (includes level ended "
                          "on):\n1\n// Points obtained:\n500\n"),
              std::string::npos)
        << parser;
}

TEST_F(Typist, APearlLevelsEndIsConfirmedLikeAnyLevelsEnd)
{
    // The pearl game's tally waits for the space bar: the simulated player gives it,
    // and the map comes up instead of the level standing there for ever.
    StartLevel(LevelFiles::File(LevelFiles::Level(LevelFiles::Value("BonusLevel", "1"))));
    board->mPlayer->SetState(Player::TALLY);
    Board* const pearlLevel = board;
    Run(1);
    EXPECT_NE(folder.Read("SIMULATION_RESULTS.txt").find("GAME REPORTS WPM AS:"), std::string::npos);
    // The map has picked the next site and its level has started.
    ASSERT_NE(app->mMapScreen, nullptr);
    EXPECT_FALSE(app->mMapScreen->mVisible);
    EXPECT_NE(app->mBoard, pearlLevel);
    EXPECT_EQ(sim.mPath, std::vector<int>{1});
    DropReplacedBoard(*app, board);
}

} // namespace
