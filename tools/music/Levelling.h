#pragma once
// Levels the module's tunes: each section's first row sets the global volume that
// puts its tune, rendered as the game plays it, at one loudness. A tune that rises
// or falls with the score stays in its place in the mix.
#include <string>
#include <vector>

#include "tools/music/Instruments.h"
#include "tools/music/Module.h"
#include "tools/music/Score.h"

namespace Zant::Music {

// Every section of the score to the integrated loudness in LUFS, within about 0.1 LU
// where the global volume's whole steps allow (near full volume they are under 0.1 dB).
// False, with the order position in the error, when a tune stays under it at full volume.
bool LevelTunes(Module& module, const std::vector<Instrument>& instruments, const std::vector<Section>& sections,
                double lufs, std::string& error);

} // namespace Zant::Music
