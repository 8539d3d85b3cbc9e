#pragma once
// Sound effects on the software-mixed sound-buffer layer: 256 sound slots, each a
// loaded PCM buffer with a base volume and pan, and 32 channels of DSoundInstance.
// Sounds load from WAV, Ogg Vorbis and AU files (and MP3 through the second music
// library when asked); decoded sounds are kept beside their source as "cached_"
// WAV copies. Without an audio device sounds still load, and everything is silent.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "framework/sound/SoundDecoders.h"
#include "framework/sound/SoundManager.h"
#include "platform/audio/AudioDevice.h"

namespace Zant {

class DSoundInstance;
struct FModInstance;

class DSoundManager : public SoundManager {
public:
    static constexpr unsigned int MAX_SOURCE_SOUNDS = 256;
    static constexpr int MAX_CHANNELS = 32;

    // A null window creates nothing (silent); otherwise the shared audio output is
    // opened. useFMod also decodes MP3 effects through the second music library.
    DSoundManager(void* window, bool useFMod);
    // A given device (tests use an OfflineAudioDevice); null runs without one.
    explicit DSoundManager(std::unique_ptr<Platform::AudioDevice> device, bool useFMod = false);
    ~DSoundManager() override;
    DSoundManager(const DSoundManager&) = delete;
    DSoundManager& operator=(const DSoundManager&) = delete;

    bool Initialized() override;
    // name without extension, e.g. "sounds\eerie1"; safe on the loading thread.
    using SoundManager::LoadSoundFile;
    bool LoadSoundFile(unsigned int id, const std::string& name, std::string& error) override;
    bool SetBaseVolume(unsigned int id, double volume) override;
    bool SetBasePan(unsigned int id, int pan) override;
    void SetVolume(double volume) override;
    SoundInstance* CreateChannel(unsigned int id) override;
    void ReleaseSounds() override;
    void ReleaseChannels() override;
    double ReadMixerVolume() override;
    void WriteMixerVolume(double volume) override;
    void SetCooperativeWindow(void* window, bool isWindowed) override;

    // 0..1 to hundredths of a dB: (log10(9v + 1) - 1) x 2333, truncated; below
    // -2000 is silence (-10000).
    static int LinearToDSoundVolume(double volume);

    int FindFreeChannel();
    double GetMasterVolume() const { return mMasterVolume; }
    bool IsSoundLoaded(unsigned int id);
    // The PCM and format loaded under the id, or null.
    std::shared_ptr<const Platform::PcmData> GetSoundData(unsigned int id);
    Platform::AudioDevice* GetDevice() const { return mDevice.get(); }

private:
    // False for a missing file (error left alone) and a damaged one (error says why).
    bool ReadWavFile(unsigned int id, const std::string& fileName, std::string& error);
    bool DecodeFile(const std::string& fileName, DecodedSound& sound, std::string& error);
    bool DecodeMp3(const std::string& fileName, DecodedSound& sound);
    // Copies the samples into a buffer of their own.
    bool StoreSound(unsigned int id, const PcmSpan& sound);
    void WriteCachedWav(unsigned int id, const std::string& cachedName, const std::string& sourceName);

    std::unique_ptr<Platform::AudioDevice> mDevice; // first in, last out: buffers live on its mixer
    bool mUseFMod;
    FModInstance* mFMod = nullptr;

    std::mutex mSoundLock; // the slot table, shared with the loading thread
    std::array<std::unique_ptr<Platform::SoundBuffer>, MAX_SOURCE_SOUNDS> mSourceSounds;
    std::array<uint32_t, MAX_SOURCE_SOUNDS> mSourceDataSizes{};
    std::array<double, MAX_SOURCE_SOUNDS> mBaseVolumes;
    std::array<int, MAX_SOURCE_SOUNDS> mBasePans{};

    std::array<std::unique_ptr<DSoundInstance>, MAX_CHANNELS> mPlayingSounds;
    double mMasterVolume = 1.0;
};

} // namespace Zant
