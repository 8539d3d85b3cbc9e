#pragma once
// The module's instruments: one sample each with its volume envelope and
// playback settings, recorded notes from a General MIDI bank or synthesised.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/music/Score.h"
#include "tools/sound/SoundFont.h"

namespace Zant::Music {

struct Instrument {
    std::string name;
    std::vector<int16_t> pcm;
    bool loop = false;
    uint32_t loopStart = 0, loopEnd = 0;     // end exclusive
    uint32_t c5speed = 44100;                // playback rate of note 60 (middle C)
    int defaultNote = 60;                    // the note a bare instrument name plays
    int globalVolume = 128;                  // 0..128
    std::vector<std::pair<int, int>> envelope; // (tick, level 0..64); empty = none
    int sustainNode = -1;
    int fadeout = 0;                         // 0..256, per tick after note off
    int newNoteAction = 0;                   // 0 cut, 2 note off, 3 fade
    int vibratoSpeed = 0, vibratoDepth = 0, vibratoSweep = 0;
};

// The synthesised set.
std::vector<Instrument> BuildInstruments();

// The same set with each instrument's sound taken from the bank, except those
// named in keepSynthesised; their envelopes and balance stay as synthesised.
std::optional<std::vector<Instrument>> BuildInstruments(const Dsp::SoundFont& font,
                                                        const std::vector<std::string>& keepSynthesised,
                                                        std::string& error);

// Looks instruments up by name for the score reader.
InstrumentLookup LookupIn(const std::vector<Instrument>& instruments);

} // namespace Zant::Music
