// The title screen while loading and the menu after it, drawn by the game in a real
// X window (a private Xvfb server), read back from the renderer and compared with
// the reference pictures kept beside this test. A failing comparison writes the
// picture taken and a difference picture into the build folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/TitleScreen.h"
#include "game/shell/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// Per channel: the display's rounding; pixels: a few edge pixels of scaled text.
constexpr int CHANNEL_TOLERANCE = 6;
constexpr int MAX_DIFFERENT_PIXELS = 200;

void Scenario(TestSupport::ScreenSession& session, WinBTApp& game)
{
    WinBTApp* app = &game;
    const TestSupport::Reference reference{"screens", CHANNEL_TOLERANCE, MAX_DIFFERENT_PIXELS};
    auto shoot = [&](const char* name) {
        TestSupport::ExpectMatchesReference(session.DrawFrame(*app, name), reference, name);
    };

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
    const std::string skipped = TestSupport::RunStartingGame(Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
