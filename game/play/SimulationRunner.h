#pragma once
// Plays the application's board headless, update after update with no pacing, as the
// main loop's logic steps would: the tuning runs and the tests use it.
namespace Zant {

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
// over, the board is gone or maxUpdates have passed.
SimulatedLevel PlaySimulatedLevel(WinBTApp& app, int maxUpdates);

} // namespace Zant
