#pragma once
// The game's application: owns the screens, the board, the fonts, images and
// sounds, the profiles and the state of the run in progress.
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"

namespace Zant {

class WinBTApp : public ZantApp {
public:
    WinBTApp();
    ~WinBTApp() override;
};

// The game's own generator: every game decision draws from it.
extern MersenneTwister* gGameRandom;

} // namespace Zant
