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

// The score's channels plus two the arranger keeps: one for tempo and jumps, one
// for each section's level (the global volume its first row sets).
constexpr int kModuleChannels = kScoreChannels + 2;
constexpr int kControlChannel = kScoreChannels;
constexpr int kLevelChannel = kScoreChannels + 1;
constexpr int kFullGlobalVolume = 128;
constexpr uint8_t kOrderSkip = 254; // "+++"
constexpr uint8_t kOrderEnd = 255;  // "---": the song ends here

using ModuleRow = std::array<Cell, kModuleChannels>;

struct Module {
    std::string title;
    int initialSpeed = 6;
    int initialTempo = 125;
    int mixVolume = 128;  // the most the format allows: the sections' levels bring each tune down to its own
    std::array<int, kModuleChannels> pan{};   // 0..64
    std::vector<std::vector<ModuleRow>> patterns;
    std::vector<uint8_t> orders;
};

// Each order position gets its own copy of its pattern so that a section's
// first row can set its tempo and its last row can jump back to the loop start
// (or be followed by the end marker when it plays once).
std::optional<Module> Arrange(const Score& score, std::string& error);

// A section's level: the global volume (0..128) its first row sets. Arrange leaves
// every section at full volume.
int SectionVolume(const Module& module, int order);
void SetSectionVolume(Module& module, int order, int volume);

std::string WriteIt(const Module& module, const std::vector<Instrument>& instruments);

} // namespace Zant::Music
