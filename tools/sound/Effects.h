#pragma once
// The game's forty sound effects as synthesis recipes, in the order of the
// game's sound table (index = sound id).
#include <vector>

#include "tools/sound/Dsp.h"

namespace Zant::Effects {

struct Recipe {
    const char* name;       // file name without ".wav"
    bool loop;              // ambience played as a seamless loop
    double relativeDb;      // short-term loudness against the typing click
    Dsp::Signal (*make)();  // raw synthesis, before mastering
};

// The typing click is the level every other effect is matched against; it
// leaves room for many effects at once in the game's mix.
constexpr double kReferenceLoudnessDb = -21.0;

const std::vector<Recipe>& Table();

// Synthesis plus mastering: DC removal, edge fades (one-shots) and the level.
Dsp::Signal Render(const Recipe& recipe);

} // namespace Zant::Effects
