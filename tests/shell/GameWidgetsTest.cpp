// The game's widgets and first screens driven update by update: tooltip timing, the
// fade button's fade, the title's gold bar and continue button, the menu's welcome.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/play/FadeButton.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/TitleScreen.h"
#include "game/play/TooltipWidget.h"
#include "game/shell/WinBTApp.h"

namespace {

class TextFont : public Zant::Font {
public:
    explicit TextFont(std::vector<std::string>* drawn) : mDrawn(drawn)
    {
        mHeight = 16;
        mAscent = 12;
    }
    int StringWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    void DrawString(Zant::Graphics*, int, int, const std::string& text, const Zant::Color&,
                    const Zant::Rect&) override
    {
        mDrawn->push_back(text);
    }
    Zant::Font* Duplicate() override { return new TextFont(*this); }
    std::vector<std::string>* mDrawn;
};

// One update as the widget manager gives it: the tip's timer, then the tip.
void Tick(Zant::TooltipWidget& tip)
{
    tip.mTimer->Update();
    tip.Update();
}

} // namespace

TEST(TooltipWidget, ShowsAfterItsDelayAndHidesAfterItsDisplayTime)
{
    std::vector<std::string> drawn;
    TextFont font(&drawn);
    Zant::TooltipWidget tip;
    tip.SetText("Quit the game", &font);
    EXPECT_EQ(tip.mWidth, 6 * 13 + 8);
    EXPECT_EQ(tip.mHeight, 12 + 6);

    tip.SetShown(true);
    int shownAt = -1, hiddenAt = -1;
    for (int update = 1; update <= 400; ++update) {
        Tick(tip);
        if (tip.mShowing && shownAt < 0)
            shownAt = update;
        if (!tip.mShowing && shownAt >= 0 && hiddenAt < 0)
            hiddenAt = update;
    }
    EXPECT_EQ(shownAt, 100);
    EXPECT_EQ(hiddenAt, 300);
}

TEST(TooltipWidget, EmptyTextNeverDraws)
{
    Zant::MemoryImage screen;
    screen.Create(100, 40);
    Zant::Graphics g(&screen);
    Zant::TooltipWidget tip;
    tip.Resize(0, 0, 50, 20);
    tip.SetShown(true);
    tip.mShowing = true;
    tip.Draw(&g);
    EXPECT_EQ(screen.GetBits()[0], 0u);
}

TEST(FadeButton, FadeRisesByItsStepAndDisablingHidesTheTooltip)
{
    std::vector<std::string> drawn;
    TextFont font(&drawn);
    Zant::FadeButton button(100, nullptr);
    button.mFadeOnEnter = true;
    button.mTooltip->SetText("Adventure", &font);
    button.MouseEnter();
    EXPECT_EQ(button.mFadeAlpha, 0);
    EXPECT_TRUE(button.mTooltip->mArmed);
    std::vector<int> alphas;
    for (int i = 0; i < 10; ++i) {
        button.Update();
        alphas.push_back(button.mFadeAlpha);
    }
    EXPECT_EQ(alphas, (std::vector<int>{27, 54, 81, 108, 135, 162, 189, 216, 243, 255}));

    button.SetDisabled(true);
    EXPECT_FALSE(button.mTooltip->mArmed);
    EXPECT_FALSE(button.mTooltip->mVisible);

    // Without fade flags nothing fades.
    Zant::FadeButton plain(101, nullptr);
    plain.MouseEnter();
    plain.MouseLeave();
    plain.Update();
    EXPECT_EQ(plain.mFadeAlpha, 255);
}

TEST(TitleScreen, GoldBarFollowsTheProgressAndTheButtonWaitsForTheEnd)
{
    Zant::WinBTApp app;
    app.mWidgetManager = new Zant::WidgetManager(&app);
    Zant::TitleScreen title(&app);
    auto* bar = new Zant::MemoryImage();
    bar->Create(434, 18);
    title.mGoldBarImage = bar;
    EXPECT_EQ(title.GoldBarWidth(0.0), 0);
    EXPECT_EQ(title.GoldBarWidth(0.5), 217);
    EXPECT_EQ(title.GoldBarWidth(1.0), 434);
    EXPECT_EQ(title.GoldBarWidth(307.0 / 311.0), 428);

    app.mWidgetManager->AddWidget(&title);
    EXPECT_FALSE(title.mContinueButton->mVisible);
    EXPECT_TRUE(title.mContinueButton->mDisabled);
    EXPECT_EQ(title.mContinueButton->mX, 200);
    EXPECT_EQ(title.mContinueButton->mY, 432);
    app.mWidgetManager->RemoveWidget(&title);
    delete Zant::gGameRandom;
    Zant::gGameRandom = nullptr;
}

TEST(MenuScreen, WelcomeWithoutAUserNameIsOneLine)
{
    std::vector<std::string> drawn;
    Zant::WinBTApp app;
    app.mFontRockwell13 = new TextFont(&drawn);
    Zant::MenuScreen menu(&app);
    Zant::MemoryImage screen;
    screen.Create(640, 480);
    Zant::Graphics g(&screen);
    menu.Draw(&g);
    EXPECT_EQ(drawn, (std::vector<std::string>{"Welcome to Plindor!"}));
    delete Zant::gGameRandom;
    Zant::gGameRandom = nullptr;
}
