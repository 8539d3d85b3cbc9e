#pragma once
// A channel of the sound manager: its own duplicate of a loaded sound's buffer.
// Without a buffer (no audio device) every operation does nothing and Play fails.
#include <cstdint>
#include <memory>

#include "framework/sound/SoundInstance.h"
#include "platform/audio/SoundBuffer.h"

namespace Zant {

class DSoundManager;

class DSoundInstance : public SoundInstance {
public:
    DSoundInstance(DSoundManager* manager, std::unique_ptr<Platform::SoundBuffer> buffer);
    ~DSoundInstance() override;

    void Release() override;
    void SetBaseVolume(double volume) override;
    void SetBasePan(int pan) override;
    void AdjustPitch(double steps) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override { return mVolume; }
    void SetFade(double seconds) override;

    // Sends master x instance x base volume through the volume law to the buffer.
    void RehupVolume();
    void RehupPan();
    Platform::SoundBuffer* GetBuffer() const { return mBuffer.get(); }

private:
    DSoundManager* mManager;
    std::unique_ptr<Platform::SoundBuffer> mBuffer;
    bool mAutoRelease = false;
    bool mHasPlayed = false;
    bool mReleased = false;
    int mBasePan = 0;
    double mBaseVolume = 1.0;
    int mPan = 0;
    double mVolume = 1.0;
    uint32_t mDefaultFrequency = 44100;
};

} // namespace Zant
