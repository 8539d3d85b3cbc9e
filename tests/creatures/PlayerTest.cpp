// The diver's extra-life schedule, descent and beam; bubbles and bonus texts.
#include "tests/creatures/CreatureTestSupport.h"

#include "game/play/BonusText.h"
#include "game/play/Board.h"
#include "game/play/Bubble.h"
#include "game/play/Player.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

class PlayerTest : public CreatureFixture {
protected:
    std::unique_ptr<Player> Make(int difficulty)
    {
        app->mDifficulty = difficulty;
        return std::make_unique<Player>(app.get());
    }
};

} // namespace

TEST_F(PlayerTest, ExtraLivesFollowTheDifficultysSchedule)
{
    const struct {
        int difficulty;
        int start;
        int add;
        bool life;
        int next;
    } cases[] = {
        {0, 0, 449999, false, 450000},   {0, 449999, 1, true, 625000},   {0, 624999, 1, true, 1025000},
        {0, 1024999, 1, true, 1425000},  {1, 0, 2000000, true, 775000},  {2, 899999, 1, true, 1550000},
        {3, 1749999, 1, true, 3250000},  {4, 0, 900000, true, 1500000},
    };
    for (const auto& c : cases) {
        auto player = Make(c.difficulty);
        player->SetScore(c.start);
        const int lives = player->mLives;
        player->AddScore(c.add);
        EXPECT_EQ(player->mLives, lives + (c.life ? 1 : 0)) << c.difficulty << " " << c.start;
        EXPECT_EQ(player->mExtraLifeEarned, c.life);
        EXPECT_EQ(player->mNextExtraLife, c.next) << c.difficulty << " " << c.start;
    }
}

TEST_F(PlayerTest, NoLivesInAbyssModeOrWithoutASchedule)
{
    auto abyss = Make(0);
    abyss->mNoExtraLives = true;
    abyss->AddScore(5000000);
    EXPECT_EQ(abyss->mLives, 2);
    for (int difficulty : {-1, 5}) {
        auto player = Make(difficulty);
        EXPECT_EQ(player->mNextExtraLife, 0);
        player->AddScore(100);
        player->AddScore(100);
        EXPECT_EQ(player->mLives, 2);
    }
}

TEST_F(PlayerTest, SetScorePicksTheNextThresholdAboveIt)
{
    const struct {
        int difficulty;
        int score;
        int next;
    } cases[] = {{0, 450000, 625000}, {1, 600000, 775000}, {0, 1025000, 1425000}, {4, 0, 900000}};
    for (const auto& c : cases) {
        auto player = Make(c.difficulty);
        player->SetScore(c.score);
        EXPECT_EQ(player->mNextExtraLife, c.next);
    }
}

TEST_F(PlayerTest, NewDiverDescendsOverTheLeadInUntilReady)
{
    auto player = Make(1);
    player->SetState(Player::DESCENDING);
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_DIVERENTERS});
    const int leadIn = app->GetImage(IMAGE_TOPBACKGROUND)->GetHeight();
    double y = 0.0;
    int updates = 0;
    while (player->mState == Player::DESCENDING) {
        player->Update();
        if (y >= 235.0)
            break;
        y += y <= leadIn ? 2.0 : 1.0;
        ASSERT_EQ(player->mY, y);
        ASSERT_LT(++updates, 1000);
    }
    EXPECT_EQ(player->mState, Player::PLAYING);
    EXPECT_TRUE(player->mReadyForWave);
}

TEST_F(PlayerTest, BeamCrossesTheScreenTenPixelsPerUpdate)
{
    auto player = Make(0);
    player->SetState(Player::PLAYING);
    player->mZapperFiring = true;
    player->mBeamX = 100.0;
    int updates = 0;
    while (player->mZapperFiring) {
        player->Update();
        ASSERT_LT(++updates, 100);
    }
    EXPECT_EQ(updates, 54);
    // The next beam starts in front of the diver again, so a second shot sweeps too.
    EXPECT_EQ(player->mBeamX, player->mWidth + player->mX);
    player->mZapperFiring = true;
    updates = 0;
    while (player->mZapperFiring) {
        player->Update();
        ASSERT_LT(++updates, 100);
    }
    EXPECT_EQ(updates, 56);
}

TEST_F(PlayerTest, EatenDiverFadesThenRises)
{
    auto player = Make(0);
    player->SetState(Player::PLAYING);
    player->mY = 235.0;
    player->SetState(Player::EATEN);
    EXPECT_EQ(player->mY, 210.0);
    EXPECT_EQ(player->mFrameCount, 7);
    for (int i = 0; i < 400 && player->mState == Player::EATEN; ++i)
        player->Update();
    EXPECT_EQ(player->mState, Player::RISING);
    EXPECT_GE(player->mDeathCycles, 4);
    EXPECT_LE(player->mAlpha, 128);
    Draw(*player);
}

TEST_F(PlayerTest, BonusTextTurnsRedAndFadesOut)
{
    BonusText text("+90 PTS", wordFont);
    text.SetX(100);
    text.SetY(400);
    for (int i = 0; i < 197; ++i)
        text.Update();
    EXPECT_EQ(text.mState, 0);
    EXPECT_EQ(text.mGreen, 0);
    EXPECT_EQ(text.mBlue, 0);
    text.Update();
    EXPECT_EQ(text.mState, BonusText::DONE);
    EXPECT_EQ(text.mAlpha, 0);
}

TEST_F(PlayerTest, BubblesRiseFromTheirRandomStart)
{
    Reseed(3);
    board->AddBubble(50, 300);
    Bubble& bubble = *board->mBubbles.back();
    EXPECT_EQ(bubble.mFrame, NextExpected() % 3);
    NextExpected();
    NextExpected();
    EXPECT_EQ(bubble.mVelY, 1.0 + (NextExpected() % 3000) * 0.001);
    EXPECT_EQ(bubble.mX, 50.0);
    bubble.Update();
    EXPECT_EQ(bubble.mY, 300.0 - bubble.mVelY);
    Draw(bubble);
    EXPECT_EQ(PixelImage(ScreenPixel(50, int(bubble.mY) + 2)), IMAGE_BUBBLE1 + bubble.mFrame);
}
