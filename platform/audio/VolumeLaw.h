#pragma once
// How the game's volumes become gains. A volume 0..1 (a player's slider) becomes an
// attenuation in hundredths of a decibel by a logarithmic law, so that equal steps of
// a slider sound like equal steps; the mixer turns an attenuation into a linear gain.
// Inline, so that the music libraries and the sound tools, which link none of the
// layers, follow the very law the game plays by.
#include <algorithm>
#include <cmath>

#include "platform/audio/AudioTypes.h"

namespace Platform {

// (log10(9v + 1) - 1) x 2333, truncated toward zero: 1.0 gives 0, and everything
// below -2000 (a volume under about 0.043) is silence.
inline long VolumeToAttenuation(double volume)
{
    const long attenuation = static_cast<long>((std::log10(9.0 * volume + 1.0) - 1.0) * 2333.0);
    if (!(attenuation >= -2000)) // also catches NaN from a negative volume
        return kVolumeMin;
    return std::min(attenuation, kVolumeMax);
}

inline double AttenuationToGain(long hundredthsDb)
{
    if (hundredthsDb <= kVolumeMin)
        return 0.0;
    return std::pow(10.0, std::min(hundredthsDb, kVolumeMax) / 2000.0);
}

} // namespace Platform
