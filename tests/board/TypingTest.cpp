// Typed characters: the phase gate, the Dozav Odaziz key, one creature per letter,
// typos and their penalty piranhas, the treasure word and the pearl game.
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/BonusText.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class Typing : public BoardFixture {
protected:
    Typing()
    {
        StartLevel(OneWaveLevel());
        DiverInPlace();
        board->mWaveCleared = false;
    }

    Shark* AddShark(const std::string& word, double x = 400.0)
    {
        return Add(board->mSharks, new Shark(app.get()), word, x);
    }
    void Type(const std::string& keys)
    {
        for (char c : keys)
            board->HandleKeyChar(c);
    }
    // Events the board has not yet drained.
    static bool Pending(Zant::Enemy* creature, int event) { return creature->HasEvent(event); }
};

} // namespace

TEST_F(Typing, TypingASharksWordDestroysItAndScoresIt)
{
    Shark* shark = AddShark("KELP");
    Type("kel");
    EXPECT_EQ(board->mLockedEnemy, shark);
    EXPECT_EQ(board->mTypedText, "KEL");
    EXPECT_EQ(board->mLettersHit, 3);
    EXPECT_EQ(board->mAccuracyHits, 3);
    Type("P");
    ASSERT_TRUE(Pending(shark, EVENT_WORD_COMPLETED));
    const int value = shark->mPointValue;
    ASSERT_GT(value, 0);
    Run(1);
    EXPECT_EQ(board->mPlayer->mScore, value);
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
    EXPECT_EQ(board->mAccuracyBadge->mWavePoints, value);
    ASSERT_FALSE(board->mBonusTexts.empty());
    EXPECT_EQ(board->mBonusTexts.back()->mText, "+" + std::to_string(value) + " PTS");
}

TEST_F(Typing, ATypoIsCountedAndShown)
{
    AddShark("KELP");
    Type("Q");
    EXPECT_EQ(board->mTypos, 1);
    EXPECT_EQ(board->mAccuracyMisses, 1);
    EXPECT_EQ(board->mMessageText, "TYPO! \"Q\" doesn't match any enemies");
    EXPECT_EQ(app->sounds.back(), SOUND_WRONG);

    Shark* shark = board->mSharks[0];
    Type("KX"); // a miss on the locked shark makes it flash
    EXPECT_EQ(shark->mState, Shark::FLASHING);
    EXPECT_EQ(board->mTypos, 2);
    EXPECT_EQ(board->mLockedEnemy, shark);
}

TEST_F(Typing, OneCreaturePerLetter)
{
    Shark* shark = AddShark("APE");
    auto* jelly = Add(board->mBonusCreatures, new BonusCreature(app.get()), "BAT");
    jelly->mY = 100.0;
    auto* piranha = Add(board->mPiranhas, new Piranha(app.get(), board->mPlayer), "A");
    Type("A");
    EXPECT_EQ(board->mLockedEnemy, shark);
    EXPECT_EQ(board->mLettersHit, 1);
    EXPECT_EQ(jelly->mTypedCount, 0);
    EXPECT_EQ(piranha->mTypedCount, 0);
    EXPECT_FALSE(Pending(piranha, EVENT_WORD_COMPLETED));
}

TEST_F(Typing, PiranhasAreFinishedByOneLetterAndNeverStayLocked)
{
    auto* piranha = Add(board->mPiranhas, new Piranha(app.get(), board->mPlayer), "Q");
    Type("Q");
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
    EXPECT_EQ(board->mLettersHit, 1);
    EXPECT_EQ(board->mAccuracyHits, 0);
    EXPECT_TRUE(Pending(piranha, EVENT_WORD_COMPLETED));
}

TEST_F(Typing, PhaseGateAndSpace)
{
    struct Case {
        int phase;
        bool waveCleared;
        bool spacePauses;
        char key;
        int typos;
    };
    const Case cases[] = {
        {Player::PLAYING, false, true, ' ', 0},   {Player::PLAYING, false, false, ' ', 0},
        {Player::PLAYING, false, false, 'Z', 1}, {Player::FLOOR_REACHED, true, false, 'Z', 0},
        {Player::FLOOR_REACHED, false, false, 'Z', 1}, {Player::EATEN, false, false, 'Z', 0},
        {Player::BOSS_FIGHT, false, false, 'Z', 1},    {Player::DESCENDING, false, false, 'Z', 0},
    };
    for (const Case& c : cases) {
        // A space that pauses reaches the application, which does pause the board.
        board->Pause(false);
        board->mPlayer->mState = c.phase;
        board->mWaveCleared = c.waveCleared;
        board->mSpacePauses = c.spacePauses;
        board->mTypos = 0;
        board->ClearLock();
        board->mMessageText.clear();
        Type(std::string(1, c.key));
        EXPECT_EQ(board->mTypos, c.typos) << c.phase << " " << c.key;
        EXPECT_EQ(board->mMessageText.empty(), c.typos == 0) << c.phase << " " << c.key;
    }
}

TEST_F(Typing, EnterFiresOnlyAtFullChargeAndNeverAtABoss)
{
    board->mPlayer->mCharge = 0.99;
    Type("\r");
    EXPECT_EQ(board->mMessageText, "Not enough power to use dozav odaziz");
    EXPECT_FALSE(board->mPlayer->mZapperFiring);

    board->mPlayer->mCharge = 1.0;
    board->mPlayer->mState = Player::BOSS_FIGHT;
    Type("\n");
    EXPECT_EQ(board->mMessageText, "Can't use dozav odaziz on a boss!");

    board->mPlayer->mState = Player::PLAYING;
    Type("\r");
    EXPECT_TRUE(board->mPlayer->mZapperFiring);
    EXPECT_TRUE(board->mZapperUsed);
    EXPECT_EQ(board->mZapperAlpha, 255);
    EXPECT_EQ(board->mMessageText, "Dozav odaziz used, no bonus points awarded");
    Type("\r"); // the beam still moves
    EXPECT_EQ(board->mMessageText, "Not enough power to use dozav odaziz");
}

TEST_F(Typing, TheBeamClearsTheCreaturesItSweeps)
{
    Shark* near = AddShark("KELP", 300.0);
    Shark* far = AddShark("REEF", 600.0);
    near->SetVelX(0.0);
    far->SetVelX(0.0);
    board->mPlayer->mCharge = 1.0;
    Type("\r");
    Run(30); // the beam reaches x 380 (+16)
    EXPECT_TRUE(near->mZapped);
    EXPECT_FALSE(far->mZapped);
    const int score = board->mPlayer->mScore;
    EXPECT_GT(score, 0);
    Run(100);
    EXPECT_FALSE(board->mPlayer->mZapperFiring);
    EXPECT_EQ(board->mPlayer->mCharge, 0.0);
}

TEST_F(Typing, PenaltyPiranhasInPiranhaWavesOnly)
{
    StartLevel(File(Level(Wave("Piranhas", LevelFiles::Enemy("Blue"))),
                    Defaults(Value("NumForPenalty", "3") + Value("PenaltySpeed", "0.9"))));
    DiverInPlace();
    board->mWaveCleared = false;
    Add(board->mPiranhas, new Piranha(app.get(), board->mPlayer), "Q");
    // The wave in play is the one laid out last.
    board->SpawnWaves();
    ASSERT_EQ(config->GetPrevWaveKind(), WAVE_PIRANHAS);
    const size_t before = board->mPiranhas.size();
    Type("11");
    EXPECT_EQ(board->mPiranhas.size(), before);
    Type("1");
    ASSERT_EQ(board->mPiranhas.size(), before + 1);
    EXPECT_EQ(board->mPenaltyTypos, 0);
    EXPECT_EQ(board->mPiranhas.back()->mVelX, 0.9);
    EXPECT_EQ(board->mPiranhas.back()->mX, 640 - 50);

    for (int i = 0; i < 4; ++i)
        board->SpawnPenaltyCreature();
    board->SpawnPenaltyCreature();
    EXPECT_DOUBLE_EQ(board->mPiranhas.back()->mVelX, 0.4 * 1.7);
    board->SpawnPenaltyCreature();
    EXPECT_DOUBLE_EQ(board->mPiranhas.back()->mVelX, 0.4 * 1.7 * 1.7);
}

TEST_F(Typing, NoPenaltyInASharkWave)
{
    AddShark("KELP");
    Type("1111111");
    EXPECT_EQ(board->mPiranhas.size(), 0u);
}

TEST_F(Typing, TreasureWordTypoCostsFiveSecondsAboveFive)
{
    board->mPlayer->mState = Player::TREASURE_WORD;
    board->mTreasureWord = "PEARL";
    for (double clock : {5.0, 5.5}) {
        board->mEndTimer = clock;
        Type("X");
        EXPECT_EQ(board->mEndTimer, clock > 5.0 ? clock - 5.0 : clock);
    }
    EXPECT_EQ(board->mMessageText, "TYPO! \"X\" doesn't match!");
    EXPECT_EQ(board->mTreasureTypos, 2);
    Type("\r"); // Enter is an ordinary character here
    EXPECT_EQ(board->mTreasureTypos, 3);
}

TEST_F(Typing, FinishedTreasureWordIgnoresKeysUntilTheNextWord)
{
    board->mPlayer->mState = Player::TREASURE_WORD;
    board->mTreasureWord = "SEA";
    Type("SEA");
    EXPECT_EQ(board->mTreasureWord, "");
    EXPECT_EQ(board->mTreasureWordsDone, 1);
    EXPECT_EQ(board->mPlayer->mScore, 50); // Easy: the first word is worth 50
    EXPECT_EQ(board->mBubbles.size(), 50u);
    Type("AB");
    EXPECT_EQ(board->mTreasureTypos, 0);
}

TEST_F(Typing, PearlPairsPayOneHundredThenTwoHundredThousand)
{
    StartLevel(File(Level(Value("BonusLevel", "1"))));
    board->mPlayer->mState = Player::TREASURE_WORD;
    const char* letters = "ABCD";
    for (int i = 0; i < 4; ++i) {
        auto* clam = new Clam(app.get(), 1);
        clam->SetWord(std::string(1, letters[i]));
        clam->mState = Clam::SHOWING_LETTER;
        board->mClams.push_back(clam);
    }
    Type("AB");
    EXPECT_EQ(board->mPlayer->mScore, 100000);
    EXPECT_EQ(board->mPearlMatches, 1);
    Type("CD");
    EXPECT_EQ(board->mPlayer->mScore, 300000);
    EXPECT_EQ(board->mPearlMatches, 2);
}
