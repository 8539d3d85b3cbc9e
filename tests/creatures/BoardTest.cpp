// The board's construction and destruction: its timers, tables and owned lists.
#include "tests/creatures/CreatureTestSupport.h"

#include <cmath>
#include <set>

#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/GlowSharks.h"
#include "game/creatures/Piranha.h"
#include "game/common/BTTimer.h"
#include "game/play/BonusText.h"
#include "game/play/Board.h"
#include "game/play/Player.h"

using namespace Zant;
using namespace CreatureTests;

using BoardTest = CreatureFixture;

TEST_F(BoardTest, ConstructionSetsTimersTablesAndHeights)
{
    std::set<BTTimer*> timers;
    for (BTTimer* timer : board->Timers()) {
        ASSERT_NE(timer, nullptr);
        timers.insert(timer);
        for (int i = 0; i < 3; ++i)
            timer->Update();
    }
    EXPECT_EQ(timers.size(), size_t(Board::NUM_TIMERS));
    for (BTTimer* stopped : {board->mHintTimer, board->mTallyTimer, board->mGameClock})
        EXPECT_EQ(stopped->GetElapsed(), 0);
    EXPECT_EQ(board->mWaveTimer->GetElapsed(), 30);

    EXPECT_EQ(board->mSinTable[0], 0.0);
    EXPECT_EQ(board->mSinTable[100], std::sin(100 * 0.3183098861837907));
    EXPECT_EQ(board->mZapperChargeInterval, 2500);
    EXPECT_EQ(board->mLeadInHeight, app->GetImage(IMAGE_TOPBACKGROUND)->GetHeight());
    EXPECT_EQ(board->mPlayAreaBottom, 480 - app->GetImage(IMAGE_STATUSBARX)->GetHeight());
    EXPECT_EQ(board->mBackLayer[1].mY, double(app->GetImage(IMAGE_WATER1)->GetHeight()));
    EXPECT_EQ(board->mPlayer->mState, Player::DESCENDING);
    EXPECT_EQ(board->mAbyssBoss, -1);
    EXPECT_EQ(app->GetPlayer(), board->mPlayer);
}

TEST_F(BoardTest, DestructionTakesTimersOutOfTheManagerAndFreesCreatures)
{
    auto* other = new Board(app.get());
    for (BTTimer* timer : other->Timers())
        app->mWidgetManager->AddWidget(timer);
    other->mSharks.push_back(new ToxicShark(app.get()));
    other->mPiranhas.push_back(new StealthWhitePiranha(app.get(), other->mPlayer));
    other->mBonusCreatures.push_back(new BonusCreature(app.get()));
    other->AddBonusText("+90 PTS", 10, 10, nullptr);
    EXPECT_EQ(other->mBonusTexts.back()->mFont, app->mFontUnsteady22);
    const auto timers = other->Timers();
    delete other;
    for (BTTimer* timer : timers)
        EXPECT_FALSE(app->mWidgetManager->HasWidget(timer));
    app->mWidgetManager->UpdateFrame();
}
