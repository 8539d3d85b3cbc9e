// The sound tools' meter: true peak is read between the samples at eight times the
// rate, where a four-times meter reads a peak that falls between its points up to
// 0.2 dB low.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/sound/Loudness.h"

using namespace Zant::Dsp;

namespace {

// A pulse band-limited to 0.8 of the Nyquist frequency whose top (1.0) lies `offset`
// of a sample after sample 400.
Signal PulseBetweenSamples(double offset)
{
    constexpr double kBand = 0.8;
    Signal s(801);
    for (size_t n = 0; n < s.size(); ++n) {
        const double t = static_cast<double>(n) - 400.0 - offset;
        const double x = kPi * kBand * t;
        const double sinc = t == 0.0 ? 1.0 : std::sin(x) / x;
        const double hann = 0.5 + 0.5 * std::cos(kPi * t / 401.0);
        s[n] = static_cast<float>(sinc * hann);
    }
    return s;
}

} // namespace

TEST(LoudnessMeter, TruePeakIsReadBetweenTheSamples)
{
    // Offsets that a four-times meter passes by half its step, and one it hits.
    for (double offset : {0.125, 0.375, 0.625, 0.5}) {
        SCOPED_TRACE(offset);
        const Signal pulse = PulseBetweenSamples(offset);
        const double samplePeak = GainToDb(Peak(pulse));
        EXPECT_LT(samplePeak, -0.1);
        EXPECT_NEAR(TruePeakDb(pulse), 0.0, 0.02);
    }
}

TEST(LoudnessMeter, TruePeakTakesTheLouderChannelAndSilenceIsFloor)
{
    Signal tone(44100), half(44100);
    for (size_t n = 0; n < tone.size(); ++n) {
        tone[n] = static_cast<float>(std::sin(2.0 * kPi * 997.0 * static_cast<double>(n) / kRate));
        half[n] = 0.5f * tone[n];
    }
    EXPECT_NEAR(TruePeakDb(tone), 0.0, 0.01);
    EXPECT_NEAR(TruePeakDb(half, tone), 0.0, 0.01);
    EXPECT_NEAR(TruePeakDb(half), GainToDb(0.5), 0.01);
    EXPECT_EQ(TruePeakDb(Signal(1000, 0.0f)), -240.0);
    EXPECT_EQ(TruePeakDb(Signal{}), -240.0);
}
