// Measures every WAV in a folder (the effects and the rendered tunes of `make
// listen`) and writes the loudness table beside them, with each sound's target.
//   measuresounds <folder>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/sound/Effects.h"
#include "tools/sound/LoudnessTable.h"

using namespace Zant;

namespace {

constexpr double kMusicLufs = -20.0;

void Describe(const std::string& name, Dsp::LoudnessRow& row)
{
    row.kind = "music";
    row.target = kMusicLufs;
    for (const Effects::Recipe& r : Effects::Table())
        if (name == r.name) {
            const Effects::KindLevel& level = Effects::LevelOf(r.kind);
            row.kind = level.name;
            row.target = level.lufs;
        }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
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
    std::string table = Dsp::LoudnessTableHeader();
    for (const auto& file : files) {
        Dsp::Signal left, right;
        std::string error;
        if (!Dsp::ReadWav(file.string(), left, right, error)) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        Dsp::LoudnessRow row;
        row.name = file.stem().string();
        Describe(row.name, row);
        row.seconds = static_cast<double>(left.size()) / Dsp::kRate;
        row.loudness = Dsp::MeasureLoudness(left, right);
        table += Dsp::LoudnessTableRow(row);
    }
    const std::string out = std::string(argv[1]) + "/loudness.txt";
    FILE* f = std::fopen(out.c_str(), "w");
    if (!f || std::fputs(table.c_str(), f) < 0 || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    std::fputs(table.c_str(), stdout);
    return 0;
}
