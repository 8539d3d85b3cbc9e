#include "game/shell/SimulationRunner.h"

#include <string>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

SimulatedLevel PlaySimulatedLevel(WinBTApp& app, int maxUpdates)
{
    SimulatedLevel result;
    Board* const board = app.mBoard;
    if (board == nullptr)
        return result;
    while (result.updates < maxUpdates) {
        result.levelIndex = board->mPlayer->mLevelIndex;
        app.mWidgetManager->UpdateFrame();
        ++result.updates;
        if (app.mBoard != board) {
            // The level's end handed the board back in this update (it is queued for
            // deletion): the map went on to the next level, or game over to the menu.
            // The simulation kept the figures of that moment.
            result.completed = app.mBoard != nullptr;
            result.gameOver = app.mBoard == nullptr;
            result.score = Simulation().mScore;
            result.lives = Simulation().mLives;
            return result;
        }
        result.completed = board->mPlayer->mState == Player::LEVEL_COMPLETE;
        result.gameOver = board->mGameOver;
        if (result.completed || result.gameOver)
            break;
    }
    result.score = board->mPlayer->mScore;
    result.lives = board->mPlayer->mLives;
    result.levelIndex = board->mPlayer->mLevelIndex;
    return result;
}

void DropReplacedBoard(WinBTApp& app, Board*& callersBoard)
{
    if (app.mBoard == callersBoard)
        return;
    callersBoard = nullptr;
    if (app.mBoard != nullptr) {
        app.mWidgetManager->RemoveWidget(app.mBoard);
        delete app.mBoard;
        app.mBoard = nullptr;
    }
    app.FlushWidgetDeletions();
}

bool LoadHeadlessGame(WinBTApp& app)
{
    if (app.mWidgetManager == nullptr)
        app.mWidgetManager = new WidgetManager(&app);
    // The loading procedure brings the fonts, the words, most images and the level
    // checks; the images and fonts that Init loads before it come here.
    app.LoadingProc();
    for (int i = WinBTApp::NUM_LOADED_IMAGES; i < WinBTApp::NUM_IMAGES; ++i)
        if (app.GetImage(i) == nullptr)
            app.SetImage(i, app.LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[i]));
    for (Font** field : {&app.mFontRockwell13, &app.mFontRockwell13Bold}) {
        if (*field != nullptr)
            continue;
        auto* font = new ImageFont(&app, field == &app.mFontRockwell13 ? "data\\Rockwell13.txt" : "data\\Rockwell13Bold.txt");
        *field = font;
        if (!font->IsLoaded())
            return false;
        font->Prepare();
    }
    // The last steps of the loading procedure leave these set only when all went well.
    return app.GetImage(WinBTApp::NUM_LOADED_IMAGES - 1) != nullptr && app.GetImage(WinBTApp::NUM_IMAGES - 1) != nullptr &&
           app.mFontSwiss24 != nullptr;
}

} // namespace Zant
