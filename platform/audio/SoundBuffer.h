#pragma once
// A secondary sound buffer: PCM data with its own volume, pan, frequency, play
// cursor and status. Duplicates share the data (read-only from then on) and play
// independently. A buffer made without a mixer only holds its data: it cannot play.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Heap.h"
#include "platform/audio/AudioTypes.h"

namespace Platform {

class Mixer;

// A sound decoded while a loading is open keeps its samples in the loading's large
// pages, beside its pictures.
using PcmBytes = std::vector<uint8_t, LoadingAllocator<uint8_t>>;

struct PcmData {
    WaveFormat format;
    PcmBytes bytes;
};

class SoundBuffer {
public:
    SoundBuffer(Mixer* mixer, std::shared_ptr<PcmData> data);
    ~SoundBuffer(); // leaves the mixer first, so the audio thread never sees it half gone
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // The whole buffer for writing; only one lock at a time.
    AudioResult Lock(void** data, uint32_t* bytes);
    AudioResult Unlock(); // DSERR_INVALIDCALL when not locked
    AudioResult GetFormat(WaveFormat* format) const;
    uint32_t Size() const { return static_cast<uint32_t>(mData->bytes.size()); }

    // Out-of-range values are held at the nearest limit.
    AudioResult SetVolume(long hundredthsDb);
    long GetVolume() const { return mVolume.load(); }
    AudioResult SetPan(long pan);
    long GetPan() const { return mPan.load(); }
    AudioResult SetFrequency(uint32_t hz); // kFrequencyOriginal restores the data's rate
    AudioResult GetFrequency(uint32_t* hz) const;

    // Output frames over which Play rises from silence, Stop falls to it (the buffer
    // stops at once; what it was playing fades out in the mixer) and volume and pan
    // changes glide. 0, the default, changes everything at once.
    AudioResult SetFade(uint32_t frames);
    uint32_t GetFade() const { return mFade.load(); }

    // Plays from the current cursor; a looping buffer wraps, another stops at its end.
    AudioResult Play(bool looping);
    AudioResult Stop(); // halts; the cursor stays where it is
    AudioResult SetCurrentPosition(uint32_t byteOffset);
    AudioResult GetCurrentPosition(uint32_t* byteOffset) const;
    AudioResult GetStatus(uint32_t* status) const; // kStatusPlaying | kStatusLooping

    Mixer* GetMixer() const { return mMixer; }
    const std::shared_ptr<PcmData>& Data() const { return mData; }

private:
    friend class Mixer;

    Mixer* mMixer;
    std::shared_ptr<PcmData> mData;
    std::atomic<bool> mLocked{false};
    std::atomic<long> mVolume{0};
    std::atomic<long> mPan{0};
    std::atomic<uint32_t> mFrequency;
    std::atomic<uint32_t> mStatus{0};
    std::atomic<uint32_t> mFade{0};
    // Play cursor in frames, 32.32 fixed point; only touched under the mixer's lock.
    uint64_t mCursor = 0;
    bool mAttached = false; // in the mixer's voice list; under the mixer's lock
    // The gains the mixer applied last, which a fade moves; under the mixer's lock.
    float mHeardLeft = 0.0f, mHeardRight = 0.0f;
};

} // namespace Platform
