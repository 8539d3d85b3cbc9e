#pragma once
// How our music library hears its global volumes. The game's music interface sends
// 40 x the player's music volume (0..1), so 40 is full level; more plays at full level
// too, since the library never amplifies what the tunes were mastered to. Below full
// level the music follows the law the game's effect volume follows: the two sliders
// move their sounds alike, and at the default volumes the music loses what the
// effects lose, so the tunes are mastered for the same gain.
#include <algorithm>

#include "framework/sound/GameVolumes.h"
#include "platform/audio/VolumeLaw.h"

namespace MusicLib {

inline double GlobalVolumeGain(int volume)
{
    const double share = std::clamp(volume, 0, Zant::kMusicVolumeScale) / static_cast<double>(Zant::kMusicVolumeScale);
    return Platform::AttenuationToGain(Platform::VolumeToAttenuation(share));
}

} // namespace MusicLib
