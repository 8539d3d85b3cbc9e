#pragma once
// A level on screen for the Xvfb pictures: the board over the window with the status
// bar under it, driven by the widget manager with the level's hints answered.
#include <string>

namespace Zant {
class Board;
class WinBTApp;
} // namespace Zant

namespace BossTests {

// Loads the configuration text and shows a board on its first level with the status
// bar; null (with a failure) when the text does not load.
Zant::Board* ShowBoard(Zant::WinBTApp& app, const std::string& configText);
// Runs the widget manager, answering a hint dialog as soon as it shows, as a player
// does (it pauses the board).
void RunAnsweringHints(Zant::WinBTApp& app, int updates);
// Takes the board, the status bar, the game-over dialog and the configuration away.
void RemoveBoard(Zant::WinBTApp& app);

} // namespace BossTests
