#include "tools/sound/LoudnessTable.h"

#include <cstdio>

namespace Zant::Dsp {

std::string LoudnessTableHeader()
{
    return "# Integrated loudness (LUFS), loudness range (LU) and true peak (dBTP, 8x oversampled) per ITU-R BS.1770 /\n"
           "# EBU R128. file: the sound as stored. as heard: what reaches the speakers at the default volumes (an\n"
           "# effect on both speakers at the effect volume's gain, a tune at the music library's gain), its target\n"
           "# and how far off. small speaker: the file through a 250 Hz high-pass, and what it loses.\n"
           "#                                              ---------- file ----------  ------------ as heard ------------\n"
           "# name                      kind      seconds    LUFS  range  true peak  target   LUFS   off  true peak  small speaker  loss\n";
}

std::string LoudnessTableRow(const LoudnessRow& row)
{
    const LoudnessReport& f = row.file;
    const LoudnessReport& h = row.heard;
    char line[240];
    std::snprintf(line, sizeof line, "%-28s %-9s %7.2f %7.1f %6.1f %10.2f %7.1f %6.1f %+5.1f %10.2f %14.1f %5.1f\n",
                  row.name.c_str(), row.kind.c_str(), row.seconds, f.integrated, f.range, f.truePeak, row.target,
                  h.integrated, h.integrated - row.target, h.truePeak, f.highPassed, f.integrated - f.highPassed);
    return line;
}

} // namespace Zant::Dsp
