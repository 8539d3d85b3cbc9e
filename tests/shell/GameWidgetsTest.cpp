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
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "platform/SettingsStore.h"
#include "game/shell/WinBTApp.h"

namespace {

class TextFont : public Zant::Font {
public:
    explicit TextFont(std::vector<std::string>* drawn, std::vector<int>* lefts = nullptr)
        : mDrawn(drawn), mLefts(lefts)
    {
        mHeight = 16;
        mAscent = 12;
    }
    int StringWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    void DrawString(Zant::Graphics*, int x, int, const std::string& text, const Zant::Color&,
                    const Zant::Rect&) override
    {
        mDrawn->push_back(text);
        if (mLefts != nullptr)
            mLefts->push_back(x);
    }
    Zant::Font* Duplicate() override { return new TextFont(*this); }
    std::vector<std::string>* mDrawn;
    std::vector<int>* mLefts;
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

// The welcome plate of the menu picture spans x 26 to 294 (its centre at 160); the
// adventure button starts at x 303.
TEST(MenuScreen, WelcomeLinesStayOnTheirPlateAndTheLinksAreCentredUnderThem)
{
    constexpr int PLATE_LEFT = 32, PLATE_RIGHT = 288, PLATE_CENTRE = 160;
    Platform::SettingsStore store;
    Platform::SetSettingsStore(&store);
    store.CreateKey("SOFTWARE\\Vorlix\\Plindor");
    std::vector<std::string> drawn;
    std::vector<int> lefts;
    Zant::WinBTApp app;
    app.mWidgetManager = new Zant::WidgetManager(&app);
    app.mFontRockwell13 = new TextFont(&drawn, &lefts);
    app.mFontMyriad12Bold = new TextFont(&drawn);
    app.mProfileMgr = new Zant::UserProfileMgr(&app);
    auto* profile = new Zant::UserProfile(&app);
    // As wide as 24 W's in the game's font, the most the name entry takes.
    profile->mName = std::string(50, 'W');
    profile->mUserNumber = 1;
    app.mProfileMgr->AddUserProfile(profile);
    ASSERT_TRUE(app.mProfileMgr->RegisterDefaultUserName(profile->mName));
    Zant::MenuScreen menu(&app);
    app.mWidgetManager->AddWidget(&menu);

    Zant::MemoryImage screen;
    screen.Create(640, 480);
    Zant::Graphics g(&screen);
    menu.Draw(&g);
    ASSERT_EQ(drawn.size(), 2u);
    for (size_t i = 0; i < drawn.size(); ++i) {
        const int right = lefts[i] + 6 * static_cast<int>(drawn[i].size());
        EXPECT_GE(lefts[i], PLATE_LEFT) << drawn[i];
        EXPECT_LE(right, PLATE_RIGHT) << drawn[i];
        EXPECT_LT(right, Zant::MenuScreen::BUTTONS[0].x) << drawn[i];
    }
    EXPECT_EQ(drawn[1].substr(drawn[1].size() - 3), "...") << "a name too long for the plate is cut short";

    for (const Zant::HyperlinkWidget* link : {menu.mChangeUserLink, menu.mStatsLink})
        EXPECT_NEAR(link->mX + link->mWidth / 2.0, PLATE_CENTRE, 1.0) << link->mLabel;

    app.mWidgetManager->RemoveWidget(&menu);
    delete Zant::gGameRandom;
    Zant::gGameRandom = nullptr;
    Platform::SetSettingsStore(nullptr);
}
