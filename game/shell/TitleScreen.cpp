#include "game/shell/TitleScreen.h"

#include <string>

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
    // The first needed file that did not load is named.
    const char* missing = nullptr;
    auto needed = [&](const char* path, bool loaded) {
        if (!loaded && missing == nullptr)
            missing = path;
    };
    const char* const FONT_FILE = "data\\12ptfont.txt";
    mFont = new ImageFont(mApp, FONT_FILE);
    auto image = [&](const char* path) {
        DDImage* loaded = mApp->LoadImageFile(path);
        needed(path, loaded != nullptr);
        return loaded;
    };
    mTitleImage = image("images\\title");
    mBarAndLogoImage = image("images\\title_bar");
    mGoldBarImage = image("images\\title_goldbar");
    needed(FONT_FILE, mFont->IsLoaded());
    mContinueButton->mButtonImage = mApp->LoadImageFile("images\\title_continue");
    mContinueButton->mOverImage = mApp->LoadImageFile("images\\title_continue_over");
    if (missing != nullptr) {
        mApp->ShowMessage(std::string("Could not load title images. ") + missing);
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
