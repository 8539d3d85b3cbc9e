#include "tools/sound/Heard.h"

#include <cmath>

#include "framework/sound/GameVolumes.h"
#include "platform/audio/VolumeLaw.h"
#include "tools/musiclib/VolumeCurve.h"

namespace Zant::Dsp {

double DefaultEffectGain() { return Platform::AttenuationToGain(Platform::VolumeToAttenuation(kDefaultSfxVolume)); }

double DefaultMusicGain()
{
    // As the game's music interface sends it: the scale times the volume, truncated.
    return MusicLib::GlobalVolumeGain(static_cast<int>(kMusicVolumeScale * kDefaultMusicVolume));
}

// BS.1770 sums the power of the channels: the same signal on two speakers is 3 LU
// over one.
double EffectHeardOffsetLu() { return 20.0 * std::log10(DefaultEffectGain()) + 10.0 * std::log10(2.0); }

double MusicHeardOffsetLu() { return 20.0 * std::log10(DefaultMusicGain()); }

LoudnessReport MeasureEffectAsHeard(const Signal& mono)
{
    Signal speaker = mono;
    const float gain = static_cast<float>(DefaultEffectGain());
    for (float& x : speaker) x *= gain;
    return MeasureLoudness(speaker, speaker);
}

} // namespace Zant::Dsp
