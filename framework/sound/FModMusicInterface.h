#pragma once
// Music through our second music library: modules as songs, and samples (with an
// optional intro before the loop) played on the channel numbered by the song id.
// Chosen by the application's FMOD option; the game leaves it off.
#include <cstdint>
#include <map>
#include <mutex>

#include "framework/sound/MusicInterface.h"
#include "framework/sound/MusicLibraryApi.h"
#include "framework/sound/SongFade.h"

namespace Zant {

struct FModInstance;

class FModMusicInterface : public MusicInterface {
public:
    explicit FModMusicInterface(void* window); // acquires the library (fatal when missing)
    explicit FModMusicInterface(const FModApi& api); // a given table, no library (tests)
    ~FModMusicInterface() override;
    FModMusicInterface(const FModMusicInterface&) = delete;
    FModMusicInterface& operator=(const FModMusicInterface&) = delete;

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

    // An intro sample followed by a looping one, joined into one sample (names
    // without extension, as for LoadSample).
    virtual bool LoadSampleEx(int songId, const std::string& introFile, const std::string& loopFile);
    virtual bool LoadSample(int songId, const std::string& fileName, bool loop);

private:
    struct SongRecord : SongFade {
        uint32_t sample = 0; // 0 for a song
        uint32_t song = 0;   // 0 for a sample
        bool loop = false;
    };

    uint32_t LoadSampleFile(const std::string& name);
    void SendVolume(int songId, const SongRecord& song);
    void StopSong(int songId, const SongRecord& song);
    void StartSample(int songId, const SongRecord& song);
    void AddRecord(int songId, const SongRecord& record);

    FModInstance* mInstance = nullptr;
    FModApi mApi{};
    std::mutex mLock;
    std::map<int, SongRecord> mSongs;
    double mMasterVolume = 1.0;
    int mSongVolumeScale = 100;
    int mSampleVolumeScale = 100;
};

} // namespace Zant
