#include "tools/sound/LoudnessTable.h"

#include <cstdio>

namespace Zant::Dsp {

std::string LoudnessTableHeader()
{
    return "# Integrated loudness (LUFS), loudness range (LU) and true peak (dBTP) per ITU-R BS.1770 / EBU R128;\n"
           "# small speaker: integrated loudness through a 250 Hz high-pass, and what it loses.\n"
           "# name                      kind      seconds  target  LUFS   off  range  true peak  small speaker  loss\n";
}

std::string LoudnessTableRow(const LoudnessRow& row)
{
    const LoudnessReport& l = row.loudness;
    char line[200];
    std::snprintf(line, sizeof line, "%-28s %-9s %7.2f %7.1f %5.1f %+5.1f %6.1f %10.1f %14.1f %5.1f\n", row.name.c_str(),
                  row.kind.c_str(), row.seconds, row.target, l.integrated, l.integrated - row.target, l.range, l.truePeak,
                  l.highPassed, l.integrated - l.highPassed);
    return line;
}

} // namespace Zant::Dsp
