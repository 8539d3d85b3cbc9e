#pragma once
// Songs by id: load, play at an offset (a module's order position), stop, pause,
// fade and set volumes. This base class is also the null back end: it does nothing.
#include <string>

namespace Zant {

class MusicInterface {
public:
    virtual ~MusicInterface() = default;
    virtual bool LoadMusic(int songId, const std::string& fileName) { return false; }
    virtual void PlayMusic(int songId, int offset = 0, bool noLoop = false) {}
    virtual void StopMusic(int songId) {}
    virtual void PauseMusic(int songId) {}
    virtual void ResumeMusic(int songId) {}
    virtual void StopAllMusic() {}
    virtual void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false) {}
    virtual void FadeOut(int songId, bool stopSong = true, double speed = 0.004) {}
    virtual void FadeOutAll(bool stopSong = true, double speed = 0.004) {}
    virtual void SetSongVolume(int songId, double volume) {}
    virtual bool IsPlaying(int songId) { return false; }
    virtual void SetVolume(double volume) {}
    // One fade step; called once per application update.
    virtual void Update() {}
};

} // namespace Zant
