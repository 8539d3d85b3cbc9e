#pragma once
// The simulated typist: one key at most per update, through the board's own key
// handler, at the speed, accuracy and burst chance of the current simulation entry.
#include "game/common/Simulation.h"

namespace Zant {

class Board;
class MersenneTwister;

class SimulationTypist {
public:
    // A miss presses a key no word holds, so it counts as a typo.
    static constexpr char MISS_KEY = '>';
    // Pressed when every letter of the locked word is typed.
    static constexpr char DONE_KEY = '/';

    // One update: draws this update's hit chance and, on a multiple of the key delay,
    // presses the next key. Returns the key pressed, or 0 for none.
    static char Step(Board& board, const SimulationEntry& entry, MersenneTwister& random, SimulationHarness& log);
    // The key aimed at (a hit), or 0 when nothing is in reach.
    static char AimedKey(Board& board, SimulationHarness& log);
};

} // namespace Zant
