#pragma once
// A pitched instrument of a General MIDI bank as a few recorded notes, so the
// sound maker can lay a real bell, mallet or drum under a synthesised one at
// any pitch.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/sound/Dsp.h"
#include "tools/sound/SoundFont.h"

namespace Zant::Dsp {

class RecordedInstrument {
public:
    // Every `stride`-th key from lowKey to highKey of bank/program, each held `seconds`.
    static std::optional<RecordedInstrument> Take(const SoundFont& font, int bank, int program, int lowKey, int highKey,
                                                  int stride, double seconds, std::string& error);

    // The note at `key` (MIDI, fractional) played from the nearest recorded
    // key; silence more than a stride outside the recorded range, where
    // resampling would dull or alias it.
    Signal At(double key) const;

private:
    std::vector<std::pair<int, Signal>> mNotes;
    int mStride = 1;
};

// The MIDI note (fractional) of a frequency.
double KeyOf(double hz);

} // namespace Zant::Dsp
