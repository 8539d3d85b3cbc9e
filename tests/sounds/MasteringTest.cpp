// Mastering an effect: its loudness comes to the target and its peaks under the
// ceiling by a smooth gain, so an attack is turned down, not squared off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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
    Signal step(static_cast<size_t>(Samples(0.12)), 0.2f);
    std::fill(step.begin() + Samples(0.01), step.begin() + Samples(0.015), 1.0f);
    Signal stepped = step;
    LimitPeaks(stepped, kCeiling);
    double largestStep = 0.0;
    for (size_t i = 1; i < step.size(); ++i)
        largestStep = std::max<double>(largestStep, std::fabs(stepped[i] / step[i] - stepped[i - 1] / step[i - 1]));
    EXPECT_LT(largestStep, 0.05);
    EXPECT_NEAR(stepped.back(), 0.2f, 1e-4) << "the gain has come back";
}

// A click: a one-sample spike on a short decaying body, 30 dB over its loudness.
TEST(Mastering, AOneShotComesToItsLoudnessWithItsPeaksUnderTheCeiling)
{
    Signal click(static_cast<size_t>(Samples(0.07)));
    uint32_t noise = 12345;
    for (size_t i = 0; i < click.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<double>(noise >> 8) / (1u << 24) - 0.5;
        click[i] = static_cast<float>(0.05 * white * std::exp(-static_cast<double>(i) / Samples(0.015)));
    }
    click[30] = 0.9f;
    for (const double ceiling : {-1.2, -8.0, -12.0}) {
        SCOPED_TRACE(ceiling);
        Signal s = click;
        MasterLufs(s, -28.0, ceiling);
        EXPECT_NEAR(IntegratedLoudness(s), -28.0, 0.05);
        EXPECT_LE(TruePeakDb(s), ceiling);
    }
}
