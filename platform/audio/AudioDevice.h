#pragma once
// The sound-buffer device: makes secondary buffers and their duplicates on a mixer.
// DirectSoundCreate gives one on the shared SDL output; OfflineAudioDevice is the
// fake for tests, whose mixer renders only when the test asks.
#include <memory>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/SoundBuffer.h"

namespace Platform {

class AudioDevice {
public:
    explicit AudioDevice(Mixer* mixer) : mMixer(mixer) {}
    virtual ~AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // A zeroed buffer of `bytes` bytes in the format (PCM, 1-2 channels, 8/16 bits).
    virtual AudioResult CreateSoundBuffer(const WaveFormat& format, uint32_t bytes, std::unique_ptr<SoundBuffer>& out);
    // Shares the source's data; own cursor at 0, stopped; volume, pan and frequency copied.
    virtual AudioResult DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& out);
    // Windows focus rules have no meaning here.
    AudioResult SetCooperativeLevel(void* window, int level) { return AUDIO_OK; }

    Mixer* GetMixer() const { return mMixer; }

protected:
    Mixer* mMixer;
};

// The device on the process's audio output; DSERR_NODRIVER when none can be opened.
AudioResult DirectSoundCreate(std::unique_ptr<AudioDevice>& out);

// A device with its own mixer and no audio thread: tests render by hand and can make
// duplication fail.
class OfflineAudioDevice : public AudioDevice {
public:
    explicit OfflineAudioDevice(uint32_t rate = kOutputRate);
    std::vector<int16_t> Render(uint32_t frames);
    AudioResult DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& out) override;

    AudioResult failDuplicate = AUDIO_OK; // returned by DuplicateSoundBuffer when set

private:
    std::unique_ptr<Mixer> mOwnMixer;
};

} // namespace Platform
