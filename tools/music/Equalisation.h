#pragma once
// Tone shaping of a recorded note before it becomes an instrument: each
// instrument gives up the band another one needs, so bass and melody stay
// apart on small speakers.
#include <vector>

#include "tools/sound/Dsp.h"
#include "tools/sound/SoundFont.h"

namespace Zant::Music {

struct Band {
    Dsp::Biquad::Kind kind;
    double hz, q, gainDb = 0.0; // hz as heard when the note plays at its own pitch
};
using Equalisation = std::vector<Band>;

// Filters the note through the bands at the note's own rate. A looped note's
// loop is unrolled until the filters have settled and the last round becomes
// the loop: the note then plays as its filtered, endlessly repeated original
// would, and the loop joins itself without a step.
void Equalise(Dsp::FontNote& note, const Equalisation& bands);

} // namespace Zant::Music
