#include "platform/audio/PeakLimiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Platform {

namespace {

constexpr double kLookAheadSeconds = 0.0015;
constexpr double kReleaseSeconds = 0.08;

} // namespace

PeakLimiter::PeakLimiter(uint32_t rate)
{
    const double r = rate ? rate : 44100;
    mAttackStep = static_cast<float>(1.0 / std::max(1.0, kLookAheadSeconds * r));
    mReleaseKeep = static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * r)));
}

void PeakLimiter::Process(const int32_t* in, int16_t* out, uint32_t frames, float scale)
{
    while (frames > 0) {
        const uint32_t n = std::min(frames, kBlock);
        ProcessBlock(in, out, n, scale);
        in += 2 * n;
        out += 2 * n;
        frames -= n;
    }
}

void PeakLimiter::ProcessBlock(const int32_t* in, int16_t* out, uint32_t frames, float scale)
{
    const uint32_t samples = 2 * frames;
    int32_t peak = 0;
    for (uint32_t i = 0; i < samples; ++i)
        peak = std::max(peak, std::abs(std::max(in[i], -INT32_MAX)));

    if (mGain >= 1.0f && static_cast<float>(peak) * scale <= static_cast<float>(kCeiling)) {
        // Nothing near the ceiling and nothing to recover from: the plain sum.
        if (scale == 1.0f) {
            for (uint32_t i = 0; i < samples; ++i)
                out[i] = static_cast<int16_t>(in[i]);
        } else {
            for (uint32_t i = 0; i < samples; ++i)
                out[i] = static_cast<int16_t>(std::lrint(static_cast<float>(in[i]) * scale));
        }
        return;
    }

    // The gain each frame needs, then, walking back from the block's end, the ramp
    // that reaches every such need by the frame it belongs to.
    const float ceiling = static_cast<float>(kCeiling);
    float ahead = 1.0f;
    for (uint32_t k = frames; k-- > 0;) {
        const float level =
            static_cast<float>(std::max(std::abs(std::max(in[2 * k], -INT32_MAX)),
                                        std::abs(std::max(in[2 * k + 1], -INT32_MAX)))) * scale;
        const float need = level > ceiling ? ceiling / level : 1.0f;
        ahead = std::min(need, ahead + mAttackStep);
        mNeed[k] = ahead;
    }

    // The reduction (1 - gain) decays geometrically: kept as such it stays exact in
    // float down to nothing, where the gain itself would stall just under 1.
    float reduction = 1.0f - mGain;
    for (uint32_t k = 0; k < frames; ++k) {
        reduction = std::max(1.0f - mNeed[k], reduction * mReleaseKeep);
        const float g = (1.0f - reduction) * scale;
        for (uint32_t c = 0; c < 2; ++c) {
            const long v = std::lrint(static_cast<float>(in[2 * k + c]) * g);
            out[2 * k + c] = static_cast<int16_t>(std::clamp<long>(v, -kCeiling, kCeiling));
        }
    }
    // Close enough to unity to hand back to the plain path.
    mGain = reduction < 1e-5f ? 1.0f : 1.0f - reduction;
}

} // namespace Platform
