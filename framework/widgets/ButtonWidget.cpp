#include "framework/widgets/ButtonWidget.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/ControlFont.h"

namespace Zant {

namespace {
constexpr Color kFace(212, 212, 212);
constexpr Color kShadow(132, 132, 132);
constexpr Color kLight(255, 255, 255);
constexpr Color kDark(0, 0, 0);
} // namespace

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mButtonListener(listener)
{
    mColors = {Color(0, 0, 0), Color(0, 0, 0)};
}

ButtonWidget::~ButtonWidget() { delete mFont; }

void ButtonWidget::SetFont(Font* font)
{
    delete mFont;
    mFont = font ? font->Duplicate() : nullptr;
}

bool ButtonWidget::IsButtonDown() { return mIsDown && mIsOver && !mDisabled; }

Font* ButtonWidget::CaptionFont(int defaultPointSize)
{
    if (!mFont)
        mFont = CreateControlFont(defaultPointSize);
    return mFont;
}

bool ButtonWidget::LooksTheSameOver()
{
    return !mIsDown && !mOverImage && GetColor(0) == GetColor(1);
}

void ButtonWidget::SetDisabled(bool disabled)
{
    Widget::SetDisabled(disabled);
    if (mDisabledImage)
        MarkDirty();
}

void ButtonWidget::MouseEnter()
{
    Widget::MouseEnter();
    mOverAlpha = 1.0;
    if (!LooksTheSameOver())
        MarkAllDirty();
}

void ButtonWidget::MouseLeave()
{
    Widget::MouseLeave();
    mOverAlpha = 1.0;
    if (!LooksTheSameOver())
        MarkAllDirty();
}

void ButtonWidget::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    if (!mDisabled && mButtonListener)
        mButtonListener->ButtonPress(mId, clickCount);
    MarkAllDirty();
}

void ButtonWidget::MouseUp(int x, int y)
{
    Widget::MouseUp(x, y);
    // A release away from the button takes the press back.
    if (mIsOver && !mDisabled && mButtonListener)
        mButtonListener->ButtonDepress(mId);
    MarkAllDirty();
}

void ButtonWidget::Update()
{
    Widget::Update();
    if (mIsDown) {
        if (mIsOver && !mDisabled && mButtonListener)
            mButtonListener->ButtonDownTick(mId);
        return;
    }
    if (!mIsOver && mOverAlpha > 0) {
        mOverAlpha = std::max(0.0, mOverAlpha - mOverAlphaSpeed);
        MarkDirty();
    }
}

void ButtonWidget::DrawStock(Graphics* g, bool down)
{
    const int w = mWidth, h = mHeight;
    g->SetColor(kFace);
    g->FillRect(0, 0, w, h);
    if (!down) {
        g->SetColor(kLight);
        g->FillRect(0, 0, w - 1, 1);
        g->FillRect(0, 0, 1, h - 1);
        g->SetColor(kDark);
        g->FillRect(0, h - 1, w, 1);
        g->FillRect(w - 1, 0, 1, h);
        g->SetColor(kShadow);
        g->FillRect(1, h - 2, w - 2, 1);
        g->FillRect(w - 2, 1, 1, h - 2);
    } else {
        g->SetColor(kDark);
        g->FillRect(0, 0, w - 1, 1);
        g->FillRect(0, 0, 1, h - 1);
        g->SetColor(kLight);
        g->FillRect(0, h - 1, w, 1);
        g->FillRect(w - 1, 0, 1, h);
        g->SetColor(kShadow);
        g->FillRect(1, 1, w - 3, 1);
        g->FillRect(1, 1, 1, h - 3);
    }
}

void ButtonWidget::Draw(Graphics* g)
{
    if (mBtnNoDraw)
        return;
    const bool down = IsButtonDown() != mInverted;
    Color captionColor = mIsOver ? GetColor(1) : GetColor(0);
    int shift = 0;

    if (!mButtonImage && !mDownImage) {
        DrawStock(g, down);
        if (down) {
            captionColor = kDark;
            shift = 1;
        }
    } else if (!down) {
        if (mDisabled && mDisabledImage) {
            g->DrawImage(mDisabledImage, 0, 0);
        } else if ((mIsOver || mIsDown) && mOverImage) {
            g->DrawImage(mOverImage, 0, 0);
        } else if (mOverAlpha > 0 && mOverImage) {
            if (mButtonImage)
                g->DrawImage(mButtonImage, 0, 0);
            // The over image fades out as a white-tinted copy of falling alpha.
            Graphics fade(*g);
            fade.SetColorizeImages(true);
            fade.SetColor(Color(255, 255, 255, static_cast<int>(mOverAlpha * 255.0)));
            fade.DrawImage(mOverImage, 0, 0);
        } else if (mButtonImage) {
            g->DrawImage(mButtonImage, 0, 0);
        }
    } else {
        if (mDownImage)
            g->DrawImage(mDownImage, 0, 0);
        else if (mOverImage)
            g->DrawImage(mOverImage, 1, 1);
        else if (mButtonImage)
            g->DrawImage(mButtonImage, 1, 1);
        captionColor = GetColor(1);
        shift = 1;
    }

    if (mLabel.empty())
        return;
    Font* font = CaptionFont(10);
    const int ascent = font->GetAscent();
    const int x = (mWidth - font->StringWidth(mLabel)) / 2;
    const int y = (mHeight - ascent / 6 - 1 + ascent) / 2;
    g->SetFont(font);
    g->SetColor(captionColor);
    g->DrawString(mLabel, x + shift, y + shift);
}

} // namespace Zant
