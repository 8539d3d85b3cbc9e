#pragma once
// The volumes the game plays at before a player moves a slider, and the scale its
// music interface sends the music volume to the music library on. The sound and music
// tools master for what these give at the speaker.
namespace Zant {

constexpr double kDefaultMusicVolume = 0.85;
constexpr double kDefaultSfxVolume = 0.85;
// The music library's global volumes are this many times the music volume (0..1).
constexpr int kMusicVolumeScale = 40;

} // namespace Zant
