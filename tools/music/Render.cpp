// Renders the music module for people to listen to: one WAV per section the
// game jumps to, as the game plays it (looping sections twice round, one-shot
// sections to their end).
//   rendermusic <module file> <output folder>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/music/TuneRender.h"
#include "tools/music/Tunes.h"
#include "tools/sound/Dsp.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <module file> <output folder>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream data;
    data << in.rdbuf();
    const std::string bytes = data.str();
    std::filesystem::create_directories(argv[2]);
    for (const Zant::Music::TuneStart& t : Zant::Music::kTunes) {
        Zant::Dsp::Signal left, right;
        if (!Zant::Music::RenderTune(bytes, t.order, t.once, left, right)) {
            std::fprintf(stderr, "libopenmpt cannot open %s\n", argv[1]);
            return 1;
        }
        // Write as two mono files would be clumsy; interleave into one stereo WAV.
        const std::string path = std::string(argv[2]) + "/music_" + std::to_string(t.order) + "_" + t.name + ".wav";
        std::string b = "RIFF";
        auto put = [&b](uint32_t v, int n) { for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF); };
        const uint32_t dataBytes = static_cast<uint32_t>(left.size() * 4);
        put(36 + dataBytes, 4);
        b += "WAVEfmt ";
        put(16, 4); put(1, 2); put(2, 2); put(Zant::Dsp::kRate, 4); put(Zant::Dsp::kRate * 4, 4); put(4, 2); put(16, 2);
        b += "data";
        put(dataBytes, 4);
        const auto l = Zant::Dsp::ToPcm16(left), r = Zant::Dsp::ToPcm16(right);
        for (size_t i = 0; i < l.size(); ++i) {
            put(static_cast<uint16_t>(l[i]), 2);
            put(static_cast<uint16_t>(r[i]), 2);
        }
        std::ofstream(path, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
        // Stereo width: the side signal's level against the mid signal's.
        Zant::Dsp::Signal mid(left.size()), side(left.size());
        for (size_t i = 0; i < left.size(); ++i) {
            mid[i] = 0.5f * (left[i] + right[i]);
            side[i] = 0.5f * (left[i] - right[i]);
        }
        // Low mids (150-400 Hz), where a muddy mix piles up.
        std::printf("%-28s %6.1f s  peak %6.2f dBFS  RMS %6.2f dBFS  side %6.1f dB under mid  low mids %4.1f %%",
                    path.substr(path.rfind('/') + 1).c_str(),
                    static_cast<double>(left.size()) / Zant::Dsp::kRate,
                    Zant::Dsp::GainToDb(std::max(Zant::Dsp::Peak(left), Zant::Dsp::Peak(right))),
                    Zant::Dsp::GainToDb(Zant::Dsp::Rms(mid)),
                    Zant::Dsp::GainToDb(Zant::Dsp::Rms(mid)) - Zant::Dsp::GainToDb(Zant::Dsp::Rms(side)),
                    100.0 * Zant::Dsp::BandShare(mid, 150.0, 400.0));
        if (t.once) std::printf("  ending falls %4.0f ms", 1000.0 * Zant::Dsp::EndingFall(mid));
        std::printf("\n");
    }
    return 0;
}
