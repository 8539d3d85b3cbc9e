#include "game/play/FadeButton.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/TooltipWidget.h"

namespace Zant {

FadeButton::FadeButton(int id, ButtonListener* listener) : ButtonWidget(id, listener), mTooltip(new TooltipWidget())
{
}

FadeButton::~FadeButton() { delete mTooltip; }

void FadeButton::AddedToManager(WidgetManager* manager)
{
    ButtonWidget::AddedToManager(manager);
    manager->AddWidget(mTooltip);
    manager->BringToFront(mTooltip);
}

void FadeButton::RemovedFromManager(WidgetManager* manager)
{
    ButtonWidget::RemovedFromManager(manager);
    manager->RemoveWidget(mTooltip);
}

void FadeButton::OrderInManagerChanged()
{
    if (mWidgetManager != nullptr && mWidgetManager->HasWidget(mTooltip))
        mWidgetManager->BringToFront(mTooltip);
}

void FadeButton::PlaceTooltip()
{
    Font* font = mTooltip->mFont;
    if (font == nullptr)
        return;
    mTooltip->Resize(mX - mWidth / 2, mY - font->GetHeight() - 10, font->StringWidth(mTooltip->mText) + 8,
                     font->GetAscent() + 6);
}

void FadeButton::Resize(const Rect& rect)
{
    ButtonWidget::Resize(rect);
    PlaceTooltip();
}

void FadeButton::Resize(int x, int y, int width, int height)
{
    ButtonWidget::Resize(x, y, width, height);
    PlaceTooltip();
}

void FadeButton::SetDisabled(bool disabled)
{
    ButtonWidget::SetDisabled(disabled);
    mTooltip->SetShown(false);
}

void FadeButton::MouseEnter()
{
    ButtonWidget::MouseEnter();
    mFadeAlpha = mFadeOnEnter ? 0 : 255;
    if (!mTooltip->mText.empty())
        mTooltip->SetShown(mShowTooltip);
    mClickedOver = false;
    MarkDirty();
}

void FadeButton::MouseLeave()
{
    ButtonWidget::MouseLeave();
    mFadeAlpha = mFadeOnLeave ? 0 : 255;
    if (!mTooltip->mText.empty())
        mTooltip->SetShown(false);
    MarkDirty();
}

void FadeButton::MouseDown(int x, int y, int clickCount)
{
    ButtonWidget::MouseDown(x, y, clickCount);
    mFadeAlpha = mFadeOnDown ? 0 : 255;
    MarkDirty();
}

void FadeButton::MouseUp(int x, int y)
{
    ButtonWidget::MouseUp(x, y);
    mFadeAlpha = mFadeOnUp ? 0 : 255;
    if (mIsOver)
        mClickedOver = true;
    MarkDirty();
}

void FadeButton::AdvanceFade()
{
    if (mFadeInterval > 0 && mUpdateCnt % mFadeInterval != 0)
        return;
    mFadeAlpha = std::min(255, mFadeAlpha + mFadeStep);
}

void FadeButton::Update()
{
    ButtonWidget::Update();
    if (mIsOver || (mFadeOnLeave && mFadeAlpha > 0 && mFadeAlpha < 255))
        MarkAllDirty();
    if (mDisabled)
        return;
    if (mIsOver && !mIsDown && (mFadeOnEnter || mFadeOnUp))
        AdvanceFade();
    else if (mIsDown && mFadeOnDown)
        AdvanceFade();
    else if (!mIsOver && mFadeOnLeave)
        AdvanceFade();
}

void FadeButton::DrawFaded(Graphics* g, Image* image)
{
    if (mFadeAlpha < 255) {
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, mFadeAlpha));
        g->DrawImage(image, 0, 0);
        g->SetColorizeImages(false);
    } else {
        g->DrawImage(image, 0, 0);
    }
}

void FadeButton::Draw(Graphics* g)
{
    if (mBtnNoDraw)
        return;
    // A label without a font gets the stock caption font.
    Font* font = mLabel.empty() ? mFont : CaptionFont(10);
    const bool pressed = (mIsDown && mIsOver && !mDisabled) != mInverted;

    const bool stock = mButtonImage == nullptr && mDownImage == nullptr;
    if (stock) {
        DrawStock(g, pressed);
    } else if (pressed) {
        if (mDownImage != nullptr) {
            if (mFadeAlpha < 255 && mOverImage != nullptr)
                g->DrawImage(mOverImage, 0, 0);
            DrawFaded(g, mDownImage);
        } else {
            DrawFaded(g, mButtonImage);
        }
    } else if (mDisabled && mDisabledImage != nullptr) {
        g->DrawImage(mDisabledImage, 0, 0);
    } else if ((mIsOver || mIsDown) && mOverImage != nullptr) {
        if (mFadeAlpha < 255 && (mClickedOver || mIsDown) && mDownImage != nullptr)
            g->DrawImage(mDownImage, 0, 0);
        DrawFaded(g, mOverImage);
    } else if (mButtonImage != nullptr) {
        if (mFadeAlpha < 255 && mOverImage != nullptr)
            g->DrawImage(mOverImage, 0, 0);
        DrawFaded(g, mButtonImage);
    }

    if (font != nullptr && !mLabel.empty()) {
        const int ascent = font->GetAscent();
        int x = (mWidth - font->StringWidth(mLabel)) / 2;
        int y = (mHeight - ascent / 6 + ascent - 1) / 2;
        if (pressed) {
            ++x;
            ++y;
        }
        g->SetFont(font);
        g->SetColor(stock ? Color(0, 0, 0) : GetColor(0));
        g->DrawString(mLabel, x, y);
    }
}

} // namespace Zant
