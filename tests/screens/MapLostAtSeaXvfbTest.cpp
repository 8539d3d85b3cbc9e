// The map past the last charted site, in a real X window (a private Xvfb server)
// with the program's own pictures and fonts: the uncharted waters and the panel
// announcing the next level, compared with the reference picture in this folder.
#include <gtest/gtest.h>

#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/MapScreen.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

void Scenario(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    app->mFontRockwell13 = new ImageFont(app, "data/Rockwell13.txt");
    ASSERT_TRUE(static_cast<ImageFont*>(app->mFontRockwell13)->IsLoaded());
    app->mDifficulty = 1;
    auto* map = new MapScreen(app);
    map->Resize(0, 0, 640, 480);
    app->mWidgetManager->AddWidget(map);
    map->SetVisible(true);
    map->mLevelNum = 38;
    map->Reset();
    map->SetLostAtSea(true);
    map->SnapView();
    shoot("map-lost-at-sea.png");
    app->mWidgetManager->RemoveWidget(map);
    delete map;
}

} // namespace

TEST(MapScreenshot, LostAtSea)
{
    const std::string skipped = TestSupport::RunGameScreens("screens", 2026, Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
