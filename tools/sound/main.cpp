// Writes the game's sound effects as 16-bit PCM WAV files and a sheet of
// their lengths and levels for people to check.
//   makesounds <sounds folder> <sheet file>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/sound/Effects.h"

using namespace Zant;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <sounds folder> <sheet file>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string sheet = "# name            seconds   peak dBFS  RMS dBFS  loudest 50 ms dBFS  loop\n";
    for (const Effects::Recipe& r : Effects::Table()) {
        const Dsp::Signal s = Effects::Render(r);
        const std::string path = folder + "/" + r.name + ".wav";
        if (!Dsp::WriteWav(path, s)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        char line[160];
        std::snprintf(line, sizeof line, "%-16s %8.3f %11.2f %9.2f %19.2f  %s\n", r.name,
                      static_cast<double>(s.size()) / Dsp::kRate, Dsp::GainToDb(Dsp::Peak(s)), Dsp::GainToDb(Dsp::Rms(s)),
                      Dsp::GainToDb(Dsp::ShortTermLoudness(s)), r.loop ? "yes" : "no");
        sheet += line;
    }
    FILE* f = std::fopen(argv[2], "w");
    if (!f || std::fputs(sheet.c_str(), f) < 0 || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
