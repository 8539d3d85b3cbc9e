#include "game/play/Board.h"

#include <cmath>

#include "framework/graphics/Image.h"
#include "framework/sound/SoundInstance.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BackgroundFish.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/ProjectileBoss.h"
#include "game/creatures/Shark.h"
#include "game/play/BTTimer.h"
#include "game/play/BonusText.h"
#include "game/play/Bubble.h"
#include "game/play/Player.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

int ImageHeight(WinBTApp* app, int index)
{
    Image* image = app->GetImage(index);
    return image ? image->GetHeight() : 0;
}

template <typename T>
void DeleteAll(std::vector<T*>& list)
{
    for (T* item : list)
        delete item;
    list.clear();
}

} // namespace

BoardHeader::BoardHeader(Player* player, WinBTApp* app) : mPlayer(player), mFont(app->mFontMyriad14Bold), mApp(app) {}

Board::Board(WinBTApp* app) : mApp(app)
{
    for (BTTimer** timer : {&mPauseTimer, &mGameClock, &mWaveTimer, &mWordTimer, &mHintTimer, &mLastTimer,
                            &mMessageTimer, &mZapperTimer, &mTallyTimer})
        *timer = new BTTimer();
    mHintTimer->SetDisabled(true);
    mTallyTimer->SetDisabled(true);
    mGameClock->SetDisabled(true);

    mPlayer = new Player(app);
    mHeader = new BoardHeader(mPlayer, app);

    mEffectsOn = app->mEffectsOn;
    mZapperChargeInterval = app->mConfig && app->mConfig->IsAbyssMode() ? 1250 : 2500;
    MersenneTwister& random = app->GetGameRandom();
    mTreasureShow[1].mFrame = 4 + random.Next() % 4;
    mTreasureShow[2].mFrame = 8 + random.Next() % 4;

    for (int i = 0; i < SIN_TABLE_SIZE; ++i)
        mSinTable[i] = std::sin(i * 0.3183098861837907);

    const int tileHeight = ImageHeight(app, IMAGE_WATER1);
    for (int i = 0; i < 2; ++i) {
        mBackLayer[i].mX = 0.0;
        mBackLayer[i].mY = i * tileHeight;
    }
    for (double& layer : mLayerY)
        layer = mHeight;
    mFloorY = mHeight;

    mBackTileHeight = tileHeight;
    mLeadInHeight = ImageHeight(app, IMAGE_TOPBACKGROUND);
    mPlayAreaBottom = app->mHeight - ImageHeight(app, IMAGE_STATUSBARX);

    mDoneImages[0] = app->GetImage(IMAGE_SONAR_SWEEP_0);
    mDoneImages[1] = app->GetImage(IMAGE_SONAR_SWEEP2_0);
    mDoneImages[2] = app->mSonarSweeps.empty() ? nullptr : app->mSonarSweeps.front();
    mDoneImages[3] = app->mSonarSweeps2.empty() ? nullptr : app->mSonarSweeps2.front();

    mAccuracyBadge = new AccuracyBadge();
    mAccuracyBadge->mX = mWidth / 2;
    mAccuracyBadge->mY = mHeight;
}

Board::~Board()
{
    if (mApp->mAmbienceLoop)
        mApp->mAmbienceLoop->Stop();
    // The game-over dialog goes with its board, but only this board's own: after
    // "play again" the next board's dialog holds the same id while this board still
    // waits for its deletion. Its diver tells them apart (it is alive until below).
    if (auto* open = dynamic_cast<GameOverDialog*>(mApp->FindDialog(GAME_OVER_DIALOG));
        open != nullptr && mGameOverDialog != nullptr && open->mPlayer == mPlayer)
        mApp->RemoveDialog(GAME_OVER_DIALOG);
    delete mPlayer;
    DeleteAll(mSharks);
    DeleteAll(mPiranhas);
    DeleteAll(mBubbles);
    DeleteAll(mClams);
    DeleteAll(mDepthMarks);
    delete mHeader;
    delete mAccuracyBadge;
    DeleteAll(mBackgroundFish);
    DeleteAll(mBonusTexts);
    delete mLevelDonePanel;
    // Nothing else holds the jellyfish still in the list: they go with the board.
    DeleteAll(mBonusCreatures);
    // The boss goes while the timers it and its shots reach are still there.
    delete mBoss;
    mBoss = nullptr;
    for (BTTimer* timer : Timers()) {
        if (timer && timer->mWidgetManager)
            timer->mWidgetManager->RemoveWidget(timer);
        delete timer;
    }
}

std::array<BTTimer*, Board::NUM_TIMERS> Board::Timers() const
{
    return {mPauseTimer, mGameClock, mWaveTimer, mWordTimer, mHintTimer, mLastTimer, mMessageTimer, mZapperTimer,
            mTallyTimer};
}

void Board::AddBubble(int x, int y)
{
    auto* bubble = new Bubble(mApp);
    bubble->SetX(x);
    bubble->SetY(y);
    mBubbles.push_back(bubble);
}

void Board::AddBonusText(const std::string& text, int x, int y, Font* font)
{
    auto* bonus = new BonusText(text, font ? font : mApp->mFontUnsteady22);
    bonus->SetX(x);
    bonus->SetY(y);
    mBonusTexts.push_back(bonus);
}

} // namespace Zant
