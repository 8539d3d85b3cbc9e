#include "game/creatures/Clam.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

Clam::Clam(CreatureHost* app, int content) : Enemy(app), mContent(content)
{
    switch (content) {
    case 0:
        mContentRow = 2;
        break;
    case 1:
        mContentRow = 1;
        break;
    case 2:
        mContentRow = 3;
        break;
    default:
        break;
    }
    mState = IDLE;
    mFrameDelay = 4;
    mFrameCount = COLUMNS;
    mFrame = NextGameRandom() % COLUMNS;
    Image* clams = app->Assets().GetImage(IMAGE_CLAMS);
    if (clams) {
        mWidth = clams->GetWidth() / COLUMNS;
        mHeight = clams->GetHeight() / ROWS;
    }
    for (int slot = 0; slot < IMAGE_SLOTS; ++slot)
        SetImage(slot, clams);
    mCurImage = clams;
    mWordColor = Color(255, 255, 255);
    mWordFont = app->Assets().GetClamFont();
}

void Clam::SetState(int state)
{
    mState = state;
    if (state == OPENING) {
        mFrame = 0;
        mPingUp = true;
        if (mContent != 0)
            PushEvent(EVENT_CLAM_OPENING);
    } else if (state == CLOSING) {
        mOpened = false;
        mPingUp = false;
    }
}

void Clam::Update()
{
    Enemy::Update();
    if (mFrameDelay <= 0 || mUpdateCount % mFrameDelay != 0)
        return;
    switch (mState) {
    case OPENING:
        if (!mOpened && ++mFrame >= mFrameCount) {
            mFrame = mFrameCount - 1;
            mOpened = true;
            PushEvent(EVENT_CLAM_OPENED);
        }
        break;
    case CLOSING:
        // Reported at every step until the board moves the clam on.
        if (--mFrame < 0) {
            mFrame = 0;
            PushEvent(EVENT_CLAM_CLOSED);
        }
        break;
    case IDLE:
    case OPEN:
    case SHOWING_LETTER:
        // Back and forth over the row.
        if (!mPingUp) {
            if (--mFrame < 0) {
                mFrame = 1;
                mPingUp = true;
            }
        } else if (++mFrame >= mFrameCount) {
            mFrame = mFrameCount - 2;
            mPingUp = false;
        }
        break;
    default:
        break;
    }
}

void Clam::Draw(Graphics* g)
{
    if (mState < IDLE || mState > SHOWING_LETTER)
        return;
    Image* image = GetImage(mState);
    const int row = mState == IDLE || mState == SHOWING_LETTER ? 0 : mContentRow;
    const int x = static_cast<int>(mX);
    const int y = static_cast<int>(mY);
    if (image)
        g->DrawImage(image, x, y, Rect(mFrame * mWidth, row * mHeight, mWidth, mHeight));
    // Hidden while the game is paused, as every creature's word is.
    if (mState == SHOWING_LETTER && mWordFont && !IsBoardPaused()) {
        g->SetFont(mWordFont);
        g->SetColor(mWordColor);
        g->DrawString(mWord, static_cast<int>(mX + 20.0), static_cast<int>(mY + 41.0));
    }
}

} // namespace Zant
