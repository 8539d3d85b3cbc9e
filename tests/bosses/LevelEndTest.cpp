// The level's descent and depth, its end sequence and the lost diver, on a board
// driven update by update.
#include <algorithm>
#include <set>

#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/ProjectileBoss.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class LevelEndTest : public BoardFixture {
protected:
    LevelEndTest()
    {
        // The sonar sweeps' later frames, which the level-complete screen steps through.
        for (int index = IMAGE_SONAR_SWEEP_0 + 1; index < IMAGE_SONAR_SWEEP2_0 + 5; ++index) {
            if (app->GetImage(index))
                continue;
            auto* image = new MemoryImage();
            image->Create(4, 4);
            app->SetImage(index, image);
        }
        std::string diffs;
        for (int diff = 0; diff <= 20; ++diff)
            diffs += "#DIFF-" + std::to_string(diff) + "\nTREASURE\nPEARLS\n#END\n";
        EXPECT_TRUE(app->mWordLists.ParseDifficultyWords(diffs));
    }

    // A fresh board; the application lets go of the one before first.
    void Start(const std::string& text, int difficulty = 0)
    {
        app->mBoard = nullptr;
        StartLevel(text, difficulty);
    }

    // An abyss configuration of stages, each of two shark waves.
    void StartAbyss(int stages = 6)
    {
        std::string levels;
        for (int i = 0; i < stages; ++i)
            levels += Level(Sharks() + Sharks(), i + 1);
        Start(AbyssFile(levels), -1);
        config->ResetWaves(0);
        DiverInPlace();
        board->mScrollSpeed = 1.0;
    }

    // A ruler entry that passes the diver's feet on the next descent step.
    void MarkAtDiver(int feet)
    {
        Player* player = board->mPlayer;
        board->mDepthMarks.push_back(
            Board::MakeDepthMark(feet, player->mY + player->GetHeight() + board->mScrollSpeed));
    }

    void ClearRuler()
    {
        for (DepthMark* mark : board->mDepthMarks)
            delete mark;
        board->mDepthMarks.clear();
    }

    // Ordinary level 1 at the floor, the last wave cleared and its badge gone.
    void AtTheFloor(const std::string& level = Level(Sharks()))
    {
        Start(File(level));
        DiverInPlace();
        board->mPlayer->SetState(Player::FLOOR_REACHED);
        board->mWaveCleared = true;
        board->mAccuracyBadge->mAlpha = 0;
    }

    int UpdatesUntilPhaseLeaves(int phase, int limit)
    {
        int updates = 0;
        while (board->mPlayer->mState == phase && updates < limit) {
            board->UpdateLevelEnd();
            ++updates;
        }
        return updates;
    }
};

} // namespace

// ---- Descent and depth

TEST_F(LevelEndTest, RulerEntriesGoOnlyOnceBelowTwentyAbove)
{
    StartAbyss();
    ClearRuler();
    board->mDepthMarks.push_back(Board::MakeDepthMark(4, -19.0));
    board->mDepthMarks.push_back(Board::MakeDepthMark(8, -19.01));
    board->UpdateDescent();
    ASSERT_FALSE(board->mDepthMarks.empty());
    EXPECT_EQ(board->mDepthMarks.front()->mFeet, 4);
    EXPECT_EQ(board->mDepthMarks.front()->mY, -20.0);
    // The ruler is refilled after the entry at 4 ft, well below.
    EXPECT_TRUE(std::none_of(board->mDepthMarks.begin(), board->mDepthMarks.end(),
                             [](const DepthMark* m) { return m->mY < -20.0; }));
    EXPECT_EQ(board->mDepthMarks.at(1)->mY, 20.0);
}

TEST_F(LevelEndTest, TheRulerIsRefilledSixtyFeetAtATimeAndNeverRunsOut)
{
    StartAbyss();
    ClearRuler();
    board->mDepthMarks.push_back(Board::MakeDepthMark(100, 300.0));
    board->UpdateDescent();
    ASSERT_EQ(board->mDepthMarks.size(), 16u);
    for (size_t i = 1; i < board->mDepthMarks.size(); ++i) {
        const DepthMark* mark = board->mDepthMarks[i];
        EXPECT_EQ(mark->mFeet, 100 + 4 * int(i));
        EXPECT_DOUBLE_EQ(mark->mY, 299.0 + 40.0 * int(i));
        EXPECT_EQ(mark->mLabel, mark->mFeet % 20 == 0 ? "- " + std::to_string(mark->mFeet) : "-");
    }
    // A scroll longer than the ruler leaves nothing to follow: it starts again at the
    // depth reached.
    board->mScrollSpeed = 5000.0;
    board->mAbyssDepth = 602;
    board->UpdateDescent();
    ASSERT_FALSE(board->mDepthMarks.empty());
    EXPECT_EQ(board->mDepthMarks.front()->mFeet, 604);
}

TEST_F(LevelEndTest, EveryThousandFeetABossIsDueAndEveryFourHundredTheChargeIsKept)
{
    const struct {
        int feet;
        bool bossAlive;
        bool markPending;
        bool bossDue;
        bool chargeKept;
    } cases[] = {
        {2000, false, false, true, true},  {1000, false, false, true, false}, {1200, false, false, false, true},
        {2000, true, false, false, true},  {3000, false, true, true, false},  {1004, false, false, false, false},
    };
    for (const auto& c : cases) {
        StartAbyss();
        ClearRuler();
        board->mAbyssDepth = c.feet - 4;
        board->mAbyssBoss = 3;
        board->mThousandFeetMark = c.markPending;
        board->mPlayer->mCharge = 0.75;
        std::unique_ptr<TorpedoBoss> boss;
        if (c.bossAlive) {
            boss = std::make_unique<TorpedoBoss>(app.get(), board->mPlayer, config);
            board->mBoss = boss.get();
        }
        MarkAtDiver(c.feet);
        board->UpdateDescent();
        board->mBoss = nullptr;
        SCOPED_TRACE(c.feet);
        EXPECT_EQ(board->mAbyssDepth, c.feet);
        EXPECT_EQ(board->mThousandFeetMark, c.bossDue);
        EXPECT_EQ(board->mAbyssBoss, c.bossDue && !c.markPending ? 4 : 3);
        EXPECT_EQ(board->mAdValues.count(c.feet), c.chargeKept ? 1u : 0u);
        if (c.chargeKept) {
            EXPECT_EQ(board->mAdValues[c.feet], 0.75);
        }
    }
}

TEST_F(LevelEndTest, DepthOnlyAdvancesAsEntriesPassTheDiversFeet)
{
    StartAbyss();
    ClearRuler();
    Player* player = board->mPlayer;
    const double feet = player->mY + player->GetHeight();
    board->mDepthMarks.push_back(Board::MakeDepthMark(40, feet + 2.5));
    board->UpdateDescent();
    board->UpdateDescent();
    EXPECT_EQ(board->mAbyssDepth, 0);
    board->UpdateDescent();
    EXPECT_EQ(board->mAbyssDepth, 40);
}

TEST_F(LevelEndTest, StagesStepOncePerClearedWaveAndNotPastTheLast)
{
    StartAbyss(4);
    ClearRuler();
    const int stage = config->GetLevel();
    board->mWaveCleared = false;
    for (int feet = 196; feet <= 404; feet += 4) {
        MarkAtDiver(feet);
        board->UpdateDescent();
    }
    EXPECT_EQ(board->mAbyssDepth, 404);
    EXPECT_EQ(config->GetLevel(), stage) << "no step before the wave is cleared";
    board->mWaveCleared = true;
    board->UpdateDescent();
    board->UpdateDescent();
    EXPECT_EQ(config->GetLevel(), stage + 1) << "two boundaries crossed, one step";
    EXPECT_EQ(board->mStageDepth, 404);

    // On the last stage the wave is not chosen again: the generator is not drawn.
    const struct {
        int stages;
        bool draws;
    } cases[] = {{4, true}, {1, false}};
    for (const auto& c : cases) {
        StartAbyss(c.stages);
        ClearRuler();
        MarkAtDiver(200);
        Reseed(77);
        board->UpdateDescent();
        EXPECT_EQ(board->mStageDepth, 200);
        EXPECT_EQ(app->GetGameRandom().Next() != NextExpected(), c.draws) << c.stages << " stages";
    }
}

TEST_F(LevelEndTest, NothingScrollsBeforeTheOpeningWords)
{
    StartAbyss();
    board->mIntroDone = false;
    const double distance = board->mScrollDistance;
    board->UpdateDescent();
    EXPECT_FALSE(board->mPlayer->mReadyForWave);
    EXPECT_EQ(board->mScrollDistance, distance);
}

TEST_F(LevelEndTest, TheFloorRisesToRestAndTheDiverReachesIt)
{
    for (const double diverY : {235.0, 234.0}) {
        Start(File(Level(Sharks()), Defaults(Value("OceanDepth", "60"))));
        DiverInPlace();
        board->mPlayer->mY = diverY;
        board->mScrollSpeed = 2.0;
        const double rest = board->mHeight - 65 - board->mAssets.GetImage(IMAGE_OCEANFLOOR)->GetHeight() + 10;
        int updates = 0;
        while (board->mPlayer->mReadyForWave && board->mPlayer->mState == Player::PLAYING && updates < 5000) {
            board->UpdateDescent();
            ++updates;
        }
        EXPECT_LE(board->mFloorY, rest);
        EXPECT_GT(board->mFloorY, rest - 2.0);
        EXPECT_LE(board->mLayerY[2], board->mHeight - 65);
        if (diverY >= 235.0) {
            EXPECT_EQ(board->mPlayer->mState, Player::FLOOR_REACHED);
        } else {
            EXPECT_EQ(board->mPlayer->mState, Player::PLAYING);
            EXPECT_FALSE(board->mPlayer->mReadyForWave);
        }
    }
}

// ---- The level's end

TEST_F(LevelEndTest, TheAirFillsInTwoAndAHalfSecondsOnceTheBadgeIsGone)
{
    AtTheFloor();
    board->mAccuracyBadge->mAlpha = 20;
    board->UpdateLevelEnd();
    EXPECT_EQ(board->mEndTimer, 0.0) << "waits for the badge";
    board->mAccuracyBadge->mAlpha = 0;
    app->sounds.clear();
    EXPECT_EQ(UpdatesUntilPhaseLeaves(Player::FLOOR_REACHED, 1000), 250);
    EXPECT_EQ(board->mPlayer->mState, Player::TREASURE_WORD);
    EXPECT_EQ(std::count(app->sounds.begin(), app->sounds.end(), SOUND_TREASURE), 1);
}

TEST_F(LevelEndTest, CreaturesThatNeverCameAreDroppedAtTheFloor)
{
    AtTheFloor();
    board->mWaveCleared = false;
    auto* waiting = new Shark(app.get());
    waiting->SetX(board->mWidth + 5.0);
    auto* onField = new Shark(app.get());
    onField->SetX(300.0);
    board->mSharks = {waiting, onField};
    // The waiting shark was knocked back past the edge while being typed.
    board->mLockedEnemy = waiting;
    board->mTypedText = "S";
    board->UpdateLevelEnd();
    EXPECT_EQ(board->mSharks, std::vector<Shark*>{onField});
    EXPECT_EQ(board->mLockedEnemy, nullptr);
    EXPECT_EQ(board->mTypedText, "");
    EXPECT_FALSE(board->mWaveCleared) << "the shark on the field must still be typed";
    delete onField;
    board->mSharks.clear();
    board->UpdateLevelEnd();
    EXPECT_TRUE(board->mWaveCleared);
}

TEST_F(LevelEndTest, TheTreasureClockRunsTwentyFourSecondsOrTwentyForPearls)
{
    AtTheFloor();
    board->mPlayer->SetState(Player::TREASURE_WORD);
    board->mEndTimer = 240.0;
    const int ordinary = UpdatesUntilPhaseLeaves(Player::TREASURE_WORD, 5000);
    EXPECT_EQ(ordinary, 2401);
    EXPECT_EQ(board->mPlayer->mState, Player::TALLY);
    EXPECT_FALSE(board->mTreasureWord.empty());
    EXPECT_FALSE(board->mTallyTimer->mStopped);

    AtTheFloor(Level("<BonusLevel/>\n"));
    board->mPlayer->SetState(Player::TREASURE_WORD);
    board->mEndTimer = 240.0;
    board->mPearlMatches = 1;
    EXPECT_EQ(UpdatesUntilPhaseLeaves(Player::TREASURE_WORD, 5000), 2000);
}

TEST_F(LevelEndTest, TheClockPulsesInItsLastThirdAndFasterInItsLastSixth)
{
    AtTheFloor();
    board->mPlayer->SetState(Player::TREASURE_WORD);
    const struct {
        double clock;
        int step;
    } cases[] = {{100.0, 0}, {80.5, 0}, {79.0, 4}, {40.5, 4}, {39.0, 8}};
    for (const auto& c : cases) {
        board->mEndTimer = c.clock;
        board->mPulseAlpha = 200;
        board->mPulseUp = true;
        board->UpdateLevelEnd();
        EXPECT_EQ(board->mPulseAlpha, 200 + c.step) << c.clock;
    }
}

TEST_F(LevelEndTest, TreasureDisplaysTakeThreeModesInTurn)
{
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        AtTheFloor();
        board->mPlayer->SetState(Player::TREASURE_WORD);
        board->mEndTimer = 0.05;
        board->mTreasureWord = "PEARL";
        Reseed(seed);
        board->UpdateLevelEnd();
        const int first = int(NextExpected() & 3);
        std::set<int> modes(std::begin(board->mTreasureModes), std::end(board->mTreasureModes));
        EXPECT_EQ(modes.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(board->mTreasureModes[i], (first + i) % 4);
    }
}

TEST_F(LevelEndTest, APearlGameOutOfTimeWithoutAPairAwardsNothing)
{
    UserProfile profile(app.get());
    app->mCurProfile = &profile;
    for (const int matches : {0, 1}) {
        AtTheFloor(Level("<BonusLevel/>\n"));
        board->mPlayer->SetState(Player::TREASURE_WORD);
        board->mEndTimer = 0.05;
        board->mPearlMatches = matches;
        profile.mGameSecretItems.fill(0);
        app->sounds.clear();
        board->UpdateLevelEnd();
        EXPECT_EQ(board->mPlayer->mState, Player::TALLY);
        EXPECT_EQ(board->mSecretItemImage != nullptr, matches > 0) << matches;
        EXPECT_EQ(std::count(app->sounds.begin(), app->sounds.end(), SOUND_WINGEM), matches > 0 ? 1 : 0);
        int items = 0;
        for (int count : profile.mGameSecretItems)
            items += count;
        EXPECT_EQ(items, matches > 0 ? 1 : 0) << matches;
    }
    app->mCurProfile = nullptr;
}

// However the pearl game ends, the level then waits for the space bar and says so:
// "Press space bar to continue".
TEST_F(LevelEndTest, APearlGameOutOfTimeOffersTheWayOnWithOrWithoutAPair)
{
    for (const int matches : {0, 1}) {
        SCOPED_TRACE(matches);
        AtTheFloor(Level("<BonusLevel/>\n"));
        board->mPlayer->SetState(Player::TREASURE_WORD);
        board->mEndTimer = 0.05;
        board->mPearlMatches = matches;
        ASSERT_NE(board->mLevelDonePanel, nullptr);
        EXPECT_FALSE(board->mLevelDonePanel->mVisible);
        board->UpdateLevelEnd();
        ASSERT_EQ(board->mPlayer->mState, Player::TALLY);
        EXPECT_TRUE(board->mLevelDonePanel->mVisible);
        EXPECT_FALSE(board->mLevelDonePanel->mDisabled);
        EXPECT_EQ(board->mLevelDonePanel->mLabel, "Press space bar to continue");
    }
}

TEST_F(LevelEndTest, ThePearlGameLaysOutTwentyTwoClamsWithFourTreasures)
{
    Start(File(Level("<BonusLevel/>\n")));
    DiverInPlace();
    board->ReachFloor();
    ASSERT_EQ(board->mClams.size(), 22u);
    const int rows[][3] = {{170, 200, 400}, {220, 175, 425}, {280, 200, 400}, {330, 175, 425}};
    size_t index = 0;
    std::set<std::string> letters;
    int treasures = 0;
    for (const auto& row : rows)
        for (int x = row[1]; x <= row[2]; x += 50, ++index) {
            const Clam* clam = board->mClams[index];
            EXPECT_EQ(clam->mX, x) << index;
            EXPECT_EQ(clam->mY, row[0]) << index;
            letters.insert(clam->mWord);
            treasures += clam->mContent != 0;
        }
    EXPECT_EQ(index, 22u);
    EXPECT_EQ(letters.size(), 22u);
    EXPECT_EQ(treasures, 4);
}

TEST_F(LevelEndTest, AccuracyBonusFromNinetyFivePercentAndNoneWithNothingTyped)
{
    const struct {
        int hits;
        int misses;
        int accuracy;
        bool bonus;
    } cases[] = {{19, 1, 95, true}, {1899, 101, 94, false}, {100, 0, 100, true}, {0, 0, 0, false}};
    for (const auto& c : cases) {
        AtTheFloor();
        board->mPlayer->mLevelIndex = 7;
        board->mAccuracyHits = c.hits;
        board->mAccuracyMisses = c.misses;
        EXPECT_EQ(board->LevelAccuracy(), c.accuracy);
        const int score = board->mPlayer->mScore;
        const int accurate = board->mAccurateLevels;
        board->ShowLevelComplete();
        EXPECT_EQ(board->mPlayer->mState, Player::LEVEL_COMPLETE);
        EXPECT_EQ(board->mAccurateLevels, accurate + (c.bonus ? 1 : 0)) << c.hits << "/" << c.misses;
        const int bonus = c.bonus ? board->GetLevelAccuracyBonus() : 0;
        EXPECT_EQ(board->mPlayer->mScore - score, bonus) << c.hits;
    }
}

TEST_F(LevelEndTest, TheTallyLeadsToTheLevelCompleteScreenAndItsSweep)
{
    AtTheFloor();
    board->mPlayer->SetState(Player::TREASURE_WORD);
    board->mEndTimer = 0.05;
    const int score = board->mPlayer->mScore;
    Run(1);
    ASSERT_EQ(board->mPlayer->mState, Player::TALLY);
    EXPECT_EQ(board->mPlayer->mScore - score, board->GetLevelBonusPoints());
    int updates = 0;
    while (board->mPlayer->mState == Player::TALLY && updates < 2000) {
        Run(1);
        ++updates;
    }
    ASSERT_EQ(board->mPlayer->mState, Player::LEVEL_COMPLETE);
    // Three seconds, then the countdown from 255.
    EXPECT_NEAR(updates, 300 + 255, 3);

    app->sounds.clear();
    std::vector<int> steps;
    for (int i = 0; i < 6 * 20; ++i) {
        Run(1);
        if (steps.empty() || steps.back() != board->mDoneStep)
            steps.push_back(board->mDoneStep);
        if (board->mDoneStep == 4) {
            EXPECT_EQ(board->mDoneImages[0], app->GetImage(IMAGE_SONAR_SWEEP_0 + 4));
        }
        if (board->mDoneStep == 5) {
            EXPECT_EQ(board->mDoneImages[0], nullptr);
            EXPECT_EQ(board->mDoneImages[1], app->GetImage(IMAGE_SONAR_SWEEP2_0 + 1));
        }
    }
    EXPECT_EQ(board->mDoneStep, 17);
    EXPECT_EQ(steps.size(), 18u) << "one step every six updates, up to 17";
    for (Image* image : board->mDoneImages)
        EXPECT_EQ(image, nullptr);
    EXPECT_EQ(std::count(app->sounds.begin(), app->sounds.end(), SOUND_SONARPING1), 1);
}

TEST_F(LevelEndTest, ABossLevelEndsThroughItsOwnTally)
{
    Start(File(Level(Sharks()), Defaults(Value("OceanDepth", "10"))));
    DiverInPlace();
    board->mFloorY = 0.0;
    board->mPlayer->SetState(Player::BOSS_BEATEN);
    board->mPlayer->mY = 240.0;
    board->mPlayer->SetReadyForWave(true);
    const int score = board->mPlayer->mScore;
    board->UpdateDescent();
    EXPECT_EQ(board->mPlayer->mState, Player::BOSS_TALLY);
    EXPECT_FALSE(board->mPlayer->mReadyForWave);
    EXPECT_EQ(board->mPlayer->mScore - score, board->GetLevelBonusPoints());
    EXPECT_TRUE(board->mTreasureWord.empty());
    for (int i = 0; i < 1000 && board->mPlayer->mState == Player::BOSS_TALLY; ++i)
        Run(1);
    EXPECT_EQ(board->mPlayer->mState, Player::LEVEL_COMPLETE);
}

// ---- The lost diver

TEST_F(LevelEndTest, ThreeDiversInAnAdventureOneInTheAbyss)
{
    const struct {
        bool abyss;
        std::vector<int> lives;
        std::vector<int> phases;
    } cases[] = {
        {false, {1, 0, -1}, {Player::DESCENDING, Player::DESCENDING, Player::GAME_OVER}},
        {true, {-1}, {Player::GAME_OVER}},
    };
    for (const auto& c : cases) {
        if (c.abyss)
            StartAbyss();
        else
            Start(File(Level(Sharks())));
        board->Pause(false);
        for (size_t i = 0; i < c.lives.size(); ++i) {
            // The eaten diver rises out of view; the update hands him on.
            Player* player = board->mPlayer;
            player->SetState(Player::RISING);
            player->mY = -player->GetHeight() - 1.0;
            Run(1);
            EXPECT_EQ(player->mLives, c.lives[i]) << c.abyss << " death " << i;
            EXPECT_EQ(player->mState, c.phases[i]) << c.abyss << " death " << i;
        }
        EXPECT_TRUE(board->mGameOver);
        EXPECT_TRUE(board->mPaused);
        EXPECT_EQ(board->mGameOverFigures.abyss, c.abyss);
    }
}

TEST_F(LevelEndTest, AReplacedDiverDropsTheTypedWordAndGetsTheHintBackOutsideABossFight)
{
    for (const bool bossFight : {false, true}) {
        Start(File(Level(Sharks())));
        std::unique_ptr<TorpedoBoss> boss;
        if (bossFight) {
            boss = std::make_unique<TorpedoBoss>(app.get(), board->mPlayer, config);
            board->mBoss = boss.get();
        }
        auto shark = std::make_unique<Shark>(app.get());
        board->mLockedEnemy = shark.get();
        board->mTypedText = "SH";
        board->mWaveCleared = false;
        board->mHintAlpha = 0;
        board->mHintTimer->SetDisabled(true);
        board->HandlePlayerDeath();
        board->mBoss = nullptr;
        EXPECT_EQ(board->mLockedEnemy, nullptr);
        EXPECT_EQ(board->mTypedText, "");
        EXPECT_TRUE(board->mWaveCleared);
        EXPECT_EQ(board->mPlayer->mState, Player::DESCENDING);
        EXPECT_EQ(board->mHintAlpha, bossFight ? 0 : 255) << bossFight;
        EXPECT_EQ(board->mHintTimer->mStopped, bossFight) << bossFight;
    }
}

TEST_F(LevelEndTest, TheGameOverFiguresAreTheRunsTotalsWithThisLevels)
{
    StartAbyss();
    app->mRunTypingTime = 50000;
    app->mRunTotal9 = 400;
    app->mRunTotal10 = 20;
    app->mRunLevelTotal8 = 90000;
    board->mTypingTime = 7000;
    board->mAccuracyHits = 60;
    board->mAccuracyMisses = 5;
    board->mAbyssDepth = 1240;
    Run(30);
    board->mPlayer->mScore = 12345;
    const int levelTime = board->mGameClock->GetElapsed();
    board->HandlePlayerDeath();
    const Board::GameOverFigures& f = board->mGameOverFigures;
    EXPECT_TRUE(f.abyss);
    EXPECT_EQ(f.typingTime, 57000);
    EXPECT_EQ(f.hits, 460);
    EXPECT_EQ(f.misses, 25);
    EXPECT_EQ(f.depth, 1240);
    EXPECT_EQ(f.playTime, 90000 + levelTime);
    EXPECT_EQ(f.score, 12345);
    EXPECT_EQ(f.rankTitle, Board::GetRankTitle(12345));
    EXPECT_EQ(board->mPlayer->mState, Player::GAME_OVER);

    // Recorded once: a further call changes nothing.
    board->mTypingTime = 1;
    board->HandlePlayerDeath();
    EXPECT_EQ(board->mGameOverFigures.typingTime, 57000);
}
