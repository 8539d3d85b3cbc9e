// The title screen while loading and the menu after it, drawn by the game in a real
// X window (a private Xvfb server), read back from the renderer and compared with
// the reference pictures kept beside this test. A failing comparison writes the
// picture taken and a difference picture into the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/MapScreen.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// The pixels of the menu above its adventure button that differ from the menu
// picture by more than the display's rounding: nothing of the menu's own lies there.
int MarksAboveTheButtons(const ImageLib::Image& shot, WinBTApp& app)
{
    auto* art = dynamic_cast<MemoryImage*>(app.GetImage(IMAGE_GAMESELECTOR));
    EXPECT_NE(art, nullptr);
    if (art == nullptr)
        return -1;
    const uint32_t* bits = art->GetBits();
    int marks = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 303; x < 613; ++x) {
            const uint32_t drawn = shot.mBits[size_t(y) * shot.mWidth + x];
            const uint32_t wanted = bits[size_t(y) * art->GetWidth() + x];
            for (int shift : {0, 8, 16})
                if (std::abs(int(drawn >> shift & 0xFF) - int(wanted >> shift & 0xFF)) > 6) {
                    ++marks;
                    break;
                }
        }
    return marks;
}

void Scenario(TestSupport::ScreenSession& session, WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;

    // Half way through loading.
    app->mLoadingThreadStarted = true;
    app->mCompletedLoadingThreadTasks = 150;
    shoot("title-loading.png");

    // Loading, then the end of the title as the main thread runs it.
    TestSupport::FinishLoading(*app);
    ASSERT_NE(app->mMenuScreen, nullptr);
    EXPECT_TRUE(session.boxes.shown.empty()) << session.boxes.shown[0].text;
    // The player's data is there: no message opens over the menu.
    EXPECT_EQ(app->FindDialog(500), nullptr);
    EXPECT_EQ(MarksAboveTheButtons(session.DrawFrame(*app, "menu"), *app), 0);
    shoot("menu.png");
}

// A new adventure from the menu, its first level ended: the chart with the next
// sites once its title has slid in.
void MapScenario(TestSupport::ScreenSession&, WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    TestSupport::FinishLoading(*app);
    ASSERT_NE(app->mMenuScreen, nullptr);
    app->ButtonDepress(100);
    ASSERT_NE(app->FindDialog(DifficultyDialog::DIALOG_ID), nullptr);
    app->ButtonDepress(DifficultyDialog::FIRST_BUTTON_ID + 1);
    app->FlushWidgetDeletions();
    ASSERT_NE(app->mBoard, nullptr);
    // The first level's end, as the board calls it.
    app->ShowMapScreen();
    for (int i = 0; i < 60; ++i)
        app->mWidgetManager->UpdateFrame();
    ASSERT_TRUE(app->mMapScreen->mVisible) << "still on the map";
    shoot("map.png");
}

} // namespace

TEST(TitleAndMenu, MapMatchesItsReferencePicture)
{
    const std::string skipped = TestSupport::RunStartingGame("screens", MapScenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(TitleAndMenu, ScreensMatchTheirReferencePictures)
{
    const std::string skipped = TestSupport::RunStartingGame("screens", Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
