#include "game/play/BonusText.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"

namespace Zant {

BonusText::BonusText(const std::string& text, Font* font) : mText(text), mFont(font)
{
    mState = 0;
    mVelY = 0.5;
}

void BonusText::Update()
{
    if (mState == DONE)
        return;
    mX += mVelX;
    mY -= mVelY;
    if (mFont != nullptr && (mY < -mFont->GetHeight() || mY - mFont->GetAscent() < mCeiling))
        mState = DONE;
    // One fade step: blue out, then green down to 100, then transparent and red.
    if (mBlue > 0) {
        mBlue = mBlue > 2 ? mBlue - 2 : 0;
    } else if (mGreen > 100) {
        mGreen -= 2;
    } else if (mAlpha > 0) {
        mAlpha = mAlpha > 2 ? mAlpha - 2 : 0;
        mGreen = 0;
    }
    if (mAlpha == 0)
        mState = DONE;
}

void BonusText::Draw(Graphics* g)
{
    if (mState == DONE)
        return;
    g->SetFont(mFont);
    g->SetColor(Color(mRed, mGreen, mBlue, mAlpha));
    g->DrawString(mText, int(mX), int(mY));
}

} // namespace Zant
