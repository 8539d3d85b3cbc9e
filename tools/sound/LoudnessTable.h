#pragma once
// The loudness table people read beside the sounds: one row per effect or tune.
#include <string>

#include "tools/sound/Loudness.h"

namespace Zant::Dsp {

struct LoudnessRow {
    std::string name;
    std::string kind;
    double target = 0.0;  // LUFS
    double seconds = 0.0;
    LoudnessReport loudness;
};

std::string LoudnessTableHeader();
std::string LoudnessTableRow(const LoudnessRow& row);

} // namespace Zant::Dsp
