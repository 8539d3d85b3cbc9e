#pragma once
// The loudness table people read beside the sounds: one row per effect or tune,
// the file as stored beside what reaches the speakers at the default volumes.
#include <string>

#include "tools/sound/Loudness.h"

namespace Zant::Dsp {

struct LoudnessRow {
    std::string name;
    std::string kind;
    double target = 0.0;  // LUFS as heard
    double seconds = 0.0;
    LoudnessReport file;
    LoudnessReport heard;
};

std::string LoudnessTableHeader();
std::string LoudnessTableRow(const LoudnessRow& row);

} // namespace Zant::Dsp
