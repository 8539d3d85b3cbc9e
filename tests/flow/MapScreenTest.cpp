// The dive-site map on its own: courses, lettering, secret detours, the uncharted
// figures and the scroll that must always finish.
#include <gtest/gtest.h>

#include <limits>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/shell/MapScreen.h"
#include "game/shell/XWidget.h"
#include "tests/flow/FlowFixture.h"

using namespace Zant;

namespace FlowTests {

class MapScreenTest : public FlowFixture {
protected:
    MapScreenTest()
    {
        StartProfiles();
        app->mProfileMgr->AddUserProfile(new UserProfile(app.get()));
        app->mCurProfile = app->mProfileMgr->GetProfiles().front();
        app->mCurProfile->mName = "Ann";
        app->mCurProfile->mMapHintShown = true;
        map = new MapScreen(app.get());
        map->Resize(0, 0, 640, 480);
        app->mWidgetManager->AddWidget(map);
        map->SetVisible(true);
        map->SetDisabled(false);
    }
    ~MapScreenTest() override
    {
        app->mWidgetManager->RemoveWidget(map);
        delete map;
    }
    void Chart(int width, int height)
    {
        auto* chart = new MemoryImage();
        chart->Create(width, height);
        app->SetImage(40, chart);
    }
    // Level done at the current site: the map offers the next ones.
    void LevelDone()
    {
        map->RemoveSiteWidgets();
        map->Reset();
        Run(1);
    }

    MapScreen* map = nullptr;
};

TEST_F(MapScreenTest, CoursesHaveOneDotPerEightPixelsAndNoneOnShortLegs)
{
    const auto dots = MapScreen::CourseDots(115, 42, 178, 82);
    ASSERT_EQ(dots.size(), 6u);
    EXPECT_EQ(dots.front(), std::make_pair(129, 50));
    EXPECT_TRUE(MapScreen::CourseDots(0, 0, 31, 0).empty());
}

TEST_F(MapScreenTest, ChestsAreLetteredLeftToRight)
{
    Run(1); // site 0 has one way: site 1
    ASSERT_EQ(map->mChosenSite, 1);
    LevelDone();
    ASSERT_EQ(map->mMarkers.size(), 3u);
    std::map<char, int> byLetter;
    for (XWidget* marker : map->mMarkers)
        byLetter[marker->mLetter] = marker->mSiteNumber;
    EXPECT_EQ(byLetter, (std::map<char, int>{{'A', 6}, {'B', 7}, {'C', 2}}));
    EXPECT_FALSE(map->mSiteChosen);
}

TEST_F(MapScreenTest, ASecretDetourReturnsAndIsNotOfferedAgain)
{
    map->mRoute = {0, 1, 2, 3, 4};
    for (int site : map->mRoute)
        map->mSites[site].mVisited = true;
    LevelDone();
    XWidget* secret = nullptr;
    for (XWidget* marker : map->mMarkers)
        if (marker->mSiteNumber == 5)
            secret = marker;
    ASSERT_NE(secret, nullptr);
    app->mWidgetManager->SetFocus(map);
    app->mWidgetManager->KeyChar(secret->mLetter);
    EXPECT_EQ(map->mChosenSite, 5);
    LevelDone(); // back at 4, whose only way left is 14: taken at once
    EXPECT_EQ(map->mRoute, (std::vector<int>{0, 1, 2, 3, 4, 4, 14}));
    EXPECT_EQ(map->mChosenSite, 14);
    for (XWidget* marker : map->mMarkers)
        EXPECT_NE(marker->mSiteNumber, 5);
}

TEST_F(MapScreenTest, UnchartedBonusAndBlinkFollowDifficultyAndCount)
{
    struct Case {
        int difficulty;
        int count;
        int percent;
        int blink;
    };
    const Case cases[] = {{0, 2, 50, 40}, {1, 1, 22, 50}, {2, 13, 260, 5}, {4, 1, 14, 50}};
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<int>(MapScreen::BonusPercent(c.difficulty, c.count)), c.percent);
        EXPECT_EQ(MapScreen::BlinkInterval(MapScreen::BonusPercent(c.difficulty, c.count)), c.blink);
    }
}

TEST_F(MapScreenTest, TheScrollIntoUnchartedWatersAlwaysFinishesOnce)
{
    for (const int size : {640, 660}) {
        SCOPED_TRACE(size);
        Chart(size, size - 160);
        app->RemoveDialog(500);
        map->mViewX = map->mViewY = 0;
        map->mLostAtSea = false;
        app->mCurProfile->mExpeditionOpen = true;
        const int before = app->mCurProfile->mExpeditions;
        map->SetLostAtSea(true);
        map->SetVisible(true);
        EXPECT_EQ(MessageHeader(), "WARNING!");
        Run(200);
        EXPECT_FALSE(map->mScrolling);
        EXPECT_FALSE(map->mInputLocked);
        EXPECT_EQ(map->mViewX, 640 - size);
        EXPECT_EQ(map->mViewY, 640 - size);
        EXPECT_EQ(app->mCurProfile->mExpeditions, before + 1);
    }
}

// The warning opens with the map over uncharted waters already in view: the chart
// does not go on scrolling behind it.
TEST_F(MapScreenTest, TheLostAtSeaWarningStandsOverTheUnchartedWaters)
{
    Chart(1000, 900);
    app->RemoveDialog(500);
    map->mViewX = map->mViewY = 0;
    map->mLostAtSea = false;
    map->SetLostAtSea(true);
    map->SetVisible(true);
    ASSERT_EQ(MessageHeader(), "WARNING!");
    EXPECT_FALSE(map->mScrolling);
    EXPECT_EQ(map->mViewX, 640 - 1000);
    EXPECT_EQ(map->mViewY, 640 - 1000);
}

// The completed-expeditions count the store held is counted on within an int.
TEST_F(MapScreenTest, TheExpeditionCountGoesOnFromAnyStoredValue)
{
    const int big = std::numeric_limits<int>::max();
    const struct {
        int stored;
        int after;
    } cases[] = {{3, 4}, {-5, 1}, {big - 1, big}, {big, big}};
    Chart(640, 480);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        map->mViewX = map->mViewY = 0;
        map->mLostAtSea = false;
        app->mCurProfile->mExpeditionOpen = true;
        app->mCurProfile->mExpeditions = c.stored;
        map->SetLostAtSea(true);
        Run(1);
        EXPECT_FALSE(map->mScrolling);
        EXPECT_EQ(app->mCurProfile->mExpeditions, c.after);
    }
}

// Out in uncharted waters the chart's compass and rope lie under the panel that
// announces the next level, not over its frame and words.
TEST_F(MapScreenTest, TheUnchartedPanelLiesOverTheChartsOrnament)
{
    constexpr uint32_t ORNAMENT = 0xFFFF00FFu;
    Chart(1000, 900);
    auto* arch = new MemoryImage();
    arch->Create(300, 300);
    std::fill(arch->GetBits(), arch->GetBits() + 300 * 300, ORNAMENT);
    arch->BitsChanged();
    app->SetImage(62, arch);
    app->RemoveDialog(500);
    map->mLostAtSea = false;
    map->SetLostAtSea(true);
    map->SnapView();
    MemoryImage screen;
    screen.Create(640, 480);
    Graphics g(&screen);
    map->Draw(&g);
    // Magenta, give or take the blend's rounding.
    const auto IsOrnament = [](uint32_t c) {
        return (c >> 16 & 0xFF) >= 0xF0 && (c >> 8 & 0xFF) < 0x10 && (c & 0xFF) >= 0xF0;
    };
    const auto onPanel = [](int x, int y) { return x >= 100 && x < 540 && y >= 60 && y < 264; };
    int covered = 0, shown = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (IsOrnament(screen.GetBits()[y * 640 + x]))
                ++(onPanel(x, y) ? covered : shown);
    EXPECT_GT(shown, 0) << "the ornament is drawn";
    EXPECT_EQ(covered, 0) << "the ornament shows on the panel";
}

class MapFlowTest : public FlowFixture {};

// The warning for uncharted waters opens with the map, so that a space typed at once
// answers it instead of starting the next level unseen; it opens once.
TEST_F(MapFlowTest, TheLostAtSeaWarningOpensWithTheMap)
{
    PlayToSiteSixOnHard();
    PlayOnToTheLastSite();
    ASSERT_EQ(app->mConfig->GetLevel(), 35);
    Board* lastCharted = app->mBoard;
    FinishLevel();
    ASSERT_TRUE(Map()->mVisible);
    EXPECT_EQ(MessageHeader(), "WARNING!");

    Run(1);
    Type(" ");
    EXPECT_EQ(Message(), nullptr);
    EXPECT_TRUE(Map()->mVisible);
    EXPECT_EQ(app->mBoard, lastCharted);
    Run(2000);
    EXPECT_EQ(Message(), nullptr);
    Type(" ");
    EXPECT_FALSE(Map()->mVisible);
    EXPECT_NE(app->mBoard, lastCharted);
}

} // namespace FlowTests
