#include "tests/bosses/ScreenBoard.h"

#include <gtest/gtest.h>

#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/Config.h"
#include "game/play/StatusBar.h"
#include "game/shell/HintDialog.h"
#include "game/shell/WinBTApp.h"

namespace BossTests {

using namespace Zant;

Board* ShowBoard(WinBTApp& app, const std::string& configText)
{
    app.mConfig = new Config(&app);
    const int loaded = app.mConfig->LoadText(configText, 0, "test.xml");
    EXPECT_EQ(loaded, 0);
    if (loaded != 0)
        return nullptr;
    app.mConfig->ResetWaves(0);

    auto* board = new Board(&app);
    app.mBoard = board;
    board->Resize(0, 0, 640, 480);
    board->StartLevel(app.mConfig);
    auto* bar = new StatusBar(&app);
    const int barHeight = app.GetImage(IMAGE_STATUSBARX)->GetHeight();
    bar->Resize(0, 480 - barHeight, 640, barHeight);
    app.mStatusBar = bar;
    app.mWidgetManager->AddWidget(board);
    app.mWidgetManager->AddWidget(bar);
    return board;
}

void RunAnsweringHints(WinBTApp& app, int updates)
{
    for (int i = 0; i < updates; ++i) {
        app.mWidgetManager->UpdateFrame();
        if (Dialog* hint = app.FindDialog(HintDialog::ID))
            hint->ButtonDepress(HintDialog::ID + Dialog::ID_YES);
    }
}

void RemoveBoard(WinBTApp& app)
{
    app.RemoveDialog(Board::GAME_OVER_DIALOG);
    app.mWidgetManager->RemoveWidget(app.mStatusBar);
    app.mWidgetManager->RemoveWidget(app.mBoard);
    delete app.mStatusBar;
    app.mStatusBar = nullptr;
    delete app.mBoard;
    app.mBoard = nullptr;
    if (app.mConfig)
        app.mConfig->ClearLevels();
    delete app.mConfig;
    app.mConfig = nullptr;
}

} // namespace BossTests
