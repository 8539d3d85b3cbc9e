#pragma once
// Loudness as people measure it: ITU-R BS.1770 / EBU R128 through libebur128.
// Integrated loudness, loudness range and true peak of a sound, and the same
// loudness heard through a small speaker (a 250 Hz high-pass). The true peak is
// our own: libebur128 oversamples four times, which reads peaks between samples
// up to 0.2 dB low; this meter oversamples eight times.
#include "tools/sound/Dsp.h"

namespace Zant::Dsp {

struct LoudnessReport {
    double integrated = -240.0;   // LUFS
    double range = 0.0;           // LU
    double truePeak = -240.0;     // dBTP
    double highPassed = -240.0;   // LUFS through the 250 Hz high-pass
};

// Mono (right empty) or stereo at kRate. A sound shorter than one 400 ms block
// counts as padded with silence to it, so short clicks measure as heard once.
LoudnessReport MeasureLoudness(const Signal& left, const Signal& right = {});
double IntegratedLoudness(const Signal& left, const Signal& right = {});
// The highest of the channels' true peaks, in dBTP, by eight-times oversampling.
double TruePeakDb(const Signal& left, const Signal& right = {});
constexpr int kTruePeakOversampling = 8;

// The small-speaker model: a fourth-order high-pass at 250 Hz.
constexpr double kSmallSpeakerHz = 250.0;
Signal SmallSpeaker(const Signal& s);

} // namespace Zant::Dsp
