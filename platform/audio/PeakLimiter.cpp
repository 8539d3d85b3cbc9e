#include "platform/audio/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

constexpr double kLookAheadSeconds = 0.0015;
// Longer than a period of the lowest notes the game plays (about 20 ms), so the gain
// does not rise between the crests of a bass note and shape its waveform.
constexpr double kHoldSeconds = 0.03;
constexpr double kReleaseSeconds = 0.08;
// Frames before a peak that already get its whole reduction, so the points between
// samples next to it are rebuilt from samples of nearly one gain.
constexpr uint32_t kMargin = 8;

// The true peak is looked for at the eighths between two samples, each rebuilt from
// kHalfTaps samples on either side: long enough, and windowed lightly enough, that
// content up to 21 kHz is rebuilt at nearly its level (a shorter or more tapered
// interpolator reads noise that reaches the top of the band up to 0.8 dB low).
constexpr int kPhases = 8;
constexpr int kHalfTaps = 32;
constexpr int kTaps = 2 * kHalfTaps;

// Kaiser-windowed sinc interpolators for the points 1/8 .. 7/8 between two samples,
// each normalised to pass a constant unchanged; their ripple reads a little high
// rather than low. Stored tap by tap across the points (the eighth column
// empty), so the sums for all the points run side by side.
struct Interpolators {
    static constexpr int kColumns = kPhases;
    float taps[kTaps][kColumns] = {};
    float gainBound = 1.0f; // the most any of them can make of samples up to 1

    Interpolators()
    {
        const auto bessel0 = [](double x) {
            double sum = 1.0, term = 1.0;
            for (int k = 1; k < 40; ++k) {
                term *= (x / (2.0 * k)) * (x / (2.0 * k));
                sum += term;
            }
            return sum;
        };
        constexpr double kBeta = 2.5;
        constexpr double half = kHalfTaps;
        for (int k = 1; k < kPhases; ++k) {
            const double phase = static_cast<double>(k) / kPhases;
            double raw[kTaps], sum = 0.0;
            for (int t = 0; t < kTaps; ++t) {
                const double x = phase - (t - kHalfTaps + 1); // distance to the tap's sample
                const double window = bessel0(kBeta * std::sqrt(std::max(0.0, 1.0 - (x / half) * (x / half)))) / bessel0(kBeta);
                raw[t] = std::sin(M_PI * x) / (M_PI * x) * window;
                sum += raw[t];
            }
            double absolute = 0.0;
            for (int t = 0; t < kTaps; ++t) {
                taps[t][k - 1] = static_cast<float>(raw[t] / sum);
                absolute += std::fabs(raw[t] / sum);
            }
            gainBound = std::max(gainBound, static_cast<float>(absolute));
        }
    }
};

const Interpolators& Between()
{
    static const Interpolators interpolators;
    return interpolators;
}

} // namespace

PeakLimiter::PeakLimiter(uint32_t rate)
{
    const double r = rate ? rate : 44100;
    mDelay = std::max<uint32_t>(kHalfTaps + kMargin + 2, static_cast<uint32_t>(std::lround(kLookAheadSeconds * r)));
    // The fall ends kMargin frames before the peak; the peak is known kHalfTaps frames
    // after it enters the line.
    mRamp = mDelay - kHalfTaps - kMargin + 1;
    mHold = std::max<uint32_t>(mDelay + kMargin, static_cast<uint32_t>(std::lround(kHoldSeconds * r)));
    mReleaseKeep = static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * r)));
    mQuietLevel = static_cast<float>(kCeiling) / Between().gainBound;

    uint32_t line = 1;
    while (line < std::max<uint32_t>(mDelay, kTaps) + 1)
        line *= 2;
    mLine.assign(4 * static_cast<size_t>(line), 0.0f);
    mLineMask = line - 1;
    mHeld.resize(mHold + 1);
    mRampLine.assign(mRamp, 0.0f);
}

float PeakLimiter::Past(uint32_t age, int channel) const
{
    return mLine[2 * ((mFrame - 1 - age) & mLineMask) + static_cast<uint32_t>(channel)];
}

const float* PeakLimiter::Window() const
{
    return &mLine[2 * ((mFrame - kTaps) & mLineMask)];
}

float PeakLimiter::PeakBetween() const
{
    const Interpolators& between = Between();
    float peak = 0.0f;
    const float* window = Window();
    float left[Interpolators::kColumns] = {}, right[Interpolators::kColumns] = {};
    for (int t = 0; t < kTaps; ++t) {
        const float l = window[2 * t], r = window[2 * t + 1];
        for (int k = 0; k < Interpolators::kColumns; ++k) {
            left[k] += between.taps[t][k] * l;
            right[k] += between.taps[t][k] * r;
        }
    }
    for (int k = 0; k < Interpolators::kColumns; ++k)
        peak = std::max({peak, std::fabs(left[k]), std::fabs(right[k])});
    return peak;
}

float PeakLimiter::Need()
{
    // Every sample the points around the frame are rebuilt from is too quiet to
    // reach the ceiling.
    if (mQuietRun > kTaps) {
        mLastBetween = 0.0f;
        return 1.0f;
    }
    const float between = PeakBetween(); // from frame to the next one
    const float level = std::max({std::fabs(Past(kHalfTaps, 0)), std::fabs(Past(kHalfTaps, 1)), between, mLastBetween});
    mLastBetween = between;
    const float ceiling = static_cast<float>(kCeiling);
    return level > ceiling ? ceiling / level : 1.0f;
}

void PeakLimiter::Hold(float need)
{
    // The frame whose level is now known: kHalfTaps back, so before the first frame
    // for a while (the waveform rebuilt around an onset from silence rings ahead of it).
    const int64_t frame = static_cast<int64_t>(mFrame) - 1 - kHalfTaps;
    const uint32_t size = static_cast<uint32_t>(mHeld.size());
    const auto at = [&](uint32_t i) { return mHeldFirst + i < size ? mHeldFirst + i : mHeldFirst + i - size; };
    if (need < 1.0f) {
        while (mHeldCount > 0 && mHeld[at(mHeldCount - 1)].need >= need)
            --mHeldCount;
        mHeld[at(mHeldCount)] = {frame, need};
        ++mHeldCount;
    }
    while (mHeldCount > 0 && mHeld[mHeldFirst].frame + mHold <= frame) {
        mHeldFirst = at(1);
        --mHeldCount;
    }
    const float lowest = mHeldCount > 0 ? mHeld[mHeldFirst].need : 1.0f;

    // Released slowly after the hold; kept as the reduction (1 - gain), which is
    // handed back to the plain sum once it is far too small to hear (under 0.01 dB;
    // the ramp spreads that last step over a millisecond).
    mReduction = std::max(1.0f - lowest, mReduction * mReleaseKeep);
    if (mReduction < 1e-3f)
        mReduction = 0.0f;
}

void PeakLimiter::Ramp()
{
    // The average of the last mRamp reductions: a straight fall that ends at the
    // full reduction before the peak leaves the line.
    float& oldest = mRampLine[mRampAt];
    if (oldest != 0.0f || mReduction != 0.0f) {
        mRampBusy += (mReduction != 0.0f) - (oldest != 0.0f);
        mRampSum += static_cast<double>(mReduction) - oldest;
        oldest = mReduction;
        if (mRampBusy == 0)
            mRampSum = 0.0;
        mAppliedReduction = std::clamp(static_cast<float>(mRampSum / mRamp), 0.0f, 1.0f);
    }
    mRampAt = mRampAt + 1 == mRamp ? 0 : mRampAt + 1;
}

void PeakLimiter::Step(const int32_t* in, int16_t* out, float scale)
{
    const float left = static_cast<float>(in[0]) * scale, right = static_cast<float>(in[1]) * scale;
    // Written twice, a ring's length apart, so the newest kTaps frames always lie
    // side by side for the peak finder.
    float* slot = &mLine[2 * (mFrame & mLineMask)];
    slot[0] = slot[2 * (mLineMask + 1)] = left;
    slot[1] = slot[2 * (mLineMask + 1) + 1] = right;
    ++mFrame;
    mQuietRun = std::max(std::fabs(left), std::fabs(right)) <= mQuietLevel ? std::min(mQuietRun + 1, 1u << 30) : 0;

    float gain = 1.0f;
    if (mQuietRun > kTaps && mHeldCount == 0 && mReduction == 0.0f && mRampBusy == 0) {
        mLastBetween = 0.0f; // quiet, and nothing held or ramping: the plain sum
    } else {
        Hold(Need());
        Ramp();
        gain = 1.0f - mAppliedReduction;
    }
    mLowestGain = std::min(mLowestGain, gain);
    for (int c = 0; c < 2; ++c) {
        const long v = std::lrint(Past(mDelay, c) * gain);
        out[c] = static_cast<int16_t>(std::clamp<long>(v, -kCeiling, kCeiling));
    }
}

void PeakLimiter::Process(const int32_t* in, int16_t* out, uint32_t frames, float scale)
{
    mLowestGain = 1.0f;
    for (uint32_t k = 0; k < frames; ++k)
        Step(in + 2 * k, out + 2 * k, scale);
}

} // namespace Platform
