#include "game/play/BonusText.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "game/play/GlassPlate.h"

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
    // The points float over whatever the sea shows there, the pale water by the
    // wreck among it: they ride on a small glass plate that fades with them.
    if (mFont != nullptr) {
        const int top = int(mY) - mFont->GetAscent() - PLATE_PAD_Y;
        DrawGlassPlate(g,
                       Rect(int(mX) - PLATE_PAD_X / 2, top, mFont->StringWidth(mText) + PLATE_PAD_X,
                            int(mY) + mFont->GetDescent() + PLATE_PAD_Y - top),
                       mAlpha);
    }
    g->SetFont(mFont);
    g->SetColor(Color(mRed, mGreen, mBlue, mAlpha));
    g->DrawString(mText, int(mX), int(mY));
}

} // namespace Zant
