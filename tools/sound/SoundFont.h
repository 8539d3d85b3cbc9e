#pragma once
// A small reader for SoundFont 2 banks: enough to take one recorded note of a
// preset (its sample, loop and tuning) so the music and sound makers can build
// their instruments from a free General MIDI bank at build time.
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tools/sound/Dsp.h"

namespace Zant::Dsp {

struct FontNote {
    std::string name;
    Signal pcm;              // mono, at `rate`
    int rate = kRate;
    bool loop = false;
    uint32_t loopStart = 0, loopEnd = 0; // end exclusive
    double rootKey = 60.0;   // the MIDI note (with cents) the sample sounds at its own rate
    // The bank's volume envelope while the key is held: full level until
    // `holdSeconds`, then falling linearly in dB (100 dB per `decaySeconds`)
    // down to `sustainDb` below full.
    double holdSeconds = 0.0, decaySeconds = 0.0, sustainDb = 0.0;
    // The bank's time for the level to fall 100 dB once the key is let go.
    double releaseSeconds = 0.0;

    // The note as a synthesiser plays it with the key held for `seconds` and then
    // let go: the loop unrolled under the envelope, then the release (the bank's,
    // kept between kShortestRelease and kLongestRelease) fading it to silence.
    Signal Held(double seconds) const;
    static constexpr double kShortestRelease = 0.02, kLongestRelease = 0.1;
    // The held note sounding `key`, at kRate.
    Signal Sounding(double key, double seconds) const;
};

class SoundFont {
public:
    // Reads the bank's tables; the sample data stays in the file until asked for.
    static std::optional<SoundFont> Open(const std::string& path, std::string& error);

    // The sample a synthesiser would play for `key` at velocity 100 on
    // bank/program (bank 128 holds the drum kits). Nothing when absent.
    std::optional<FontNote> Note(int bank, int program, int key, std::string& error) const;

private:
    struct Zone { std::vector<std::pair<int, int>> gens; };
    struct Header { std::string name; uint32_t start, end, loopStart, loopEnd, rate; int pitch, correction; };
    struct Preset { int program, bank, bagIndex; };
    std::vector<Zone> Zones(const std::vector<int>& bagGen, const std::vector<std::pair<int, int>>& gens, int first,
                            int last) const;

    std::string mPath;
    uint64_t mSampleOffset = 0, mSampleBytes = 0;
    std::vector<Preset> mPresets;
    std::vector<int> mPresetBagGen, mInstBagGen, mInstBags; // bag -> first generator; instrument -> first bag
    std::vector<std::pair<int, int>> mPresetGens, mInstGens;
    std::vector<Header> mHeaders;
};

} // namespace Zant::Dsp
