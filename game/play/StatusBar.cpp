#include "game/play/StatusBar.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/play/FadeButton.h"
#include "game/play/TooltipWidget.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int IMAGE_STATUSBARMETER = 51;

// One button of the bar: its id, its rectangle's x and width, the x its background
// is cut from, and its over and down images.
struct ButtonSpec {
    int id;
    int x;
    int width;
    int cutX;
    int overImage;
    int downImage;
};
// statusbarX_quit_over 50, _down 49; options 48 / 47; pause 53 / 52.
constexpr ButtonSpec BUTTONS[] = {
    {StatusBar::BUTTON_QUIT, 553, 81, 553, 50, 49},
    {StatusBar::BUTTON_OPTIONS, 467, 81, 466, 48, 47},
    {StatusBar::BUTTON_PAUSE, 380, 82, 380, 53, 52},
};
constexpr int BUTTON_HEIGHT = 30;

} // namespace

StatusBar::StatusBar(BoardHost* app) : mApp(app), mAssets(app->Assets()), mTooltip(new TooltipWidget()) {}

StatusBar::~StatusBar()
{
    for (Image* image : mButtonImages)
        delete image;
    for (FadeButton* button : mButtons)
        delete button;
    delete mTooltip;
}

int StatusBar::ChargeWidth(double charge)
{
    // A charge past full would draw beyond the bar.
    return static_cast<int>(std::clamp(charge, 0.0, 1.0) * BAR_WIDTH);
}

bool StatusBar::BoardPaused() const { return mApp->GetBoard() != nullptr && mApp->GetBoard()->mPaused; }

void StatusBar::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mTooltip->Resize(15, 415, 1, 1);
    mTooltip->SetText("Press ENTER to use Dozav Odaziz when ready", mAssets.mFontRockwell13);
    mTooltip->mShowDelay = TOOLTIP_DELAY;
    manager->AddWidget(mTooltip);
    manager->BringToFront(mTooltip);
    for (size_t i = 0; i < std::size(BUTTONS); ++i) {
        const ButtonSpec& layout = BUTTONS[i];
        if (mButtons[i] == nullptr) {
            auto* button = new FadeButton(layout.id, mApp->Framework());
            const Rect cut(layout.cutX, 4, layout.width, BUTTON_HEIGHT);
            mButtonImages[i] = mApp->Framework()->DuplicateImage(mAssets.GetImage(IMAGE_STATUSBARX), cut);
            button->mButtonImage = mButtonImages[i];
            button->mOverImage = mAssets.GetImage(layout.overImage);
            button->mDownImage = mAssets.GetImage(layout.downImage);
            button->SetHandCursor(true);
            button->Resize(layout.x, mY + 4, layout.width, BUTTON_HEIGHT);
            mButtons[i] = button;
        }
        manager->AddWidget(mButtons[i]);
    }
}

void StatusBar::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (FadeButton* button : mButtons)
        if (button && manager->HasWidget(button))
            manager->RemoveWidget(button);
    if (manager->HasWidget(mTooltip))
        manager->RemoveWidget(mTooltip);
}

void StatusBar::OrderInManagerChanged()
{
    // The buttons stay just over the bar wherever the bar moves in the order.
    if (mWidgetManager == nullptr)
        return;
    for (FadeButton* button : mButtons)
        if (button && mWidgetManager->HasWidget(button))
            mWidgetManager->BringToFront(button);
}

void StatusBar::SetVisible(bool visible)
{
    Widget::SetVisible(visible);
    for (FadeButton* button : mButtons)
        if (button)
            button->SetVisible(visible);
}

void StatusBar::SetDisabled(bool disabled)
{
    Widget::SetDisabled(disabled);
    for (FadeButton* button : mButtons)
        if (button)
            button->SetDisabled(disabled);
}

void StatusBar::RefreshChildStates()
{
    // The buttons follow the bar; a button that is hidden or off keeps no tooltip up.
    for (FadeButton* button : mButtons) {
        if (button == nullptr)
            continue;
        button->SetVisible(mVisible);
        button->SetDisabled(mDisabled);
        if (!mVisible || mDisabled)
            button->mTooltip->SetShown(false);
    }
    MarkDirty();
}

void StatusBar::HideTips()
{
    for (FadeButton* button : mButtons)
        if (button)
            button->mTooltip->SetShown(false);
    mTooltip->SetShown(false);
    MarkDirty();
}

void StatusBar::ShowReadyTip(bool show)
{
    mTooltip->SetShown(show);
    if (show && mWidgetManager && mWidgetManager->HasWidget(mTooltip))
        mWidgetManager->BringToFront(mTooltip);
    MarkDirty();
}

void StatusBar::MouseEnter()
{
    Widget::MouseEnter();
    if (!mTooltip->GetText().empty())
        mTooltip->SetShown(!BoardPaused());
}

void StatusBar::MouseLeave()
{
    Widget::MouseLeave();
    if (!mTooltip->GetText().empty())
        mTooltip->SetShown(false);
}

void StatusBar::Update()
{
    Widget::Update();
    Board* board = mApp->GetBoard();
    Player* player = mApp->GetPlayer();
    if (player == nullptr || board == nullptr)
        return;
    if (player->mCharge >= 1.0 && mUpdateCnt % UPDATES_PER_PROMPT == 0) {
        const int phase = player->mState;
        const bool quiet = phase == Player::BOSS_TALLY || phase == Player::BOSS_FIGHT ||
                           phase == Player::TREASURE_WORD || phase == Player::TALLY ||
                           phase == Player::LEVEL_COMPLETE;
        const bool special = mApp->GetConfig() != nullptr && mApp->GetConfig()->IsSpecialLevel();
        mReadyText = mReadyText == "READY!" && !quiet && !special ? "PRESS ENTER TO FIRE!" : "READY!";
    }
    // A diver whose game is over cannot fire: the call is taken back at once, not
    // left under GAME OVER until its next turn.
    if (player->mState == Player::GAME_OVER)
        mReadyText = "READY!";
    const bool live = !(player->mState == Player::LEVEL_COMPLETE && board->mDoneStep > 16);
    if (!board->mPaused && live)
        MarkDirty();
}

void StatusBar::Draw(Graphics* g)
{
    Player* player = mApp->GetPlayer();
    Board* board = mApp->GetBoard();
    const double charge = player ? player->mCharge : 0.0;
    const int w = ChargeWidth(charge);
    Image* meter = mAssets.GetImage(IMAGE_STATUSBARMETER);
    const int meterHeight = meter ? meter->GetHeight() : 0;
    if (meter)
        g->DrawImage(meter, BAR_X, BAR_Y, Rect(0, 0, w, meterHeight));
    g->SetColor(Color(43, 43, 43));
    g->FillRect(BAR_X + w, BAR_Y, BAR_WIDTH - w, meterHeight);
    if (Image* bar = mAssets.GetImage(IMAGE_STATUSBARX))
        g->DrawImage(bar, 0, 0);
    // Half-white, plain: the meter's fill is deep enough for it to read.
    g->SetColor(Color(255, 255, 255, 128));
    g->SetFont(mAssets.mFont12pt);
    const bool running = board != nullptr && !board->mZapperTimer->mStopped;
    if (!running)
        return;
    if (charge < 1.0)
        g->DrawString("CHARGING", 193, 26);
    else
        g->DrawString(mReadyText, mReadyText == "READY!" ? 204 : 153, 26);
}

} // namespace Zant
