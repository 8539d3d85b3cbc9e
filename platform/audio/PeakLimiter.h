#pragma once
// The peak limiter on a mix bus: turns a 32-bit stereo sum into 16-bit output whose
// true peak (the waveform between the samples, as a converter rebuilds it) stays at
// or under -1 dBFS. The sum runs through a 1.5 ms delay line, so the gain can fall
// smoothly ahead of every peak whatever the block sizes; the lowest gain of the last
// 30 ms is held (longer than a period of the lowest note, so a loud bass tone is
// turned down, not reshaped) before the gain recovers. Below the ceiling the output
// is the plain sum, delayed.
#include <cstdint>
#include <vector>

namespace Platform {

class PeakLimiter {
public:
    // The ceiling of the true peak: -1 dBFS of a 16-bit signal, less 0.12 dB for the
    // error of the peak finder on content at the very top of the band.
    static constexpr int32_t kCeiling = 28804;

    explicit PeakLimiter(uint32_t rate = 44100);

    // out = limit(in x scale), delayed by Latency() frames, for frames of interleaved
    // stereo; any number of frames.
    void Process(const int32_t* in, int16_t* out, uint32_t frames, float scale = 1.0f);
    // The gain applied to the last frame written (1 = untouched).
    float Gain() const { return 1.0f - mAppliedReduction; }
    // The lowest gain applied to a frame of the last Process (1 = all untouched).
    float LowestGain() const { return mLowestGain; }
    // Frames from a frame of the sum to the same frame in the output.
    uint32_t Latency() const { return mDelay; }

private:
    struct Held {
        int64_t frame;
        float need;
    };

    // The frame `age` frames before the newest one in the delay line, one channel.
    float Past(uint32_t age, int channel) const;
    // The frames the peak finder reads, oldest first, interleaved.
    const float* Window() const;
    // The highest level between the frame the peak finder has reached (half its
    // window back) and the next one.
    float PeakBetween() const;
    // The gain the frame the peak finder has reached needs (1 when it stays under
    // the ceiling).
    float Need();
    // Takes a need into the hold window and sets the reduction from its lowest.
    void Hold(float need);
    // Moves the applied reduction along the ramp towards the held one.
    void Ramp();
    void Step(const int32_t* in, int16_t* out, float scale);

    uint32_t mDelay;        // frames in the delay line before output
    uint32_t mRamp;         // frames of the fall before a peak
    uint32_t mHold;         // frames a lowest gain is held
    float mReleaseKeep;     // share of the gain reduction kept from frame to frame
    float mQuietLevel;      // a level so low that no point between samples reaches the ceiling

    std::vector<float> mLine; // interleaved stereo, scaled; a ring of mLineMask + 1 frames, twice
    uint32_t mLineMask;
    uint64_t mFrame = 0;      // frames taken in
    uint32_t mQuietRun = 0;   // newest frames in a row under mQuietLevel
    float mLastBetween = 0.0f;

    std::vector<Held> mHeld;  // ring: the lowest needs of the hold window, rising
    uint32_t mHeldFirst = 0, mHeldCount = 0;

    float mReduction = 0.0f;     // 1 - gain after hold and release
    std::vector<float> mRampLine; // the last mRamp reductions, averaged into the applied gain
    uint32_t mRampAt = 0;
    uint32_t mRampBusy = 0;      // non-zero reductions in mRampLine
    double mRampSum = 0.0;
    float mAppliedReduction = 0.0f;
    float mLowestGain = 1.0f;
};

} // namespace Platform
