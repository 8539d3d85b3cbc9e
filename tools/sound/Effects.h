#pragma once
// The game's forty sound effects as synthesis recipes, in the order of the
// game's sound table (index = sound id), and the loudness of each kind.
#include <optional>
#include <string>
#include <vector>

#include "tools/sound/Dsp.h"
#include "tools/sound/RecordedInstrument.h"
#include "tools/sound/SoundFont.h"

namespace Zant::Effects {

// Effects are levelled by what they tell the player: each kind has one
// loudness, so sounds of a kind never jump out of the mix against each other.
enum class Kind { Click, Hit, Reward, Alarm, Ambience };

struct KindLevel {
    Kind kind;
    const char* name;
    double lufs;            // integrated loudness (ITU-R BS.1770) as heard at the default volume
    // The highest true peak as heard (dBTP): headroom, so that the effects that start
    // together (a word's last keystroke and its kill; a treasure word's last letter,
    // count tone and bubbles) stay under the mixer's ceiling over the music.
    double peak;
};
const std::vector<KindLevel>& Levels();
const KindLevel& LevelOf(Kind kind);

// Recorded textures and instruments from the General MIDI bank that recipes layer in.
struct Textures {
    Dsp::Signal surf;       // breaking-wave noise
    Dsp::Signal snap;       // a dry, short percussive crack
    Dsp::Signal thud;       // a low drum hit
    Dsp::Signal scrape;     // a metallic scrape
    Dsp::Signal kick;       // a deep drum's punch
    Dsp::Signal ring;       // a cymbal bell's metallic ring
    Dsp::Signal block;      // a wooden tap
    // Recorded instruments laid under the synthesised bells and mallets.
    Dsp::RecordedInstrument vibes, glock, marimba, tubular;
};
std::optional<Textures> LoadTextures(const Dsp::SoundFont& font, std::string& error);

struct Recipe {
    const char* name;       // file name without ".wav"
    bool loop;              // ambience played as a seamless loop
    Kind kind;
    Dsp::Signal (*make)(const Textures&); // raw synthesis, before mastering
};

const std::vector<Recipe>& Table();

// Synthesis plus mastering: DC removal, edge fades (one-shots) and the level of its
// kind as heard (see Heard.h).
Dsp::Signal Render(const Recipe& recipe, const Textures& textures);

} // namespace Zant::Effects
