#pragma once
// Music through our first music library (modules through libopenmpt, Ogg and WAV
// streams), loaded at run time and shared by every interface of the process.
// The songs map is guarded: the loading thread loads while the main thread fades.
#include <cstdint>
#include <map>
#include <mutex>

#include "framework/sound/GameVolumes.h"
#include "framework/sound/MusicInterface.h"
#include "framework/sound/MusicLibraryApi.h"
#include "framework/sound/SongFade.h"

namespace Zant {

struct BassInstance;

class BassMusicInterface : public MusicInterface {
public:
    // Acquires the library (fatal when it is missing), initialises and starts it.
    explicit BassMusicInterface(void* window);
    // Drives a given entry-point table and owns no library (tests).
    explicit BassMusicInterface(const BassApi& api, BassMusicFreeFn musicFree = nullptr);
    ~BassMusicInterface() override;
    BassMusicInterface(const BassMusicInterface&) = delete;
    BassMusicInterface& operator=(const BassMusicInterface&) = delete;

    bool LoadMusic(int songId, const std::string& fileName) override;
    void PlayMusic(int songId, int offset = 0, bool noLoop = false) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false) override;
    void FadeOut(int songId, bool stopSong = true, double speed = 0.004) override;
    void FadeOutAll(bool stopSong = true, double speed = 0.004) override;
    void SetSongVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override;
    void SetVolume(double volume) override;
    void Update() override;

private:
    struct SongRecord : SongFade {
        uint32_t module = 0; // 0 when the song is a stream
        uint32_t stream = 0; // 0 when it is a module
        uint32_t Handle() const { return module ? module : stream; }
    };

    void StartSong(SongRecord& song, int offset, bool noLoop, bool resumeModule);
    void SendVolume(const SongRecord& song);

    BassInstance* mInstance = nullptr; // held when the library was acquired
    BassApi mApi{};
    BassMusicFreeFn mMusicFree = nullptr;
    std::mutex mLock;
    std::map<int, SongRecord> mSongs;
    int mMasterVolumeScale = kMusicVolumeScale;
};

} // namespace Zant
