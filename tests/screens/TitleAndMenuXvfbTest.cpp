// The title screen while loading and the menu after it, drawn by the game in a real
// X window (a private Xvfb server), read back from the renderer and compared with
// the reference pictures kept beside this test. A failing comparison writes the
// picture taken and a difference picture into the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/graphics/MemoryImage.h"
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

} // namespace

TEST(TitleAndMenu, ScreensMatchTheirReferencePictures)
{
    const std::string skipped = TestSupport::RunStartingGame("screens", Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
