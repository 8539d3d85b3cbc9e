// Scoring: word values in the abyss, jellyfish, the wave accuracy bonus, level
// bonuses, treasure words, words per minute and rank titles; and what the events
// of finished, caught and removed creatures do.
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class Scoring : public BoardFixture {
protected:
    Scoring()
    {
        StartLevel(OneWaveLevel());
        DiverInPlace();
        board->mWaveCleared = false;
    }

    Shark* AddShark(const std::string& word)
    {
        auto* shark = new Shark(app.get());
        shark->SetWord(word);
        shark->SetReleased(true);
        shark->mX = 400.0;
        board->mSharks.push_back(shark);
        return shark;
    }
};

} // namespace

TEST_F(Scoring, AbyssMultiplierByDepth)
{
    struct Case {
        bool abyss;
        int depth;
        int points;
    };
    const Case cases[] = {{false, 0, 105},   {true, 0, 210},    {true, 1799, 210},
                          {true, 1800, 315}, {true, 2400, 420}, {true, 3000, 525}};
    for (const Case& c : cases) {
        StartLevel(c.abyss ? AbyssFile(Level(Sharks())) : OneWaveLevel(), c.abyss ? -1 : 0);
        board->mAbyssDepth = c.depth;
        Shark* shark = AddShark("KELP");
        shark->mPointValue = 105;
        shark->PushEvent(EVENT_WORD_COMPLETED);
        board->UpdateSharks(shark);
        EXPECT_EQ(board->mPlayer->mScore, c.points) << c.abyss << " " << c.depth;
    }
}

TEST_F(Scoring, JellyfishPayMoreEachAndAddCharge)
{
    board->mPlayer->mCharge = 0.995;
    for (int n = 1; n <= 13; ++n) {
        auto* jelly = new BonusCreature(app.get());
        jelly->SetWord("SEA");
        board->mBonusCreatures.push_back(jelly);
        const int before = board->mPlayer->mScore;
        jelly->PushEvent(EVENT_WORD_COMPLETED);
        app->sounds.clear();
        board->UpdateBonusCreatures(jelly);
        EXPECT_EQ(board->mPlayer->mScore - before, 200 * n);
        if (n == 3 || n == 13) {
            EXPECT_EQ(app->sounds.front(), n == 3 ? 18 : 27);
        }
    }
    EXPECT_EQ(board->mPlayer->mCharge, 1.0);
}

TEST_F(Scoring, RemovedCreaturesTakeTheirLockAndTypedLetters)
{
    Shark* shark = AddShark("KELP");
    board->HandleKeyChar('K');
    ASSERT_EQ(board->mLockedEnemy, shark);
    shark->PushEvent(EVENT_REMOVE_ME);
    EXPECT_TRUE(board->UpdateSharks(shark));
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
    EXPECT_TRUE(board->mSharks.empty());

    auto* jelly = new BonusCreature(app.get());
    jelly->SetWord("SEA");
    jelly->SetReleased(true);
    jelly->mY = 100.0;
    board->mBonusCreatures.push_back(jelly);
    board->HandleKeyChar('S');
    ASSERT_EQ(board->mLockedEnemy, jelly);
    jelly->PushEvent(EVENT_REMOVE_ME);
    EXPECT_TRUE(board->UpdateBonusCreatures(jelly));
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
}

TEST_F(Scoring, TwoSharksAtTheDiverInOneUpdateEatHimOnce)
{
    Shark* a = AddShark("KELP");
    Shark* b = AddShark("REEF");
    a->PushEvent(EVENT_REACHED_DIVER);
    b->PushEvent(EVENT_REACHED_DIVER);
    board->UpdateSharks(a);
    const int cycles = board->mPlayer->mDeathCycles;
    board->mPlayer->mDeathCycles = 2;
    board->UpdateSharks(b);
    EXPECT_EQ(board->mPlayer->mState, Player::EATEN);
    EXPECT_EQ(board->mPlayer->mDeathCycles, 2); // not caught a second time
    (void)cycles;
}

TEST_F(Scoring, ClearedWaveAwardsAccuracyUnlessTheZapperWasUsed)
{
    for (bool zapped : {false, true}) {
        board->mWaveCleared = false;
        board->mZapperUsed = zapped;
        board->mAccuracyBadge->mActive = false;
        board->mAccuracyBadge->mWavePoints = 1000;
        board->mLettersHit = 20;
        board->mTypos = 0;
        Shark* shark = AddShark("KELP");
        shark->mState = Shark::DYING;
        shark->mDeathAnimDone = true;
        shark->PushEvent(EVENT_DEATH_ANIM_DONE);
        board->UpdateSharks(shark);
        EXPECT_TRUE(board->mWaveCleared);
        EXPECT_EQ(board->mAccuracyBadge->mActive, !zapped) << zapped;
        EXPECT_EQ(board->mWaveTimer->mStopped, !zapped) << zapped;
        for (Shark* s : board->mSharks)
            delete s;
        board->mSharks.clear();
    }
}

TEST_F(Scoring, WaveAccuracyBonusByHitsAndMisses)
{
    struct Case {
        int hits;
        int misses;
        int wavePoints;
        int streakBefore;
        int level;
        int difficulty;
        bool shown;
        int sound;
        int streakAfter;
        int bonus;
    };
    const Case cases[] = {
        {19, 1, 1000, 0, 0, 0, true, SOUND_WAVE_BONUS3, 1, 950 + 75},
        {20, 0, 1000, 0, 0, 2, true, SOUND_WAVE_BONUS3, 1, 1475},
        {18, 2, 1000, 3, 0, 0, true, SOUND_WAVE_BONUS2, 0, 0},
        {15, 5, 1000, 0, 0, 0, true, SOUND_WAVE_BONUS, 0, 0},
        {20, 0, 0, 0, 0, 0, false, -1, 1, 0},
        {20, 0, 1000, 0, 10, 0, true, SOUND_WAVE_BONUS3, 1, 1000 + 11 * 75},
        {20, 0, 1000, 0, 11, 0, true, SOUND_WAVE_BONUS3, 1, 1000 + 10 * 75},
        {20, 0, 100000, 12, 11, 4, true, SOUND_WAVE_BONUS3, 13, 20000},
        {0, 0, 1000, 4, 0, 0, false, -1, 0, 0},
    };
    for (const Case& c : cases) {
        StartLevel(OneWaveLevel(), c.difficulty);
        board->mPlayer->mLevelIndex = c.level;
        board->mLettersHit = c.hits;
        board->mTypos = c.misses;
        board->mAccuracyBadge->mWavePoints = c.wavePoints;
        board->mAccuracyBadge->mStreak = c.streakBefore;
        app->sounds.clear();
        board->AwardWaveAccuracyBonus();
        const AccuracyBadge& badge = *board->mAccuracyBadge;
        EXPECT_EQ(badge.mActive, c.shown) << c.hits << "/" << c.misses;
        EXPECT_EQ(badge.mStreak, c.streakAfter) << c.hits << "/" << c.misses;
        EXPECT_EQ(badge.mBonus, c.bonus) << c.hits << "/" << c.misses << " L" << c.level;
        EXPECT_EQ(board->mPlayer->mScore, c.bonus);
        if (c.sound >= 0) {
            ASSERT_FALSE(app->sounds.empty());
            EXPECT_EQ(app->sounds.back(), c.sound);
            EXPECT_EQ(badge.mY, board->mPlayAreaBottom - 50);
        }
    }
}

TEST_F(Scoring, LevelDifficultyAndAccuracyBonuses)
{
    struct Case {
        int difficulty;
        int level;
        int accurateLevels;
        int levelBonus;
        int difficultyBonus;
        int accuracyBonus;
    };
    const Case cases[] = {
        {4, 11, 0, 60000, 100000, (8 + 16) * 500 + 3000},
        {0, 11, 0, 12000, 10000, (8) * 500 + 3000},
        {0, 12, 1, 11000, 10000, (8) * 1500 + 3000},
        {2, 8, 1, 27000, 50000, (9 + 8) * 1500 + 3000},
        {2, 8, 6, 27000, 50000, 100000},
        {3, 9, 9, 40000, 70000, std::min(100000, (8 + 12) * 6500 + 3000)},
    };
    for (const Case& c : cases) {
        StartLevel(OneWaveLevel(), c.difficulty);
        board->mPlayer->mLevelIndex = c.level;
        board->mAccurateLevels = c.accurateLevels;
        EXPECT_EQ(board->GetLevelBonusPoints(), c.levelBonus) << c.difficulty << " L" << c.level;
        EXPECT_EQ(board->GetDifficultyBonusPoints(), c.difficultyBonus);
        EXPECT_EQ(board->GetLevelAccuracyBonus(), c.accuracyBonus) << c.difficulty << " L" << c.level;
    }
    StartLevel(AbyssFile(Level(Sharks())), -1);
    EXPECT_EQ(board->GetLevelBonusPoints(), 0);
    EXPECT_EQ(board->GetTreasureWordValue(), 0);
}

TEST_F(Scoring, TreasureWordValuesByDifficulty)
{
    const int expected[] = {150, 350, 950, 2200, 5900};
    for (int difficulty = 0; difficulty < 5; ++difficulty) {
        StartLevel(OneWaveLevel(), difficulty);
        board->mTreasureWordsDone = 2;
        EXPECT_EQ(board->GetTreasureWordValue(), expected[difficulty]) << difficulty;
    }
}

TEST_F(Scoring, WordsPerMinute)
{
    board->mTypingTime = 60000;
    board->mAccuracyHits = 300;
    board->mAccuracyMisses = 10;
    EXPECT_EQ(board->GetRawWpm(), 60);
    EXPECT_EQ(board->GetAdjustedWpm(), 43);
    board->mTypingTime = 0;
    EXPECT_EQ(board->GetAdjustedWpm(), 0);
}

TEST_F(Scoring, RankTitlesAndNextRanks)
{
    struct Case {
        int score;
        const char* title;
        int next;
    };
    const Case cases[] = {
        {0, "Chum", 150000},
        {150000, "Flotsam", 300000},
        {5849999, "Aquanaut", 5850000},
        {5850000, "Nautilator", 6150000},
        {10849999, "Lord Poseidon", 10850000},
        {10850000, "Master of Plindor", -5},
        {30000000, "Master of Plindor", -5},
        {30000001, "Programmer", -5},
        {-1, "Impossible Score", 150000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Board::GetRankTitle(c.score), c.title) << c.score;
        EXPECT_EQ(Board::GetNextRankScore(c.score), c.next) << c.score;
    }
}
