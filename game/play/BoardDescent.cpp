// The descent: the field scrolls while the diver sinks, the depth ruler rolls past
// and sets the depth, the floor and scenery rise on an adventure level, and in the
// abyss the configuration steps its stage every 200 ft and a boss is due every
// 1000 ft.
#include "framework/graphics/Image.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int LABEL_FEET = 20;
constexpr int TICK_FEET = 4;
// The ruler is refilled 60 ft at a time once fewer entries than this remain.
constexpr size_t MIN_MARKS = 15;
constexpr int REFILL_FEET = 63;
constexpr double MARK_GONE_Y = -20.0;
constexpr double DIVER_REST_Y = 235.0;
constexpr int STAGE_FEET = 200;
constexpr int BOSS_FEET = 1000;
constexpr int CHARGE_FEET = 400;

int ImageHeight(BoardHost* app, int index)
{
    Image* image = app->Assets().GetImage(index);
    return image ? image->GetHeight() : 0;
}

} // namespace

DepthMark* Board::MakeDepthMark(int feet, double y)
{
    if (feet % TICK_FEET != 0)
        return nullptr;
    auto* mark = new DepthMark();
    mark->mLabel = feet % LABEL_FEET == 0 ? "- " + std::to_string(feet) : "-";
    mark->mFeet = feet;
    mark->mY = y;
    return mark;
}

void Board::FadeLevelHint()
{
    if (mHintTimer->GetElapsed() > 1999) {
        mHintAlpha -= 3;
        if (mHintAlpha <= 0) {
            mHintAlpha = 0;
            mHintTimer->SetDisabled(true);
        }
    }
}

void Board::UpdateDescent()
{
    const int phase = mPlayer->mState;
    if (!mPlayer->mReadyForWave) {
        if (phase == Player::DESCENDING || phase == Player::BOSS_FIGHT)
            FadeLevelHint();
        return;
    }
    if (!IntroDone()) {
        mPlayer->SetReadyForWave(false);
        return;
    }
    const int panelHeight = ImageHeight(mApp, IMAGE_STATUSBARX);
    // The boss is fought at the floor: the scrolling stops there.
    if (!IsAbyss() && (phase == Player::PLAYING || phase == Player::DESCENDING) && mFloorY <= mHeight - panelHeight &&
        mConfig != nullptr && mConfig->IsLastWaveSpecial() && !mBossDefeated && !mConfig->IsPastFixedLevels())
        mPlayer->SetReadyForWave(false);

    FadeLevelHint();
    mScrollDistance += mScrollSpeed;
    for (BackTile& tile : mBackLayer) {
        tile.mY -= mScrollSpeed;
        if (tile.mY <= -mBackTileHeight)
            tile.mY += 2 * mBackTileHeight;
    }
    ScrollDepthRuler();
    RefillDepthRuler();
    StepFloorOrStage(panelHeight);
}

void Board::ScrollDepthRuler()
{
    const double diverBottom = mPlayer->mY + mPlayer->GetHeight();
    for (size_t i = 0; i < mDepthMarks.size();) {
        DepthMark* mark = mDepthMarks[i];
        mark->mY -= mScrollSpeed;
        if (mark->mY < MARK_GONE_Y) {
            delete mark;
            mDepthMarks.erase(mDepthMarks.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
        if (mark->mY > diverBottom || mark->mFeet <= mAbyssDepth)
            continue;
        mAbyssDepth = mark->mFeet;
        if (mAbyssDepth % BOSS_FEET == 0 && IsAbyss() && mBoss == nullptr && !mThousandFeetMark) {
            mThousandFeetMark = true;
            ++mAbyssBoss;
            StoreAbyssBoss(mAbyssBoss);
        }
        if (mAbyssDepth % CHARGE_FEET == 0) {
            WriteAdValue(mAbyssDepth, mPlayer->mCharge);
            // "Your progress is automatically saved every 400ft": the dive can be
            // resumed from here even if it never ends properly.
            if (IsAbyss())
                SaveAbyssProgress(mAbyssDepth);
        }
    }
}

void Board::RefillDepthRuler()
{
    if (mDepthMarks.size() >= MIN_MARKS)
        return;
    int lastFeet = 0;
    double lastY = 0.0;
    if (mDepthMarks.empty()) {
        // A scroll faster than the ruler is long leaves no entry to follow: the
        // ruler starts again at the depth reached, level with the diver's feet.
        lastFeet = mAbyssDepth - mAbyssDepth % TICK_FEET;
        lastY = mPlayer->mY + mPlayer->GetHeight();
    } else {
        lastFeet = mDepthMarks.back()->mFeet;
        lastY = mDepthMarks.back()->mY;
    }
    for (int feet = lastFeet + TICK_FEET; feet <= lastFeet + REFILL_FEET; ++feet)
        if (DepthMark* mark = MakeDepthMark(feet, lastY + (feet - lastFeet) * PIXELS_PER_FOOT))
            mDepthMarks.push_back(mark);
}

void Board::StepFloorOrStage(int panelHeight)
{
    if (mFloorY == -1.0) {
        if (mStageDepth / STAGE_FEET < mAbyssDepth / STAGE_FEET && mWaveCleared && mConfig != nullptr) {
            mStageDepth = mAbyssDepth;
            mConfig->NextLevel();
            const bool lastStage = mConfig->IsAbyssMode() && mConfig->GetLevel() >= mConfig->GetFixedLevelCount() - 1;
            if (!lastStage)
                mConfig->ChooseNextWave(true);
        }
        return;
    }
    if (mFloorY > mHeight - ImageHeight(mApp, IMAGE_OCEANFLOOR) - panelHeight + 10) {
        mFloorY -= mScrollSpeed;
        if (mLayerY[2] >= mHeight - panelHeight) {
            for (double& layer : mLayerY)
                layer -= mScrollSpeed;
        } else {
            // Near the end the scenery closes in faster, the nearest layer most.
            mLayerY[0] -= 2.0 * mScrollSpeed;
            mLayerY[1] -= 1.8 * mScrollSpeed;
            mLayerY[2] -= 1.6 * mScrollSpeed;
        }
        return;
    }
    const int phase = mPlayer->mState;
    if (phase == Player::PLAYING && mPlayer->mY >= DIVER_REST_Y)
        ReachFloor();
    else if (phase == Player::BOSS_BEATEN && mPlayer->mY >= DIVER_REST_Y)
        EndBossLevel();
    else
        mPlayer->SetReadyForWave(false);
}

void Board::WriteAdValue(int feet, double charge)
{
    // A board without a player's profile (as in the tests) keeps them itself.
    mAdValues[feet] = charge;
    if (mApp->CurrentProfile())
        mApp->CurrentProfile()->WriteAdValue(feet, charge);
}

} // namespace Zant
