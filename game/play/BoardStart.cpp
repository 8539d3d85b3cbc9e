// Level start: the depth ruler, the floor and scenery positions, the abyss start
// depth and the values a run carries from one level to the next.
#include <cstring>

#include "framework/graphics/Font.h"
#include "framework/graphics/Image.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

void Board::StartLevel(Config* config)
{
    mConfig = config;
    const LevelSettings& settings = config->GetLevelSettings();
    mScrollSpeed = settings.DiverSpeed;
    // Taken from the level's own configuration: the application's may not be loaded
    // yet when the board is built.
    mZapperChargeInterval = config->IsAbyssMode() ? 1250 : 2500;
    if (config->IsAbyssMode()) {
        mPlayer->mLives = 0;
        mPlayer->mNoExtraLives = true;
    }
    mPlayer->SetVelY(1.0);
    mOceanDepth = settings.OceanDepth;

    const int f = mAssets.mFontMyriad12Bold ? mAssets.mFontMyriad12Bold->GetHeight() : 0;
    for (DepthMark* mark : mDepthMarks)
        delete mark;
    mDepthMarks.clear();
    for (int i = 0; i < 60; ++i)
        if (DepthMark* mark = MakeDepthMark(i, f + mLeadInHeight + PIXELS_PER_FOOT * i))
            mDepthMarks.push_back(mark);

    if (mOceanDepth == -1) {
        mFloorY = -1.0;
        for (double& layer : mLayerY)
            layer = -1.0;
    } else {
        Image* floor = mAssets.GetImage(IMAGE_OCEANFLOOR);
        const double d = f + (mOceanDepth * 10 - (floor ? floor->GetHeight() : 0)) + mLeadInHeight;
        mFloorY = d;
        mLayerY[0] = d + 270;
        mLayerY[1] = d + 120;
        mLayerY[2] = d - 30;
    }
}

void Board::SetAbyssDepth(int feet)
{
    mStartDepth = mStageDepth = mAbyssDepth = feet;
    mPlayer->mCharge = ReadAdValue(feet);

    for (DepthMark* mark : mDepthMarks)
        delete mark;
    mDepthMarks.clear();
    double y = 0.0;
    for (int n = feet - 32; n <= feet + 15; ++n, y += PIXELS_PER_FOOT)
        if (DepthMark* mark = MakeDepthMark(n, y))
            mDepthMarks.push_back(mark);

    if (feet > 0 && mConfig)
        for (int i = 0; i < (feet - 1) / 200 + 1; ++i)
            mConfig->NextLevel();
    mScrollDistance = mLeadInHeight + 1;
    if (feet / 1000 > 0) {
        mAbyssBoss += feet / 1000;
        if (feet % 1000 == 0)
            mThousandFeetMark = true;
    }
    StoreAbyssBoss(mAbyssBoss);
}

void Board::SetLevelValues(std::array<int, NUM_LEVEL_RESULTS> values)
{
    double charge = 0.0;
    static_assert(sizeof(charge) == 2 * sizeof(int));
    std::memcpy(&charge, &values[RESULT_CHARGE_LOW], sizeof(charge));
    mPlayer->mCharge = charge;
    mPlayer->mLevelIndex = values[RESULT_LEVEL];
    mPlayer->mLives = values[RESULT_LIVES];
    mAccuracyBadge->mStreak = values[RESULT_ACCURACY_STREAK];
    mPausedTime = values[RESULT_PAUSED_TIME];
    mAccurateLevels = values[RESULT_ACCURATE_LEVELS];
    mPlayer->SetScore(values[RESULT_SCORE]);
    mLevelStartScore = mPlayer->mScore;
    mLevelStartLives = mPlayer->mLives;
}

void Board::GetLevelResults(std::array<int, NUM_LEVEL_RESULTS>& out)
{
    mLevelTime = mGameClock->GetElapsed();
    mLevelResults.fill(0);
    mLevelResults[RESULT_SCORE] = mPlayer->mScore;
    mLevelResults[RESULT_LEVEL] = mPlayer->mLevelIndex;
    std::memcpy(&mLevelResults[RESULT_CHARGE_LOW], &mPlayer->mCharge, sizeof(double));
    mLevelResults[RESULT_LIVES] = mPlayer->mLives;
    mLevelResults[RESULT_ACCURACY_STREAK] = mAccuracyBadge->mStreak;
    mLevelResults[RESULT_ACCURATE_LEVELS] = mAccurateLevels;
    mLevelResults[RESULT_PAUSED_TIME] = mPausedTime;
    mLevelResults[RESULT_PLAY_TIME] = mLevelTime;
    mLevelResults[RESULT_CORRECT_LETTERS] = mAccuracyHits;
    mLevelResults[RESULT_TYPOS] = mAccuracyMisses;
    out = mLevelResults;
}

} // namespace Zant
