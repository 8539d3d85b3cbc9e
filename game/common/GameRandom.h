#pragma once
// The game's own generator: every game decision draws from it.
#include "framework/util/MersenneTwister.h"

namespace Zant {

extern MersenneTwister* gGameRandom;

// The game's generator. The application makes it at start-up; code that runs before
// (tests, tools) gets one with the generator's default seed rather than a null
// dereference.
MersenneTwister& GameRandom();

} // namespace Zant
