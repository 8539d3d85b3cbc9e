#pragma once
// The installation's two tables of the ten best results, shared by all players: one
// of adventure scores and one of abyss depths, and their file users/user.idx. The
// profile manager owns them; this class only keeps, reads, writes and fills them.
#include <array>
#include <cstdint>
#include <string>

#include "game/profile/UserProfile.h"

namespace Zant {

class Buffer;

struct HighScoreEntry {
    // The adventure score, or in the abyss table the depth in feet.
    int mScore = 0;
    // 0..4 (Easy .. X-Treme) in the adventure table; -1 in the abyss table.
    int mDifficulty = 0;
    std::string mName;
    // The level reached in the adventure table; -1 in the abyss table.
    int mLevel = 0;
    bool operator==(const HighScoreEntry&) const = default;
};

class HighScoreTables {
public:
    static constexpr int NUM_ROWS = 10;
    // Files of older versions hold another layout.
    static constexpr double OLDEST_VERSION = 0.48;
    // Longest name a row may hold: user names are short; a longer one is not ours.
    static constexpr size_t MAX_NAME_BYTES = 64;
    using Table = std::array<HighScoreEntry, NUM_ROWS>;

    // Read, Old (a version before the current layout) or Damaged (empty, cut short, or
    // holding what no game writes); never Missing.
    using ReadResult = StoredFileState;

    // Row 0 the best.
    static Table DefaultAdventure();
    static Table DefaultAbyss();
    // The number the file stores after the version: a draw of the game's generator
    // read as a signed value, its remainder by 37 (sign of the draw) plus 96.
    static int Filler(uint32_t draw);

    void SetDefaults();
    // The tables change only when the result is Read.
    ReadResult Read(Buffer& buffer);
    void Write(Buffer& buffer, const std::string& version, int filler) const;
    // Puts the result into its table above the first row it equals or beats, the
    // rows below moving down one (the last row leaves). The row taken, or -1 when the
    // result is below every row.
    int Enter(bool abyss, const HighScoreEntry& entry);
    // A copy of a row; an empty row for a row outside the table.
    HighScoreEntry Get(bool abyss, int row) const;

public:
    Table mHighScores;
    Table mAbyssScores;
};

} // namespace Zant
