// Writes the game's music module from its text score, with instruments
// recorded in a General MIDI SoundFont bank (or synthesised here).
//   makemusic <score file> <SoundFont file> <module file>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/music/Levelling.h"
#include "tools/music/Module.h"
#include "tools/music/Tunes.h"
#include "tools/sound/Heard.h"

using namespace Zant::Music;

namespace {
// Instruments that keep their synthesised sound where it suits the tunes better
// than the bank's recording; every voice is recorded today.
const std::vector<std::string> kKeepSynthesised = {};
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <score file> <SoundFont file> <module file>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    const auto font = Zant::Dsp::SoundFont::Open(argv[2], error);
    if (!font) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto built = BuildInstruments(*font, kKeepSynthesised, error);
    if (!built) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.c_str());
        return 1;
    }
    const std::vector<Instrument>& instruments = *built;
    const auto score = ParseScore(text.str(), LookupIn(instruments), error);
    if (!score) {
        std::fprintf(stderr, "%s:%s\n", argv[1], error.c_str() + 4);
        return 1;
    }
    auto module = Arrange(*score, error);
    // The tunes in the file sit where the default music volume brings them to their level as heard.
    if (!module || !LevelTunes(*module, instruments, score->sections, kMusicLufs - Zant::Dsp::MusicHeardOffsetLu(), error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::string bytes = WriteIt(*module, instruments);
    const std::filesystem::path out(argv[3]);
    std::error_code ec;
    std::filesystem::create_directories(out.parent_path(), ec);
    const std::string tmp = out.string() + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!f.flush()) {
            std::fprintf(stderr, "cannot write %s\n", tmp.c_str());
            return 1;
        }
    }
    std::filesystem::rename(tmp, out, ec);
    if (ec) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
