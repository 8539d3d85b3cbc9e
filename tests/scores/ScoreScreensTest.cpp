// The high-score and statistics screens without a display: names cut to fit, the
// difficulty column, the tab strip's sizes and clicks, the medal, the secret items
// and the boss counters.
#include <gtest/gtest.h>

#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TutorStatsPanel.h"
#include "tests/profiles/ProfileFixture.h"

using namespace Zant;

namespace {

// 'W' is 10 pixels wide, 'i' one pixel, every other character 5.
class WidthFont : public Font {
public:
    WidthFont()
    {
        mHeight = 16;
        mAscent = 12;
    }
    int StringWidth(const std::string& text) override
    {
        int width = 0;
        for (char c : text)
            width += c == 'W' ? 10 : c == 'i' ? 1 : 5;
        return width;
    }
    Font* Duplicate() override { return new WidthFont(*this); }
};

Image* BlankImage(int width, int height)
{
    auto* image = new MemoryImage();
    image->Create(width, height);
    return image;
}

} // namespace

TEST(HighScoreScreen, NamesWiderThanEightCapitalWAreCut)
{
    WidthFont font;
    const std::pair<std::string, std::string> cases[] = {
        {"WWWWWWWW", "WWWWWWWW"},                  // exactly the limit
        {std::string(16, 'a'), std::string(16, 'a')}, // as wide, other letters
        {"WWWWWWWWi", "WWWWWWW..."},               // one pixel wider
        {std::string(17, 'a'), std::string(15, 'a') + "..."},
        {"Ann", "Ann"},
        {"", ""},
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(HighScoreScreen::FitName(name, &font), shown) << name;
}

TEST(HighScoreScreen, DifficultyColumnShowsOnlyTheFiveDifficulties)
{
    const std::pair<int, const char*> cases[] = {{0, "Easy"}, {1, "Norm"}, {2, "Hard"}, {3, "Exp"},
                                                 {4, "Xtr"},  {5, ""},     {7, ""},     {-1, ""}};
    for (const auto& [difficulty, text] : cases)
        EXPECT_EQ(HighScoreScreen::DifficultyAbbreviation(difficulty), text) << difficulty;
}

TEST(StatsScreen, MedalFollowsTheExpeditionsCompleted)
{
    const std::pair<int, const char*> cases[] = {{0, nullptr},          {1, "medal_bronze"}, {2, "medal_bronze"},
                                                 {3, "medal_silver"},   {4, "medal_silver"}, {5, "medal_gold"},
                                                 {40, "medal_gold"},    {-2, nullptr}};
    for (const auto& [expeditions, medal] : cases)
        EXPECT_EQ(AdventurePanel::MedalImage(expeditions), medal ? KeyboardGuide::ImageIndex(medal) : -1)
            << expeditions;
}

namespace ProfileTests {

class ScoreScreensTest : public ProfileFixture {
protected:
    ScoreScreensTest()
    {
        app->mWidgetManager = new WidgetManager(app.get());
        app->mFontRockwell13 = new WidthFont();
        app->mFontRockwell13Bold = new WidthFont();
        app->mFontMyriad14Bold = new WidthFont();
        app->SetImage(KeyboardGuide::ImageIndex("tab_top"), BlankImage(90, 30));
        app->SetImage(KeyboardGuide::ImageIndex("tab_top_shadow"), BlankImage(90, 30));
        app->mProfileMgr = new UserProfileMgr(app.get());
        profile = new UserProfile(app.get());
        profile->mName = "Ann";
        app->mProfileMgr->AddUserProfile(profile);
        app->mCurProfile = profile;
    }
    UserProfile* profile;
};

TEST_F(ScoreScreensTest, TabsAreAsWideAsTheirTitlesOrTwoThirdsOfTheTabPicture)
{
    TabbedWidget tabs(app.get());
    tabs.mTabImage = app->GetImage(KeyboardGuide::ImageIndex("tab_top"));
    tabs.mFont = app->mFontRockwell13;
    tabs.mTabPadding = 10;
    tabs.mFirstTabX = 16;
    tabs.mTabY = 8;
    struct Case {
        const char* title;
        int width;
    };
    // Two thirds of 90 is 60; padding 10 each side.
    const Case cases[] = {{"Abyss", 80}, {"WWWWWW", 80}, {"WWWWWWWWWW", 120}, {"", 80}};
    std::vector<std::unique_ptr<TabPanel>> panels;
    int x = 16;
    for (const Case& c : cases) {
        panels.push_back(std::make_unique<TabPanel>(app.get()));
        panels.back()->mTitle = c.title;
        tabs.AddTab(panels.back().get());
        EXPECT_EQ(tabs.mTabRects.back(), Rect(x, 8, c.width, 30)) << c.title;
        x += c.width;
    }
}

TEST_F(ScoreScreensTest, ClickingATabShowsItsPanelAndTheSelectedTabChangesNothing)
{
    StatsScreen screen(app.get(), StatsScreen::TAB_ABYSS);
    screen.SetUserProfile(profile);
    screen.Resize(0, 0, 640, 480);
    app->mWidgetManager->AddWidget(&screen);
    TabbedWidget& tabs = *screen.mTabs;
    auto shown = [&]() {
        return std::vector<bool>{screen.mAdventurePanel->mActive, screen.mAbyssPanel->mActive,
                                 screen.mTutorialPanel->mActive};
    };
    ASSERT_EQ(tabs.mSelected, 1);
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(screen.mAbyssPanel->mVisible);
    EXPECT_FALSE(screen.mAdventurePanel->mVisible);

    const Rect abyss = tabs.mTabRects[1];
    tabs.MouseDown(abyss.x + 5, abyss.y + 5, 1);
    EXPECT_EQ(tabs.mSelected, 1);
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false}));

    // Edges count as the tab.
    const Rect tutor = tabs.mTabRects[2];
    tabs.MouseDown(tutor.x + tutor.width, tutor.y + tutor.height, 1);
    EXPECT_EQ(tabs.mSelected, 2);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(screen.mTutorialPanel->mNextButton->mVisible);

    // Below the strip is the panel, not a tab.
    tabs.MouseDown(tabs.mTabRects[0].x + 5, 200, 1);
    EXPECT_EQ(tabs.mSelected, 2);
    tabs.MouseDown(tabs.mTabRects[0].x, tabs.mTabRects[0].y, 1);
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(screen.mTutorialPanel->mNextButton->mVisible);
    app->mWidgetManager->RemoveWidget(&screen);
}

TEST_F(ScoreScreensTest, PanelsShowTheProfilesCounters)
{
    profile->mNumSharksKilled = 41;
    profile->mNumPiranhasKilled = 42;
    profile->mNumBossesKilled = 3;
    profile->mBestTreasureStreak = 9;
    profile->SetCurrentMode(2, 123456, 4);
    profile->mExpeditions = 3;
    profile->mGameTreasures = {1, 0, 2, 0, 0, 7};
    profile->mGameSecretItems = {0, 2, 0, 1};
    profile->mBestDepth = 1850;
    profile->mNumAbyssSharksKilled = 17;
    profile->mNumAbyssPiranhasKilled = 18;
    const std::pair<int, int> bossKills[] = {{12, 1}, {14, 2}, {15, 4}, {16, 8}, {13, 100}};
    for (const auto& [kind, count] : bossKills)
        for (int i = 0; i < count; ++i)
            profile->AddBossKill(kind);
    profile->SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 7777, 2);

    StatsScreen screen(app.get(), StatsScreen::TAB_ADVENTURE);
    screen.SetUserProfile(profile);
    const AdventurePanel& adventure = *screen.mAdventurePanel;
    EXPECT_EQ(adventure.mValues, (std::array<std::string, 5>{"41", "42", "3", "9", "123456"}));
    // The summary line's label is black like every label above it.
    EXPECT_EQ(adventure.mExpeditionsText, "^000000^Number of expeditions completed: ^6E5B2C^3");
    EXPECT_EQ(adventure.mMedal, KeyboardGuide::ImageIndex("medal_silver"));
    EXPECT_EQ(adventure.mGemTexts, (std::array<std::string, 6>{"x1", "x0", "x2", "x0", "x0", "x7"}));
    // Items never found: the question mark and no count.
    EXPECT_EQ(adventure.mSecretTexts, (std::array<std::string, 4>{"", "x2", "", "x1"}));
    const int question = KeyboardGuide::ImageIndex("tab_panel_question");
    EXPECT_EQ(adventure.mSecretImages, (std::array<int, 4>{question, KeyboardGuide::ImageIndex("secret_figurine"),
                                                           question, KeyboardGuide::ImageIndex("secret_scepter")}));

    const AbyssPanel& abyss = *screen.mAbyssPanel;
    EXPECT_EQ(AbyssPanel::BossSum(*profile), 15);
    EXPECT_EQ(abyss.mValues, (std::array<std::string, 4>{"1850", "17", "18", "15"}));
    EXPECT_EQ(abyss.mBestScoreText, "^000000^Highest score obtained: ^6E5B2C^7777");
    // Torpedo boss, ghost ship, mecha squid, mecha shark: the order of their counters.
    EXPECT_EQ(abyss.mBossTexts, (std::array<std::string, 4>{"x1", "x2", "x8", "x4"}));
}

TEST_F(ScoreScreensTest, HighScoreRowsComeFromTheTables)
{
    profile->mName = "WWWWWWWWWW";
    profile->SetCurrentMode(4, 600000, 11);
    ASSERT_EQ(app->mProfileMgr->EnterResult(profile), 0);
    HighScoreScreen screen(app.get(), app->mProfileMgr);
    EXPECT_EQ(screen.mAdventure[0].mName, "WWWWWWW...");
    EXPECT_EQ(screen.mAdventure[0].mValue, "600000");
    EXPECT_EQ(screen.mDifficulty[0], 4);
    EXPECT_EQ(screen.mAdventure[9].mValue, "260000");
    EXPECT_EQ(screen.mAbyss[9].mValue, "650");
}

} // namespace ProfileTests
