// Level start: the depth ruler, the floor and scenery, the abyss start depth and the
// values carried between levels.
#include "framework/graphics/Font.h"
#include "framework/graphics/Image.h"
#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

using BoardStart = BoardFixture;

TEST_F(BoardStart, RulerAndFloorFollowTheLevel)
{
    StartLevel(File(Level(Sharks())));
    const int f = app->mFontMyriad12Bold->GetHeight();
    int labels = 0;
    int ticks = 0;
    for (DepthMark* mark : board->mDepthMarks) {
        EXPECT_EQ(mark->mY, f + board->mLeadInHeight + 10.0 * mark->mFeet);
        if (mark->mLabel == "-")
            ++ticks;
        else
            EXPECT_EQ(mark->mLabel, "- " + std::to_string(mark->mFeet)) << ++labels;
    }
    EXPECT_EQ(board->mDepthMarks.size() - ticks, 3u);
    EXPECT_EQ(ticks, 12);

    const double d = f + 1000 - app->GetImage(IMAGE_OCEANFLOOR)->GetHeight() + board->mLeadInHeight;
    EXPECT_EQ(board->mFloorY, d);
    EXPECT_EQ(board->mLayerY[0], d + 270);
    EXPECT_EQ(board->mLayerY[1], d + 120);
    EXPECT_EQ(board->mLayerY[2], d - 30);
    EXPECT_EQ(board->mScrollSpeed, config->GetLevelSettings().DiverSpeed);
    EXPECT_EQ(board->mPlayer->mLives, 2);
}

TEST_F(BoardStart, AbyssLevelHasNoFloorNoLivesAndFastCharge)
{
    StartLevel(AbyssFile(Level(Sharks())), -1);
    ASSERT_TRUE(config->IsAbyssMode());
    EXPECT_EQ(board->mFloorY, -1.0);
    for (double layer : board->mLayerY)
        EXPECT_EQ(layer, -1.0);
    EXPECT_EQ(board->mPlayer->mLives, 0);
    EXPECT_TRUE(board->mPlayer->mNoExtraLives);
    EXPECT_EQ(board->mZapperChargeInterval, 1250);
}

TEST_F(BoardStart, AbyssStartDepthStepsStagesAndMarksBosses)
{
    struct Case {
        int feet;
        int nextLevelCalls;
        int abyssBoss;
        bool mark;
    };
    const Case cases[] = {{0, 0, -1, false}, {1000, 5, 0, true}, {1450, 8, 0, false}, {2000, 10, 1, true}};
    const std::string text = AbyssFile(Levels(12));
    for (const Case& c : cases) {
        StartLevel(text, -1);
        Config twin(app.get());
        ASSERT_EQ(twin.LoadText(text, -1, "twin.xml"), 0);
        twin.ResetWaves(-1);
        for (int i = 0; i < c.nextLevelCalls; ++i)
            twin.NextLevel();
        board->mPlayer->mCharge = 0.25;
        board->SetAbyssDepth(c.feet);
        EXPECT_EQ(config->GetLevel(), twin.GetLevel()) << c.feet;
        EXPECT_EQ(board->mAbyssBoss, c.abyssBoss) << c.feet;
        EXPECT_EQ(board->mThousandFeetMark, c.mark) << c.feet;
        EXPECT_EQ(board->mScrollDistance, board->mLeadInHeight + 1.0);
        EXPECT_EQ(board->mAbyssDepth, c.feet);
        EXPECT_EQ(board->mStageDepth, c.feet);
    }
}

TEST_F(BoardStart, AbyssRulerLabelsTheDepthsAroundTheStart)
{
    StartLevel(AbyssFile(Level(Sharks())), -1);
    board->SetAbyssDepth(1450);
    std::vector<std::string> labels;
    int ticks = 0;
    for (DepthMark* mark : board->mDepthMarks) {
        EXPECT_EQ(mark->mY, (mark->mFeet - 1418) * 10.0);
        if (mark->mLabel == "-")
            ++ticks;
        else
            labels.push_back(mark->mLabel);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"- 1420", "- 1440", "- 1460"}));
    EXPECT_EQ(ticks, 9);
}

TEST_F(BoardStart, LevelValuesRoundTripThroughTheRecord)
{
    StartLevel(File(Level(Sharks())), 1);
    Player* player = board->mPlayer;
    player->mCharge = 0.37;
    player->mLevelIndex = 4;
    player->mLives = 3;
    player->SetScore(600000);
    board->mAccuracyBadge->mStreak = 2;
    board->mAccurateLevels = 5;
    board->mAccuracyHits = 90;
    board->mAccuracyMisses = 4;
    board->mPausedTime = 1234;
    std::array<int, Board::NUM_LEVEL_RESULTS> record{};
    board->GetLevelResults(record);
    EXPECT_EQ(record[Board::RESULT_SCORE], 600000);
    EXPECT_EQ(record[Board::RESULT_CORRECT_LETTERS], 90);
    EXPECT_EQ(record[Board::RESULT_TYPOS], 4);

    StartLevel(File(Level(Sharks())), 1);
    board->SetLevelValues(record);
    EXPECT_EQ(board->mPlayer->mCharge, 0.37);
    EXPECT_EQ(board->mPlayer->mLevelIndex, 4);
    EXPECT_EQ(board->mPlayer->mLives, 3);
    EXPECT_EQ(board->mPlayer->mScore, 600000);
    // Normal: 525000 passed, so the next life comes at 775000.
    EXPECT_EQ(board->mPlayer->mNextExtraLife, 775000);
    EXPECT_EQ(board->mAccuracyBadge->mStreak, 2);
    EXPECT_EQ(board->mAccurateLevels, 5);
    EXPECT_EQ(board->mPausedTime, 1234);
    EXPECT_EQ(board->mLevelStartScore, 600000);
}
