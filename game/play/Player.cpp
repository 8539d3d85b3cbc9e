#include "game/play/Player.h"

#include <iterator>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/play/Board.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int DIVER_WIDTH = 50;
constexpr int RUMBLE_CELS = 7;
constexpr int HOSE_CEL_WIDTH = 9;
constexpr int HOSE_FRAMES = 8;
constexpr double READY_Y = 235.0;
constexpr double SINK_LIMIT_Y = 325.0;

// Extra-life schedules: the listed thresholds, then a fixed step.
struct LifeSchedule {
    int thresholds[3];
    int count;
    int step;
};

constexpr LifeSchedule SCHEDULES[] = {
    {{450000, 625000, 0}, 2, 400000},
    {{525000, 775000, 1150000}, 3, 600000},
    {{650000, 900000, 1550000}, 3, 800000},
    {{700000, 1250000, 1750000}, 3, 1500000},
    {{900000, 1500000, 2000000}, 3, 2000000},
};

} // namespace

int Player::NextExtraLifeAfter(int difficulty, int threshold)
{
    if (difficulty < 0 || difficulty >= int(std::size(SCHEDULES)))
        return 0;
    const LifeSchedule& s = SCHEDULES[difficulty];
    for (int i = 0; i < s.count; ++i)
        if (s.thresholds[i] > threshold)
            return s.thresholds[i];
    const int last = s.thresholds[s.count - 1];
    // The first step past threshold on the fixed-step tail.
    const long long steps = (static_cast<long long>(threshold) - last) / s.step + 1;
    const long long next = last + steps * s.step;
    return next > 2147483647LL ? 2147483647 : static_cast<int>(next);
}

Player::Player(BoardHost* app) : mApp(app)
{
    mActive = true;
    mVelY = 1.0;
    mX = 30.0;
    mState = DESCENDING;
    mWidth = DIVER_WIDTH;
    mHeight = AppImageHeight(IMAGE_DIVER_IDLE);
    mFrameCount = 8;
    mFrameDelay = 25;
    mBeamX = mX + 50.0;
    mDifficulty = app ? app->Difficulty() : 0;
    if (app)
        app->PlaySong(0);
    mNextExtraLife = FirstExtraLife(mDifficulty);
}

Image* Player::AppImage(int index) const { return mApp ? mApp->Assets().GetImage(index) : nullptr; }

int Player::AppImageHeight(int index) const
{
    Image* image = AppImage(index);
    return image ? image->GetHeight() : 0;
}

void Player::AddScore(int points)
{
    mScore += points;
    if (mNoExtraLives)
        return;
    // A difficulty without a schedule has no threshold: no lives to give.
    if (mNextExtraLife <= 0 || mScore < mNextExtraLife)
        return;
    ++mLives;
    mExtraLifeEarned = true;
    mNextExtraLife = NextExtraLifeAfter(mDifficulty, mNextExtraLife);
}

void Player::SetScore(int score)
{
    mScore = score;
    mNextExtraLife = NextExtraLifeAfter(mDifficulty, score);
}

void Player::SetState(int state)
{
    const double drop = mState == FLOOR_REACHED ? 0.0 : 25.0;
    mState = state;
    switch (state) {
    case FLOOR_REACHED:
        mReadyForWave = false;
        break;
    case DESCENDING:
        if (mApp)
            mApp->Assets().PlaySound(SOUND_DIVERENTERS);
        mX = 30.0;
        mY = 0.0;
        mHoseFrame = 0;
        mBaseY = 0.0;
        mFrameCount = 8;
        mFrameDelay = 22;
        mWidth = DIVER_WIDTH;
        mHeight = AppImageHeight(IMAGE_DIVER_IDLE);
        break;
    case EATEN: {
        mFrameDelay = 4;
        mY -= drop;
        mDeathCycles = 0;
        mX = -25.0;
        mFrame = 0;
        mAlpha = 255;
        Image* cloud = AppImage(IMAGE_RUMBLECLOUD);
        mWidth = cloud ? cloud->GetWidth() / RUMBLE_CELS : 0;
        mHeight = cloud ? cloud->GetHeight() : 0;
        mFrameCount = RUMBLE_CELS;
        break;
    }
    case RISING: {
        Image* beaten = AppImage(IMAGE_DIVER_BEATEN);
        mWidth = beaten ? beaten->GetWidth() : 0;
        mHeight = beaten ? beaten->GetHeight() : 0;
        mY = mBaseY;
        mX = 21.0;
        if (mApp && (!mApp->GetBoard() || !mApp->GetBoard()->mBoss))
            mApp->PlaySong(0);
        break;
    }
    case HIT_BY_SHOT:
        mX = 21.0;
        break;
    case TALLY:
    case BOSS_BEATEN:
        if (mApp)
            mApp->PlaySong(46);
        break;
    default:
        break;
    }
}

void Player::Update()
{
    if (mState == GAME_OVER)
        return;
    ++mUpdateCount;

    const bool still = mState == FLOOR_REACHED || mState == TREASURE_WORD || mState == TALLY ||
                       mState == LEVEL_COMPLETE || mState == BOSS_BEATEN || mState == BOSS_TALLY;
    if (mFrameDelay > 0 && mUpdateCount % mFrameDelay == 0 && !still) {
        if (++mFrame >= mFrameCount) {
            mFrame = 0;
            if (mState == EATEN)
                ++mDeathCycles;
        }
    }

    if (mUpdateCount % 22 == 0) {
        if (mHoseRising) {
            if (++mHoseFrame >= HOSE_FRAMES) {
                mHoseFrame = HOSE_FRAMES - 2;
                mHoseRising = false;
            }
        } else if (--mHoseFrame < 0) {
            mHoseFrame = 1;
            mHoseRising = true;
        }
    }

    switch (mState) {
    case DESCENDING:
        mBaseY = mY;
        if (mY >= READY_Y) {
            mReadyForWave = true;
            SetState(PLAYING);
        } else {
            mY += mY <= AppImageHeight(IMAGE_TOPBACKGROUND) ? 2.0 : 1.0;
        }
        break;
    case EATEN:
        if (mDeathCycles >= 4) {
            mAlpha = mAlpha > 8 ? mAlpha - 8 : 0;
            if (mAlpha <= 128)
                SetState(RISING);
        }
        break;
    case RISING:
        mAlpha = mAlpha > 8 ? mAlpha - 8 : 0;
        mBaseY -= mVelY;
        mY = mBaseY;
        break;
    case FLOOR_REACHED:
    case BOSS_TALLY:
        if (mY < SINK_LIMIT_Y) {
            mY += 0.5;
            mBaseY += 0.5;
        }
        break;
    default:
        break;
    }

    if (mZapperFiring) {
        mBeamX += 10.0;
        const int width = mApp ? mApp->ScreenWidth() : 640;
        if (mBeamX >= width) {
            mZapperFiring = false;
            // Back in front of the diver, ready for the next shot.
            mBeamX = mWidth + mX;
        }
    }
}

void Player::Draw(Graphics* g)
{
    if (mState == GAME_OVER)
        return;
    GameObject::Draw(g);
    if (!mActive)
        return;

    if (Image* hose = AppImage(IMAGE_UPPER_HOSE)) {
        const int h = hose->GetHeight();
        const Rect cel(HOSE_CEL_WIDTH * mHoseFrame, 0, HOSE_CEL_WIDTH, h);
        g->DrawImage(hose, 40, int(mBaseY - h + 3), cel);
        g->DrawImage(hose, 40, int(mBaseY - 2 * h + 3), cel);
    }

    const int x = int(mDrawX);
    const int y = int(mDrawY);
    if (mState == EATEN) {
        if (Image* beaten = AppImage(IMAGE_DIVER_BEATEN))
            g->DrawImage(beaten, int(mDrawX + 48), int(mDrawY + 5));
        if (Image* cloud = AppImage(IMAGE_RUMBLECLOUD)) {
            const bool colorize = g->GetColorizeImages();
            const Color color = g->GetColor();
            g->SetColorizeImages(true);
            g->SetColor(Color(255, 255, 255, mAlpha));
            g->DrawImage(cloud, x, y, Rect(mFrame * mWidth, 0, mWidth, mHeight));
            g->SetColorizeImages(colorize);
            g->SetColor(color);
        }
    } else if (mState == RISING || mState == HIT_BY_SHOT) {
        if (Image* beaten = AppImage(IMAGE_DIVER_BEATEN))
            g->DrawImage(beaten, x, y);
    } else if (Image* diver = AppImage(IMAGE_DIVER_IDLE)) {
        g->DrawImage(diver, x, y, Rect(mFrame * mWidth, 0, mWidth, mHeight));
    }

    if (mZapperFiring)
        if (Image* beam = AppImage(IMAGE_EMPWAVE))
            g->DrawImage(beam, int(mBeamX), 0);
}

} // namespace Zant
