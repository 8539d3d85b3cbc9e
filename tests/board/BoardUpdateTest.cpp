// The update cycle: what a paused board does, the level title and its hint, the
// Dozav Odaziz charge, dying creatures moved to the front, background fish, the
// accuracy badge's fade and the phase that freezes the field.
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BackgroundFish.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class BoardUpdate : public BoardFixture {
protected:
    BoardUpdate() { StartLevel(File(Level(Sharks()))); }
};

// A shark that counts its updates.
class CountingShark : public Shark {
public:
    explicit CountingShark(WinBTApp* app) : Enemy(app), Shark(app) {}
    void Update() override { ++updates; }
    int updates = 0;
};

} // namespace

TEST_F(BoardUpdate, PausedOrDisabledBoardOnlyCountsCalls)
{
    for (bool disable : {false, true}) {
        if (disable)
            board->SetDisabled(true);
        else
            board->Pause(true);
        const int updates = board->mUpdateCnt;
        const double diverY = board->mPlayer->mY;
        const int intro = board->mIntroAlpha;
        const int calls = board->GetCallCount();
        Run(50);
        EXPECT_EQ(board->GetCallCount(), calls + 50);
        EXPECT_EQ(board->mUpdateCnt, updates);
        EXPECT_EQ(board->mPlayer->mY, diverY);
        EXPECT_EQ(board->mIntroAlpha, intro);
        if (disable)
            board->SetDisabled(false);
        else
            board->Pause(false);
    }
}

TEST_F(BoardUpdate, LevelHintComesOnceAtTitleAlpha117)
{

    int hintUpdate = 0;
    for (int update = 1; update <= 400; ++update) {
        const bool wasStopped = board->mHintTimer->mStopped;
        Run(1);
        if (wasStopped && !board->mHintTimer->mStopped) {
            EXPECT_EQ(hintUpdate, 0);
            hintUpdate = update;
            EXPECT_EQ(board->mHintAlpha, 255); // the player has typed the opening words before
        }
    }
    EXPECT_EQ(hintUpdate, 139);
    EXPECT_EQ(board->mIntroAlpha, 0);
    EXPECT_EQ(board->mFadeAlpha, 0);
}

TEST_F(BoardUpdate, ChargeGrowsEveryIntervalAndStopsAtExactlyOne)
{
    // The board updates before its timers, so it sees 2500 ms on the 251st update.
    Run(250);
    EXPECT_EQ(board->mPlayer->mCharge, 0.0);
    Run(1);
    EXPECT_EQ(board->mPlayer->mCharge, 0.01);
    Run(249);
    EXPECT_EQ(board->mPlayer->mCharge, 0.01);
    Run(1);
    EXPECT_EQ(board->mPlayer->mCharge, 0.02);
    board->mPlayer->mCharge = 0.995;
    Run(250);
    EXPECT_EQ(board->mPlayer->mCharge, 1.0);
}

TEST_F(BoardUpdate, NoChargeOnASpecialLevel)
{
    StartLevel(File(Level(Value("BonusLevel", "1"))));
    ASSERT_TRUE(config->IsSpecialLevel());
    Run(1000);
    EXPECT_EQ(board->mPlayer->mCharge, 0.0);
}

TEST_F(BoardUpdate, ZapperHintOnlyOnceAndNotUnderTheTitle)
{
    DiverInPlace();
    board->mPlayer->mCharge = 1.0;
    board->mIntroAlpha = 7; // 5 after this update's title step
    board->mHintAlpha = 0;
    Run(1);
    EXPECT_TRUE(board->ZapperHintDue());
    board->mIntroAlpha = 0;
    Run(1);
    EXPECT_FALSE(board->ZapperHintDue());
}

TEST_F(BoardUpdate, DyingCreatureMovesToTheFrontOnceAndEveryCreatureUpdatesOnce)
{
    DiverInPlace();
    board->mWaveCleared = false;
    auto* b = new CountingShark(app.get());
    auto* a = new CountingShark(app.get());
    auto* c = new CountingShark(app.get());
    for (CountingShark* shark : {b, a, c}) {
        shark->SetReleased(true);
        shark->mX = 400.0;
        board->mSharks.push_back(shark);
    }
    a->mState = Shark::DYING;
    Run(1);
    EXPECT_EQ(board->mSharks, (std::vector<Shark*>{a, b, c}));
    EXPECT_EQ(a->updates, 1);
    EXPECT_EQ(b->updates, 1);
    EXPECT_EQ(c->updates, 1);
    Run(1);
    EXPECT_EQ(board->mSharks, (std::vector<Shark*>{a, b, c}));
}

TEST_F(BoardUpdate, BackgroundFishOnlyJoinBelowEight)
{
    for (int i = 0; i < 8; ++i) {
        auto* fish = new BackgroundFish(app.get());
        fish->mX = -1000.0;
        board->mBackgroundFish.push_back(fish);
    }
    const size_t before = board->mBackgroundFish.size();
    Run(400);
    EXPECT_EQ(board->mBackgroundFish.size(), before);
}

TEST_F(BoardUpdate, BadgeFadesAndRestartsTheWaveTimer)
{
    AccuracyBadge& badge = *board->mAccuracyBadge;
    badge.mActive = true;
    badge.mAlpha = 130;
    badge.mY = 300.0;
    badge.mWavePoints = 500;
    board->mWaveTimer->SetDisabled(true);
    Run(1);
    EXPECT_EQ(badge.mY, 299.0);
    EXPECT_TRUE(board->mWaveTimer->mStopped);
    Run(1);
    EXPECT_FALSE(board->mWaveTimer->mStopped);
    Run(128);
    EXPECT_FALSE(badge.mActive);
    EXPECT_EQ(badge.mWavePoints, 0);
    EXPECT_EQ(badge.mImage, nullptr);
}

TEST_F(BoardUpdate, LevelCompleteFreezesTheField)
{
    auto* shark = new Shark(app.get());
    shark->SetWord("KELP");
    shark->SetReleased(true);
    shark->mX = 400.0;
    shark->SetVelX(1.0);
    board->mSharks.push_back(shark);
    board->mPlayer->mState = Player::LEVEL_COMPLETE;
    Run(100);
    EXPECT_EQ(shark->mX, 400.0);
}
