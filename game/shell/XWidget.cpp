#include "game/shell/XWidget.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/MapScreen.h"
#include "game/play/TooltipWidget.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

XWidget::XWidget(WinBTApp* app, MapScreen* map, Image* image, char letter)
    : mApp(app), mMap(map), mTooltip(new TooltipWidget()), mImage(image), mLetter(letter)
{
    mTooltip->mShowDelay = 0;
    mTooltip->mDisplayTime = 90000;
    mTooltip->SetShown(false);
    mHasTransparencies = true;
    mDoFinger = true;
}

XWidget::~XWidget()
{
    if (mTooltip->mWidgetManager != nullptr)
        mTooltip->mWidgetManager->RemoveWidget(mTooltip);
    delete mTooltip;
}

void XWidget::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mDoFinger = true;
    manager->AddWidget(mTooltip);
    manager->BringToFront(mTooltip);
}

void XWidget::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mTooltip);
}

void XWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    Font* font = mTooltip->mFont;
    if (font == nullptr)
        return;
    const int tipWidth = font->StringWidth(mTooltip->GetText()) + 8;
    int tipX = mX - mWidth / 2;
    if (tipX + tipWidth >= mApp->mWidth)
        tipX = mApp->mWidth - tipWidth;
    else if (tipX < 0)
        tipX = 1;
    mTooltip->Resize(tipX, mY - font->GetHeight() - 4, tipWidth, font->GetAscent() + 6);
}

void XWidget::MouseEnter()
{
    mApp->SelectCursor(1);
    mTooltip->SetShown(true);
}

void XWidget::MouseLeave()
{
    mApp->SelectCursor(0);
    mTooltip->SetShown(false);
}

void XWidget::MouseDown(int x, int y, int clickCount)
{
    mMap->mSiteChosen = true;
    if (mMap->mChosenSite != -1)
        return;
    mAlpha = 255;
    mMap->ShowContinueLink(true);
    mMap->mChosenSite = mSiteNumber;
    mMap->mChosenLetter = mLetter;
    mMap->ChooseSite();
}

void XWidget::Update()
{
    Widget::Update();
    if (!mVisible)
        return;
    if (!mRising) {
        mAlpha -= 2;
        if (mAlpha < 150)
            mRising = true;
    } else {
        mAlpha += 2;
        if (mAlpha > 255) {
            mAlpha = 255;
            mRising = false;
        }
    }
    MarkAllDirty();
}

void XWidget::Draw(Graphics* g)
{
    if (!mVisible || mAlpha <= 0 || mImage == nullptr)
        return;
    if (mAlpha < 255) {
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, mAlpha));
        g->DrawImage(mImage, 0, 0);
        g->SetColorizeImages(false);
    } else {
        g->DrawImage(mImage, 0, 0);
    }
}

} // namespace Zant
