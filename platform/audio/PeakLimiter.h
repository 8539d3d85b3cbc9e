#pragma once
// The peak limiter on a mix bus: turns a 32-bit stereo sum into 16-bit output that
// never goes above -1 dBFS. The gain ramps down over a short look-ahead before a
// peak and recovers slowly after it; no delay is added, so the look-ahead reaches
// only as far as the block being rendered (a peak at the very start of a block is
// caught by a quicker ramp). Below the ceiling the output is the plain sum.
#include <array>
#include <cstdint>

namespace Platform {

class PeakLimiter {
public:
    // -1 dBFS of a 16-bit signal.
    static constexpr int32_t kCeiling = 29204;

    explicit PeakLimiter(uint32_t rate = 44100);

    // out = limit(in × scale) for frames of interleaved stereo; any number of frames.
    void Process(const int32_t* in, int16_t* out, uint32_t frames, float scale = 1.0f);
    // The gain applied to the last frame (1 = untouched).
    float Gain() const { return mGain; }

private:
    static constexpr uint32_t kBlock = 1024;
    void ProcessBlock(const int32_t* in, int16_t* out, uint32_t frames, float scale);

    float mAttackStep;   // largest fall of the gain per frame ahead of a peak
    float mReleaseKeep;  // share of the gain reduction kept from one frame to the next
    float mGain = 1.0f;
    std::array<float, kBlock> mNeed{};
};

} // namespace Platform
