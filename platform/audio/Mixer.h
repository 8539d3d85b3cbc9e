#pragma once
// The software mixer behind an output: sums the playing sound buffers and any
// attached sources (the music library's renderer) into 16-bit stereo at one rate,
// applies the process-wide wave-out volume and limits the sum below -1 dBFS, so
// effects that pile up never clip. The limiter delays the output by Latency()
// frames (1.5 ms): a sound started now is heard that much later. Render runs on
// the audio thread; buffers and sources come and go on other threads under the
// same lock.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/PeakLimiter.h"
#include "platform/audio/VolumeLaw.h"

namespace Platform {

class SoundBuffer;
struct PcmData;

class Mixer {
public:
    // A source adds nothing itself: it writes `frames` stereo frames at the mixer's
    // rate into out (int16, interleaved) and returns how many it wrote.
    using SourceFn = int (*)(int16_t* out, int frames, void* user);

    explicit Mixer(uint32_t rate = 44100);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    uint32_t Rate() const { return mRate; }
    // Frames from a frame of the sum to the same frame in the output.
    uint32_t Latency() const { return mLimiter.Latency(); }
    // Renders frames of interleaved stereo into out.
    void Render(int16_t* out, uint32_t frames);

    int AddSource(SourceFn fn, void* user); // returns an id for RemoveSource
    void RemoveSource(int id);

    size_t PlayingVoices();

    // Blocks rendered, and those the limiter turned down (by any amount, in its fall,
    // hold or release): how often the mix leans on its safety net; and the lowest gain
    // it applied to any frame: how deep it reached.
    struct LimiterActivity {
        uint64_t blocks = 0;
        uint64_t limited = 0;
        float lowestGain = 1.0f;
    };
    LimiterActivity GetLimiterActivity();

private:
    friend class SoundBuffer;
    // Sets the status and joins the voices in one step, so a voice that is just
    // finishing cannot clear the status of a new Play. A buffer with a fade that
    // joins rises from silence.
    void Attach(SoundBuffer* buffer, uint32_t status);
    // A buffer with a fade that leaves while it sounds leaves a tail behind: its
    // sound from where it was, falling to silence.
    void Detach(SoundBuffer* buffer);
    void SetCursor(SoundBuffer* buffer, uint64_t cursor);
    uint64_t GetCursor(const SoundBuffer* buffer);

    // A cursor walking through PCM data at a step (32.32 frames per output frame).
    struct Playhead {
        const PcmData* data;
        uint64_t& cursor;
        uint64_t step;
        bool looping;
    };
    // What a fading buffer leaves when it stops.
    struct Tail {
        std::shared_ptr<const PcmData> data;
        uint64_t cursor;
        uint64_t step;
        bool looping;
        float left, right; // gains now
        float fall;        // per frame
    };

    void RenderChunk(int16_t* out, uint32_t frames);
    // Adds one voice into the accumulator; false when it reached its end.
    bool MixVoice(SoundBuffer& voice, int32_t* accum, uint32_t frames);
    uint64_t StepOf(const SoundBuffer& voice) const;
    // Adds frames at fixed Q15 gains; false when data that does not loop ran out
    // (the cursor then back at 0).
    static bool Walk(Playhead head, int32_t* accum, uint32_t frames, int32_t gl, int32_t gr);
    // Adds frames while the gains move towards the targets by at most `move` a
    // frame, and at the targets after that.
    static bool Glide(Playhead head, int32_t* accum, uint32_t frames, float& left, float& right, float targetLeft,
                      float targetRight, float move);

    struct Source {
        int id;
        SourceFn fn;
        void* user;
    };

    static constexpr uint32_t kChunk = 1024;
    uint32_t mRate;
    std::mutex mLock;
    std::vector<SoundBuffer*> mVoices;
    std::vector<Tail> mTails;
    std::vector<Source> mSources;
    int mNextSourceId = 1;
    std::vector<int32_t> mAccum;
    std::vector<int16_t> mScratch;
    PeakLimiter mLimiter;
    LimiterActivity mLimiterActivity;
};

// The process-wide wave-out volume, 0..1 (default 1.0): the last gain on every
// mixer's output. Stored with 1/65535 resolution, as a mixer control would keep it.
double GetWaveOutVolume();
void SetWaveOutVolume(double volume);

} // namespace Platform
