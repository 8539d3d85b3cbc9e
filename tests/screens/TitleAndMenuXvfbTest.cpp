// The title screen while loading and the menu after it, drawn by the game in a real
// X window (a private Xvfb server), read back from the renderer and compared with
// the reference pictures kept beside this test. A failing comparison writes the
// picture taken and a difference picture into the build folder.
#include <gtest/gtest.h>

#include <string>

#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

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
    shoot("menu.png");
}

} // namespace

TEST(TitleAndMenu, ScreensMatchTheirReferencePictures)
{
    const std::string skipped = TestSupport::RunStartingGame("screens", Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
