#pragma once
// Plays the application's board headless, update after update with no pacing, as the
// main loop's logic steps would: the tuning runs and the tests use it.
namespace Zant {

class Board;
class WinBTApp;

struct SimulatedLevel {
    int updates = 0;
    bool completed = false;
    bool gameOver = false;
    // The board's figures when the run stopped.
    int score = 0;
    int lives = 0;
    int levelIndex = 0;
};

// Runs the widget manager's updates until the board's level is complete, the game is
// over, the board is gone or maxUpdates have passed. In simulation mode a completed
// level goes on to the map's next site within the same update: the board is then
// the application's no longer, and the caller must not delete it.
SimulatedLevel PlaySimulatedLevel(WinBTApp& app, int maxUpdates);

// After PlaySimulatedLevel: when the application replaced the caller's board (it
// queued that one for deletion), the caller forgets it and the new board is dropped.
void DropReplacedBoard(WinBTApp& app, Board*& callersBoard);

// Loads what a game needs from the working folder (the program folder): images,
// fonts, words, and a check of every level file, as start-up does but with no window
// and no sound. False when something is missing.
bool LoadHeadlessGame(WinBTApp& app);

} // namespace Zant
