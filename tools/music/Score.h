#pragma once
// The text score of the game's music and its reader.
//
// A score is a list of patterns (rows of notes per channel) and of sections:
// each section starts at a fixed order position of the module and either
// loops or plays once. Channel lines are written as note tokens:
//
//   c4:4@48    note C4 (middle C), 4 rows long, volume 48 (0..64)
//   eb5 f#3    accidentals; a token without ":N" or "@N" keeps the line's
//              previous length and volume
//   r:8        rest (note off)        _:4   hold (nothing new)     ^   note cut
//   kick:4     an instrument's own note (drums)   bell.c6:2   instrument override
//   c4:16{J47} a tracker effect letter and hex parameter on every row of the note
//   [ ... ]x3  repeat a group          $name   a phrase defined with "let"
//   |          bar line, ignored
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Zant::Music {

constexpr int kScoreChannels = 8;    // channels a score may write
constexpr uint8_t kNoNote = 253;
constexpr uint8_t kNoteOff = 255;
constexpr uint8_t kNoteCut = 254;
constexpr uint8_t kNoVolume = 255;

struct Cell {
    uint8_t note = kNoNote;   // 0..119 (60 = middle C), or off/cut
    uint8_t instrument = 0;   // 1-based, 0 = none
    uint8_t volume = kNoVolume;
    char effect = 0;          // 'A'..'Z', 0 = none
    uint8_t param = 0;
    bool Empty() const { return note == kNoNote && instrument == 0 && volume == kNoVolume && effect == 0; }
};

using Row = std::array<Cell, kScoreChannels>;

struct Pattern {
    std::string name;
    std::vector<Row> rows;
};

struct Section {
    int order = 0;          // order position the game jumps to
    bool loop = true;       // false: plays once, then the song ends
    int tempo = 125;
    int loopFrom = 0;       // index into patterns the loop jumps back to
    std::vector<std::string> patterns;
};

struct Score {
    std::vector<Pattern> patterns;
    std::vector<Section> sections;
    const Pattern* Find(const std::string& name) const;
};

// Instruments the score may name: 1-based index and the note a bare name plays.
struct InstrumentRef {
    int index = 0;
    int defaultNote = 60;
};
using InstrumentLookup = std::function<std::optional<InstrumentRef>(const std::string&)>;

// Reads a score. On a fault returns nothing and sets error to "line N: what".
std::optional<Score> ParseScore(const std::string& text, const InstrumentLookup& instruments, std::string& error);

// Note name such as "c4", "f#3" or "bb2" -> 0..119, or -1.
int ParseNoteName(const std::string& name);

} // namespace Zant::Music
