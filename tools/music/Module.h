#pragma once
// Arranges a score into a module's order list and writes it as an Impulse
// Tracker (IT) file.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tools/music/Instruments.h"
#include "tools/music/Score.h"

namespace Zant::Music {

// The score's channels plus one the arranger keeps for tempo and jumps.
constexpr int kModuleChannels = kScoreChannels + 1;
constexpr int kControlChannel = kScoreChannels;
constexpr uint8_t kOrderSkip = 254; // "+++"
constexpr uint8_t kOrderEnd = 255;  // "---": the song ends here

using ModuleRow = std::array<Cell, kModuleChannels>;

struct Module {
    std::string title;
    int initialSpeed = 6;
    int initialTempo = 125;
    int mixVolume = 71;   // the tunes around -20 LUFS, as rendered
    std::array<int, kModuleChannels> pan{};   // 0..64
    std::vector<std::vector<ModuleRow>> patterns;
    std::vector<uint8_t> orders;
};

// Each order position gets its own copy of its pattern so that a section's
// first row can set its tempo and its last row can jump back to the loop start
// (or be followed by the end marker when it plays once).
std::optional<Module> Arrange(const Score& score, std::string& error);

std::string WriteIt(const Module& module, const std::vector<Instrument>& instruments);

} // namespace Zant::Music
