#include "game/play/SimulationRunner.h"

#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

SimulatedLevel PlaySimulatedLevel(WinBTApp& app, int maxUpdates)
{
    SimulatedLevel result;
    Board* const board = app.mBoard;
    while (result.updates < maxUpdates && app.mBoard == board && board != nullptr) {
        app.mWidgetManager->UpdateFrame();
        ++result.updates;
        result.completed = board->mPlayer->mState == Player::LEVEL_COMPLETE;
        result.gameOver = board->mGameOver;
        if (result.completed || result.gameOver)
            break;
    }
    if (app.mBoard == board && board != nullptr) {
        result.score = board->mPlayer->mScore;
        result.lives = board->mPlayer->mLives;
        result.levelIndex = board->mPlayer->mLevelIndex;
    }
    return result;
}

} // namespace Zant
