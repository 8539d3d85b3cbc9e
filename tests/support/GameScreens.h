#pragma once
// The game's application in a real window on a private Xvfb server, with the
// program's own images and fonts, for screenshots of game screens: each picture is
// read back from the renderer, written beside the build for a look and compared
// with its reference picture in the test's folder.
#include <functional>
#include <string>

namespace Zant {
class WinBTApp;
}

namespace TestSupport {

// Draws a frame of the widget manager and checks it against the named reference.
using ShootFunction = std::function<void(const char* name)>;
using GameScreenScenario = std::function<void(Zant::WinBTApp& app, const ShootFunction& shoot)>;

// Runs the scenario in a child process of its own (the X and GL libraries keep
// memory past SDL_Quit that the leak check cannot tell apart), with the game's
// folder as working folder and the game generator seeded with seed. Reference
// pictures are read from tests/<testFolder>/ and shots written to
// <build>/<testFolder>-shots/. Returns why the run was skipped, or "" when it ran;
// failures are reported through the test.
std::string RunGameScreens(const std::string& testFolder, unsigned seed, const GameScreenScenario& scenario);

} // namespace TestSupport
