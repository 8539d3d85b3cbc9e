// Writes the game's sound effects as 16-bit PCM WAV files and a sheet of
// their lengths and levels for people to check.
//   makesounds <SoundFont file> <sounds folder> <sheet file>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/sound/Effects.h"
#include "tools/sound/Heard.h"
#include "tools/sound/LoudnessTable.h"

using namespace Zant;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <SoundFont file> <sounds folder> <sheet file>\n", argv[0]);
        return 2;
    }
    std::string error;
    const auto font = Dsp::SoundFont::Open(argv[1], error);
    const auto textures = font ? Effects::LoadTextures(*font, error) : std::nullopt;
    if (!textures) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::string folder = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string sheet = Dsp::LoudnessTableHeader();
    for (const Effects::Recipe& r : Effects::Table()) {
        const auto rendered = Effects::Render(r, *textures, error);
        if (!rendered) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        const Dsp::Signal& s = *rendered;
        const std::string path = folder + "/" + r.name + ".wav";
        if (!Dsp::WriteWav(path, s)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        const Effects::KindLevel& level = Effects::LevelOf(r.kind);
        sheet += Dsp::LoudnessTableRow({r.name, level.name, level.lufs, static_cast<double>(s.size()) / Dsp::kRate,
                                        Dsp::MeasureLoudness(s), Dsp::MeasureEffectAsHeard(s)});
    }
    FILE* f = std::fopen(argv[3], "w");
    if (!f || std::fputs(sheet.c_str(), f) < 0 || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
