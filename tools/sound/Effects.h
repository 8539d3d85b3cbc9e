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

// The raw synthesis with DC removed and, for a one-shot, its silent tail trimmed and
// its edges faded.
Dsp::Signal Prepare(const Recipe& recipe, const Textures& textures);
// Brings a prepared sound to the level of its kind as heard (see Heard.h) with its
// true peak under -1 dBTP; false, with an error naming the sound, when it cannot.
bool Master(const Recipe& recipe, Dsp::Signal& s, std::string& error);
// Both: the sound as its file holds it.
std::optional<Dsp::Signal> Render(const Recipe& recipe, const Textures& textures, std::string& error);

} // namespace Zant::Effects
