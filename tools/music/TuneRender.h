#pragma once
// Renders one tune of a module through libopenmpt as the game plays it: from its
// order position, a looping tune until it has come round to its start twice (at most
// 150 s), a one-shot tune to its end.
#include <string>

#include "tools/sound/Dsp.h"

namespace Zant::Music {

// False when libopenmpt cannot open the module.
bool RenderTune(const std::string& moduleBytes, int order, bool once, Dsp::Signal& left, Dsp::Signal& right);

} // namespace Zant::Music
