#pragma once
// What reaches the speaker at the game's default volumes, for the makers that master
// to levels meant as heard. The mixer plays a mono effect on both speakers at the gain
// of the effect volume, which BS.1770 counts 3 LU over the file; the music library
// plays a tune at its curve's gain for the default music volume. `make listen`
// measures the same through the real mixer and library.
#include "tools/sound/Loudness.h"

namespace Zant::Dsp {

// Linear gains per speaker.
double DefaultEffectGain();
double DefaultMusicGain();
// What an effect file (mono) and a tune (stereo) gain in loudness as heard, in LU.
double EffectHeardOffsetLu();
double MusicHeardOffsetLu();

// An effect file's loudness as the mixer plays it at the default volume.
LoudnessReport MeasureEffectAsHeard(const Signal& mono);

} // namespace Zant::Dsp
