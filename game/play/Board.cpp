#include "game/play/Board.h"

#include <algorithm>
#include <cmath>

#include "framework/graphics/Font.h"
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
#include "game/common/BTTimer.h"
#include "game/play/BonusText.h"
#include "game/play/Bubble.h"
#include "game/play/Player.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

int ImageHeight(BoardHost* app, int index)
{
    Image* image = app->Assets().GetImage(index);
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

BoardHeader::BoardHeader(Player* player, BoardHost* app) : mPlayer(player), mFont(app->Assets().mFontMyriad14Bold), mApp(app) {}

Board::Board(BoardHost* app) : mApp(app), mAssets(app->Assets())
{
    for (BTTimer** timer : {&mPauseTimer, &mGameClock, &mWaveTimer, &mWordTimer, &mHintTimer, &mLastTimer,
                            &mMessageTimer, &mZapperTimer, &mTallyTimer})
        *timer = new BTTimer();
    mHintTimer->SetDisabled(true);
    mTallyTimer->SetDisabled(true);
    mGameClock->SetDisabled(true);

    mPlayer = new Player(app);
    mLevelStartLives = mPlayer->mLives;
    mHeader = new BoardHeader(mPlayer, app);

    mEffectsOn = app->EffectsOn();
    mZapperChargeInterval = app->GetConfig() && app->GetConfig()->IsAbyssMode() ? 1250 : 2500;
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
    mPlayAreaBottom = app->ScreenHeight() - ImageHeight(app, IMAGE_STATUSBARX);

    mDoneImages[0] = mAssets.GetImage(IMAGE_SONAR_SWEEP_0);
    mDoneImages[1] = mAssets.GetImage(IMAGE_SONAR_SWEEP2_0);
    mDoneImages[2] = mAssets.mSonarSweeps.empty() ? nullptr : mAssets.mSonarSweeps.front();
    mDoneImages[3] = mAssets.mSonarSweeps2.empty() ? nullptr : mAssets.mSonarSweeps2.front();

    mAccuracyBadge = new AccuracyBadge();
    mAccuracyBadge->mX = mWidth / 2;
    mAccuracyBadge->mY = mHeight;
}

Board::~Board()
{
    if (mApp->AmbienceLoop())
        mApp->AmbienceLoop()->Stop();
    // The game-over dialog goes with its board, but only this board's own: after
    // "play again" the next board's dialog holds the same id while this board still
    // waits for its deletion. Its diver tells them apart (it is alive until below).
    if (mGameOverDialog != nullptr)
        mApp->CloseGameOverDialog(mPlayer);
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
    // Orange to red over the sea, the pale rocks by the wreck and the creatures:
    // in a dark rim.
    auto* bonus = new BonusText(text, font ? font : mAssets.OutlinedFont(mAssets.mFontUnsteady22));
    // Shown where they were won, but whole: points won at the field's edge would
    // be cut by it, and those won low hidden by the status bar.
    if (Font* shown = bonus->mFont) {
        x = std::clamp(x, 0, std::max(0, mWidth - shown->StringWidth(text)));
        y = std::clamp(y, HEADER_HEIGHT + shown->GetAscent(), std::max(HEADER_HEIGHT + shown->GetAscent(),
                                                                        mPlayAreaBottom - shown->GetDescent()));
    }
    bonus->SetX(x);
    bonus->SetY(y);
    mBonusTexts.push_back(bonus);
}

} // namespace Zant
