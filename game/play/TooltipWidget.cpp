#include "game/play/TooltipWidget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"

namespace Zant {

TooltipWidget::TooltipWidget() : mTimer(new BTTimer())
{
    mTimer->Reset();
    mTimer->SetDisabled(true);
}

TooltipWidget::~TooltipWidget() { delete mTimer; }

void TooltipWidget::SetText(const std::string& text, Font* font)
{
    mText = text;
    mFont = font;
    if (font != nullptr)
        Resize(mX, mY, font->StringWidth(text) + 8, font->GetAscent() + 6);
}

void TooltipWidget::SetShown(bool shown)
{
    mShowing = false;
    if (shown) {
        mTimer->SetDisabled(false);
        mTimer->Reset();
        mInDisplayTime = false;
        SetDisabled(false);
        mArmed = true;
        SetVisible(true);
    } else {
        mTimer->SetDisabled(true);
        mArmed = false;
        SetVisible(false);
        SetDisabled(true);
    }
}

void TooltipWidget::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    manager->AddWidget(mTimer);
}

void TooltipWidget::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mTimer);
}

void TooltipWidget::Update()
{
    Widget::Update();
    bool justShown = false;
    if (mArmed && !mInDisplayTime && !mShowing) {
        if (mTimer->GetElapsed() < mShowDelay)
            return;
        mShowing = true;
        mInDisplayTime = true;
        mTimer->Reset();
        justShown = true;
    }
    if (!justShown) {
        if (!mShowing)
            return;
        if (mInDisplayTime && mTimer->GetElapsed() >= mDisplayTime) {
            mShowing = false;
            mInDisplayTime = false;
            mTimer->SetDisabled(true);
        }
    }
    // Redrawn every update while shown (and once more as it goes).
    MarkDirty();
}

void TooltipWidget::Draw(Graphics* g)
{
    if (mText.empty() || !mShowing || !mVisible || mDisabled || mFont == nullptr)
        return;
    g->SetColor(Color(0, 0, 0));
    g->FillRect(0, 0, mWidth, mHeight);
    g->SetColor(mBackColor);
    g->FillRect(1, 1, mWidth - 2, mHeight - 2);
    g->SetFont(mFont);
    g->SetColor(mTextColor);
    g->DrawString(mText, 3, mFont->GetAscent());
}

} // namespace Zant
