// Measures every WAV in a folder (the effects and the rendered tunes of `make
// listen`) and writes the loudness table beside them: each sound as stored, and as
// heard, played the way the game plays it at the default volumes: an effect through
// the sound manager and the mixer, a tune through the program folder's music library
// and the same mixer.
//   measuresounds <folder> <program folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/music/Tunes.h"
#include "tools/sound/Effects.h"
#include "tools/sound/LoudnessTable.h"
#include "tools/sound/SoundChain.h"

using namespace Zant;

namespace {

const Effects::Recipe* FindEffect(const std::string& name)
{
    for (const Effects::Recipe& r : Effects::Table())
        if (name == r.name) return &r;
    return nullptr;
}

// "music_<order>_<name>" as rendermusic names its files.
const Music::TuneStart* FindTune(const std::string& name)
{
    for (const Music::TuneStart& t : Music::kTunes)
        if (name == "music_" + std::to_string(t.order) + "_" + t.name) return &t;
    return nullptr;
}

// What the art direction asks of every sound as heard.
constexpr double kToleranceLu = 1.5;
constexpr double kCeilingDbtp = -1.0;

bool OnTarget(const Dsp::LoudnessRow& row)
{
    return std::fabs(row.heard.integrated - row.target) <= kToleranceLu && row.heard.truePeak <= kCeilingDbtp &&
           row.file.truePeak <= kCeilingDbtp;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <program folder>\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], ec))
        if (entry.path().extension() == ".wav" && !entry.path().filename().string().starts_with("cached_"))
            files.push_back(entry.path());
    if (ec) {
        std::fprintf(stderr, "%s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());
    GameSoundChain chain;
    std::string error;
    if (!chain.OpenMusic(argv[2], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::string table = Dsp::LoudnessTableHeader();
    std::string outliers;
    for (const auto& file : files) {
        Dsp::Signal left, right;
        if (!Dsp::ReadWav(file.string(), left, right, error)) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        Dsp::LoudnessRow row;
        row.name = file.stem().string();
        row.seconds = static_cast<double>(left.size()) / Dsp::kRate;
        row.file = Dsp::MeasureLoudness(left, right);
        Dsp::Signal heardLeft, heardRight;
        if (const Effects::Recipe* effect = FindEffect(row.name)) {
            const Effects::KindLevel& level = Effects::LevelOf(effect->kind);
            row.kind = level.name;
            row.target = level.lufs;
            if (!chain.HearEffect((file.parent_path() / file.stem()).string(), effect->loop, left.size(), heardLeft,
                                  heardRight, error)) {
                std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
                return 1;
            }
        } else if (const Music::TuneStart* tune = FindTune(row.name)) {
            row.kind = "music";
            row.target = Music::kMusicLufs;
            chain.HearTune(tune->order, tune->once, left.size(), heardLeft, heardRight);
        } else {
            std::fprintf(stderr, "%s: neither an effect of the game nor a rendered tune\n", file.c_str());
            return 1;
        }
        row.heard = Dsp::MeasureLoudness(heardLeft, heardRight);
        table += Dsp::LoudnessTableRow(row);
        if (!OnTarget(row))
            outliers += " " + row.name;
    }
    table += outliers.empty() ? "# Every sound within 1.5 LU of its target as heard, every true peak at or under -1 dBTP.\n"
                              : "# Off target or over -1 dBTP:" + outliers + "\n";
    const std::string out = std::string(argv[1]) + "/loudness.txt";
    FILE* f = std::fopen(out.c_str(), "w");
    if (!f || std::fputs(table.c_str(), f) < 0 || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    std::fputs(table.c_str(), stdout);
    return 0;
}
