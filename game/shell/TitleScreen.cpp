#include "game/shell/TitleScreen.h"

#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

TitleScreen::TitleScreen(WinBTApp* app) : mApp(app), mContinueButton(new ButtonWidget(CONTINUE_ID, app)) {}

TitleScreen::~TitleScreen()
{
    delete mContinueButton->mButtonImage;
    delete mContinueButton->mOverImage;
    delete mContinueButton;
    delete mTitleImage;
    delete mBarAndLogoImage;
    delete mGoldBarImage;
    delete mFont;
}

bool TitleScreen::LoadImages()
{
    mFont = new ImageFont(mApp, "data\\12ptfont.txt");
    mTitleImage = mApp->LoadImageFile("images\\title");
    mBarAndLogoImage = mApp->LoadImageFile("images\\title_bar");
    mGoldBarImage = mApp->LoadImageFile("images\\title_goldbar");
    mContinueButton->mButtonImage = mApp->LoadImageFile("images\\title_continue");
    mContinueButton->mOverImage = mApp->LoadImageFile("images\\title_continue_over");
    if (mTitleImage == nullptr || mBarAndLogoImage == nullptr || mGoldBarImage == nullptr || !mFont->IsLoaded()) {
        mApp->ShowMessage("Could not load title images.");
        mApp->mCloseRequest = true;
        return false;
    }
    mFont->Prepare();
    return true;
}

void TitleScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mContinueButton->SetVisible(false);
    mContinueButton->SetFont(mFont);
    mContinueButton->mHasTransparencies = true;
    mContinueButton->Resize(200, 432, 235, 28);
    manager->AddWidget(mContinueButton);
    mContinueButton->SetHandCursor(true);
    mContinueButton->SetDisabled(true);
}

void TitleScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    manager->RemoveWidget(mContinueButton);
}

int TitleScreen::GoldBarWidth(double progress) const
{
    if (mGoldBarImage == nullptr)
        return 0;
    return static_cast<int>(progress * mGoldBarImage->GetWidth());
}

void TitleScreen::Update()
{
    Widget::Update();
    if (GoldBarWidth(mApp->GetLoadingProgress()) != mDrawnBarWidth)
        MarkDirty();
}

void TitleScreen::Draw(Graphics* g)
{
    if (mTitleImage != nullptr)
        g->DrawImage(mTitleImage, 0, 0);
    if (mBarAndLogoImage != nullptr)
        g->DrawImage(mBarAndLogoImage, 126, 354);
    const int w = GoldBarWidth(mApp->GetLoadingProgress());
    mDrawnBarWidth = w;
    if (w > 0)
        g->DrawImage(mGoldBarImage, 149, 369, Rect(0, 0, w, mGoldBarImage->GetHeight()));
}

} // namespace Zant
