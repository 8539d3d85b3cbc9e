// Mastering an effect: its loudness comes to the target and its peaks under the
// ceiling by a smooth gain, so an attack is turned down, not squared off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/sound/Dsp.h"
#include "tools/sound/Loudness.h"

using namespace Zant::Dsp;

namespace {

Signal Sine(double hz, double amplitude, double seconds)
{
    Signal s(static_cast<size_t>(Samples(seconds)));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / kRate));
    return s;
}

// Share of the energy of s[from, to) that a sine of hz fitted to it leaves.
double Residual(const Signal& s, double hz, size_t from, size_t to)
{
    double ss = 0.0, sc = 0.0, cc = 0.0, xs = 0.0, xc = 0.0, xx = 0.0;
    for (size_t i = from; i < to; ++i) {
        const double t = 2.0 * M_PI * hz * static_cast<double>(i) / kRate, a = std::sin(t), b = std::cos(t), x = s[i];
        ss += a * a, sc += a * b, cc += b * b, xs += x * a, xc += x * b, xx += x * x;
    }
    const double det = ss * cc - sc * sc, p = (xs * cc - xc * sc) / det, q = (xc * ss - xs * sc) / det;
    return (xx - p * xs - q * xc) / xx;
}

} // namespace

TEST(Mastering, PeaksOverTheCeilingAreTurnedDownNotSquaredOff)
{
    Signal in(static_cast<size_t>(Samples(0.01)), 0.0f); // room for the fall before the first crest
    const Signal tone = Sine(1000.0, 1.0, 0.2);
    in.insert(in.end(), tone.begin(), tone.end());
    constexpr double kCeiling = 0.25; // 12 dB under the tone
    Signal limited = in, clipped = in;
    LimitPeaks(limited, kCeiling);
    SoftClip(clipped, 1.0, 20.0 * std::log10(kCeiling));

    float peak = 0.0f;
    for (float x : limited)
        peak = std::max(peak, std::fabs(x));
    EXPECT_LE(peak, kCeiling + 1e-6);
    EXPECT_GT(peak, 0.95 * kCeiling);
    // The tone stays a tone; a waveshaper over the same ceiling makes harmonics.
    const size_t from = static_cast<size_t>(Samples(0.06)), to = static_cast<size_t>(Samples(0.16));
    EXPECT_LT(Residual(limited, 1000.0, from, to), 1e-4);
    EXPECT_GT(Residual(clipped, 1000.0, from, to), 1e-3);
    // The gain falls as a ramp before a loud stretch and rises smoothly after it; a
    // level that is steady except for the stretch shows the gain at every sample.
    Signal step(static_cast<size_t>(Samples(1.0)), 0.2f);
    std::fill(step.begin() + Samples(0.01), step.begin() + Samples(0.015), 1.0f);
    Signal stepped = step;
    LimitPeaks(stepped, kCeiling);
    double largestStep = 0.0;
    for (size_t i = 1; i < step.size(); ++i)
        largestStep = std::max<double>(largestStep, std::fabs(stepped[i] / step[i] - stepped[i - 1] / step[i - 1]));
    EXPECT_LT(largestStep, 0.05);
    EXPECT_NEAR(stepped.back(), 0.2f, 1e-4) << "the gain has come back";
}

// A low tone over the ceiling is turned down, not reshaped: a gain that moved inside
// a cycle would fold harmonics into the bass the effects that get limited most carry.
TEST(Mastering, ALimitedToneKeepsItsShapeDownToTheBass)
{
    constexpr double kCeiling = 0.25;
    for (const double hz : {60.0, 100.0, 200.0, 1000.0})
        for (const double overDb : {6.0, 12.0}) {
            SCOPED_TRACE(std::to_string(hz) + " Hz, " + std::to_string(overDb) + " dB over");
            Signal s(static_cast<size_t>(Samples(0.01)), 0.0f);
            const Signal tone = Sine(hz, kCeiling * DbToGain(overDb), 1.0);
            s.insert(s.end(), tone.begin(), tone.end());
            LimitPeaks(s, kCeiling);
            const size_t from = static_cast<size_t>(Samples(0.3)), to = static_cast<size_t>(Samples(0.9));
            // (Cancellation can leave a perfect fit a hair under zero.)
            EXPECT_LE(10.0 * std::log10(std::max(Residual(s, hz, from, to), 1e-16)), -40.0) << "THD+N, dB";
        }
}

// A strike: a one-sample spike on a decaying body of noise.
Signal Strike(double bodySeconds)
{
    Signal strike(static_cast<size_t>(Samples(bodySeconds * 4.5)));
    uint32_t noise = 12345;
    for (size_t i = 0; i < strike.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<double>(noise >> 8) / (1u << 24) - 0.5;
        strike[i] = static_cast<float>(0.05 * white * std::exp(-static_cast<double>(i) / Samples(bodySeconds)));
    }
    strike[30] = 0.9f;
    return strike;
}

// Asked for a loudness at which its peaks stand 2 dB over the ceiling, a hit keeps
// them under it and still comes to that loudness.
TEST(Mastering, AOneShotComesToItsLoudnessWithItsPeaksUnderTheCeiling)
{
    const Signal hit = Strike(0.1);
    const double peakOverLoudness = TruePeakDb(hit) - IntegratedLoudness(hit);
    for (const double ceiling : {-1.2, -8.0, -12.0}) {
        SCOPED_TRACE(ceiling);
        const double lufs = ceiling - peakOverLoudness + 2.0;
        Signal s = hit;
        ASSERT_TRUE(MasterLufs(s, lufs, ceiling));
        EXPECT_NEAR(IntegratedLoudness(s), lufs, 0.05);
        EXPECT_LE(TruePeakDb(s), ceiling);
    }
}

// A click whose spike stands 30 dB over its loudness, asked to be loud under a low
// ceiling: turning the spike down takes the short body with it, so no gain gets it
// there. The mastering says so instead of leaving it quiet.
TEST(Mastering, ASoundThatCannotReachItsLoudnessIsRefused)
{
    Signal click = Strike(0.015);
    click.resize(static_cast<size_t>(Samples(0.07)));
    EXPECT_FALSE(MasterLufs(click, -28.0, -12.0));
    Signal silence(static_cast<size_t>(Samples(0.1)), 0.0f);
    EXPECT_FALSE(MasterLufs(silence, -28.0, -1.0));
}
