#pragma once
// The volume of one song and the fade that moves it, as both music back ends keep it:
// a fade moves the volume one step an update until it reaches full or silence, and a
// fade-out may stop the song once it is silent.
#include <map>

namespace Zant {

struct SongFade {
    double volume = 0.0;
    double volumeStep = 0.0;
    bool stopWhenFadedOut = false;

    // Full volume at once, as a song starts playing.
    void StartAtFull(bool noLoop)
    {
        volume = 1.0;
        volumeStep = 0.0;
        stopWhenFadedOut = noLoop;
    }
    // Starts a fade towards full volume from where the volume stands.
    void FadeIn(double speed, bool noLoop)
    {
        volumeStep = speed;
        stopWhenFadedOut = noLoop;
    }
    // Starts a fade towards silence.
    void FadeOut(bool stopSong, double speed)
    {
        volumeStep = -speed;
        stopWhenFadedOut = stopSong;
    }

    enum class Step { None, Moved, Stop };
    // One update: None when no fade runs; Stop when the fade just reached silence and
    // the song should stop; Moved otherwise.
    Step Advance()
    {
        if (volumeStep == 0.0)
            return Step::None;
        volume += volumeStep;
        if (volume > 1.0) {
            volume = 1.0;
            volumeStep = 0.0;
        } else if (volume < 0.0) {
            volume = 0.0;
            volumeStep = 0.0;
            if (stopWhenFadedOut)
                return Step::Stop;
        }
        return Step::Moved;
    }
};

// Fades one song of a map out, unless it is silent already.
template <typename Record>
void FadeOutSong(std::map<int, Record>& songs, int songId, bool stopSong, double speed)
{
    auto it = songs.find(songId);
    if (it != songs.end() && it->second.volume != 0.0)
        it->second.FadeOut(stopSong, speed);
}

// Fades every song of a map out.
template <typename Record>
void FadeOutAllSongs(std::map<int, Record>& songs, bool stopSong, double speed)
{
    for (auto& [id, song] : songs)
        song.FadeOut(stopSong, speed);
}

// One fade step for every song of a map: stop(id, song) for each song that faded out
// and should stop, then send(id, song) for each song whose volume moved.
template <typename Record, typename Stop, typename Send>
void StepSongFades(std::map<int, Record>& songs, const Stop& stop, const Send& send)
{
    for (auto& [id, song] : songs) {
        const SongFade::Step step = song.Advance();
        if (step == SongFade::Step::None)
            continue;
        if (step == SongFade::Step::Stop)
            stop(id, song);
        send(id, song);
    }
}

} // namespace Zant
