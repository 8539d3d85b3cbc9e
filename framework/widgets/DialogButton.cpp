#include "framework/widgets/DialogButton.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

namespace Zant {

namespace {
bool IsEmpty(const Rect& r) { return r.width <= 0 || r.height <= 0; }
} // namespace

DialogButton::DialogButton(Image* componentImage, int id, ButtonListener* listener)
    : ButtonWidget(id, listener), mComponentImage(componentImage)
{
    mDoFinger = true;
    mColors = {Color(255, 255, 255), Color(255, 255, 255)};
}

void DialogButton::Draw(Graphics* g)
{
    if (mBtnNoDraw)
        return;
    const bool down = IsButtonDown() != mInverted;
    const int dx = down ? mTranslateX : 0;
    const int dy = down ? mTranslateY : 0;

    if (mDisabled && mDisabledImage) {
        // Without this a disabled button would look exactly like an enabled one.
        g->DrawImageBox(Rect(0, 0, mWidth, mHeight), mDisabledImage);
    } else if (IsEmpty(mNormalRect)) {
        g->DrawImageBox(Rect(dx, dy, mWidth, mHeight), mComponentImage);
    } else if (mComponentImage) {
        Rect src = mNormalRect;
        if (down && !IsEmpty(mDownRect))
            src = mDownRect;
        else if (!down && mIsOver && !IsEmpty(mOverRect))
            src = mOverRect;
        g->DrawImageBox(src, Rect(0, 0, mWidth, mHeight), mComponentImage);
    }

    if (mLabel.empty())
        return;
    Font* font = CaptionFont(12);
    const int ascent = font->GetAscent();
    const int x = (mWidth - font->StringWidth(mLabel)) / 2 + mTextOffsetX;
    const int y = mTextOffsetY + (mHeight - ascent / 6 - font->GetAscentPadding() - 1 + ascent) / 2;
    g->SetFont(font);
    g->SetColor(mIsOver ? GetColor(1) : GetColor(0));
    g->DrawString(mLabel, x + dx, y + dy);
}

} // namespace Zant
