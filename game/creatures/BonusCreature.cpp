#include "game/creatures/BonusCreature.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

BonusCreature::BonusCreature(CreatureHost* app) : Enemy(app)
{
    mState = RISING;
    mFrameCount = SWIM_CELS;
    mFrame = NextGameRandom() % SWIM_CELS;
    mFrameDelay = 6;
    SetImage(SLOT_SWIM, app->Assets().GetImage(IMAGE_BONUS_CREATURE_SWIM));
    SetImage(SLOT_DEATH, app->Assets().GetImage(IMAGE_BONUS_CREATURE_DEATH));
    SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
    mVelX = 0.0;
    mCurImage = GetImage(SLOT_SWIM);
    mWordFont = app->Assets().GetBonusFont();
    mTypedFont = app->Assets().GetBonusFont();
    mStealthed = false;
    mSrcX = mFrame * mWidth;
}

void BonusCreature::SetVelY(double v)
{
    mVelY = v;
    mDriftSpeed = v * 0.25;
}

void BonusCreature::SetState(int state)
{
    mState = state;
    if (state == DYING) {
        mCurImage = GetImage(SLOT_DEATH);
        mSrcX = 0;
        if (!mZapped)
            mAssets.PlaySound(SOUND_JELLYFISH);
        mFrame = 0;
        mFrameDelay = 3;
        mFrameCount = DEATH_CELS;
        SetFrameSizeFrom(mCurImage, DEATH_CELS);
        // The death strip is wider and taller: keep it centred on the body.
        mX -= 12.0;
        mY -= 20.0;
    } else if (state == RISING) {
        mCurImage = GetImage(SLOT_SWIM);
    }
    mSrcX = mFrame * mWidth;
}

void BonusCreature::Update()
{
    ++mUpdateCount;
    if (!mActive)
        return;
    if (AdvanceCels(DEATH_CELS))
        PushEvent(EVENT_REMOVE_ME);
    mSrcX = mFrame * mWidth;
    mY -= mVelY;
    Image* swim = GetImage(SLOT_SWIM);
    if (mState == RISING && mY < -(swim ? swim->GetHeight() : 0)) {
        // Escaped above the screen: gone without a sound.
        mState = DYING;
        mFrame = 0;
        mDeathAnimDone = true;
        PushEvent(EVENT_DEATH_ANIM_DONE);
        PushEvent(EVENT_REMOVE_ME);
    }
}

void BonusCreature::Draw(Graphics* g)
{
    if (!mActive)
        return;
    GameObject::Draw(g);
    if (mCurImage)
        g->DrawImage(mCurImage, static_cast<int>(mDrawX), static_cast<int>(mDrawY), Rect(mSrcX, 0, mWidth, mHeight));
    if (mState != RISING || IsBoardPaused() || !mWordFont || !mTypedFont)
        return;
    const double cx = mDrawX + mWidth / 2 + 4;
    const int y = static_cast<int>(mDrawY + mHeight / 2 - 14.0);
    const int halfWord = mWordFont->StringWidth(mWord) >> 1;
    if (mTypedCount > 0) {
        const std::string typed = mWord.substr(0, std::min<size_t>(mTypedCount, mWord.size()));
        g->SetFont(mTypedFont);
        g->SetColor(Color(235, 0, 0));
        g->DrawString(typed, static_cast<int>(cx - (mTypedFont->StringWidth(mWord) >> 1) - 5.0), y);
        g->SetFont(mWordFont);
        g->SetColor(Color(0, 0, 0));
        g->DrawString(mWord.substr(typed.size()),
                      static_cast<int>(cx + mWordFont->StringWidth(typed) - halfWord - 5.0), y);
    } else {
        g->SetFont(mWordFont);
        g->SetColor(Color(0, 0, 0));
        g->DrawString(mWord, static_cast<int>(cx - halfWord - 5.0), y);
    }
}

} // namespace Zant
