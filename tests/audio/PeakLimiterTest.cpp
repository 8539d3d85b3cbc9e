// The mix bus limiter: the plain sum (delayed) below the ceiling, never above it,
// falling smoothly ahead of a peak wherever it lands in a block, turning a loud bass
// tone down instead of reshaping it, and keeping the true peak (between samples)
// under -1 dBTP.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/audio/PeakLimiter.h"

using Platform::PeakLimiter;

namespace {

constexpr double kRate = 44100.0;

// Stereo sum: a sine of the amplitude, with a burst of burstAmplitude over [from, to).
std::vector<int32_t> Sum(size_t frames, double amplitude, size_t from = 0, size_t to = 0, double burst = 0)
{
    std::vector<int32_t> s(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        double a = (i >= from && i < to) ? burst : amplitude;
        auto v = static_cast<int32_t>(std::lround(a * std::sin(2 * M_PI * 220.0 * static_cast<double>(i) / kRate)));
        s[2 * i] = v;
        s[2 * i + 1] = -v / 2;
    }
    return s;
}

// Stereo sum of a function of the frame, the same on both sides.
std::vector<int32_t> Signal(size_t frames, const std::function<double(size_t)>& f)
{
    std::vector<int32_t> s(2 * frames);
    for (size_t i = 0; i < frames; ++i)
        s[2 * i] = s[2 * i + 1] = static_cast<int32_t>(std::lround(f(i)));
    return s;
}

std::vector<int16_t> Limit(PeakLimiter& limiter, const std::vector<int32_t>& in, uint32_t block, float scale = 1.0f)
{
    std::vector<int16_t> out(in.size());
    const uint32_t frames = static_cast<uint32_t>(in.size() / 2);
    for (uint32_t done = 0; done < frames; done += block)
        limiter.Process(in.data() + 2 * done, out.data() + 2 * done, std::min(block, frames - done), scale);
    return out;
}

int Peak(const std::vector<int16_t>& s, size_t fromFrame = 0, size_t toFrame = SIZE_MAX)
{
    int peak = 0;
    for (size_t i = 2 * fromFrame; i < std::min(s.size(), 2 * toFrame); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}

// Frames between a frame of the sum and the same frame in the output, found by
// playing a quiet tone through a fresh limiter.
size_t MeasuredDelay()
{
    PeakLimiter limiter;
    auto in = Sum(4000, 5000);
    auto out = Limit(limiter, in, 1024);
    for (size_t lag = 0; lag < 2000; ++lag) {
        bool same = true;
        for (size_t i = 100; i < 1000 && same; ++i)
            same = out[2 * (i + lag)] == in[2 * i] && out[2 * (i + lag) + 1] == in[2 * i + 1];
        if (same)
            return lag;
    }
    ADD_FAILURE() << "the output is not the sum at any delay";
    return 0;
}

// One channel of interleaved stereo.
std::vector<double> Channel(const std::vector<int16_t>& s, int channel)
{
    std::vector<double> c(s.size() / 2);
    for (size_t i = 0; i < c.size(); ++i)
        c[i] = s[2 * i + static_cast<size_t>(channel)];
    return c;
}

// The true peak as a converter rebuilds the waveform: 32 times oversampled through a
// long Kaiser-windowed sinc that keeps the band up to 21 kHz, where a shorter one
// reads content near the top of the band low.
double TruePeak(const std::vector<double>& x)
{
    constexpr int kOver = 32, kHalf = 64;
    const auto bessel0 = [](double v) {
        double sum = 1.0, term = 1.0;
        for (int k = 1; k < 50; ++k) {
            term *= (v / (2.0 * k)) * (v / (2.0 * k));
            sum += term;
        }
        return sum;
    };
    std::vector<std::vector<double>> taps(kOver, std::vector<double>(2 * kHalf));
    for (int k = 1; k < kOver; ++k) {
        double sum = 0.0;
        for (int t = 0; t < 2 * kHalf; ++t) {
            const double d = static_cast<double>(k) / kOver - (t - kHalf + 1);
            const double w = bessel0(10.0 * std::sqrt(std::max(0.0, 1.0 - (d / kHalf) * (d / kHalf)))) / bessel0(10.0);
            taps[k][t] = std::sin(M_PI * d) / (M_PI * d) * w;
            sum += taps[k][t];
        }
        for (double& tap : taps[k])
            tap /= sum; // a steady level passes unchanged
    }
    // Only where the filter lies wholly on the signal: its ends are where the test
    // stopped, not where the sound stops.
    double peak = 0.0;
    for (size_t i = kHalf - 1; i + kHalf < x.size(); ++i) {
        peak = std::max(peak, std::fabs(x[i]));
        for (int k = 1; k < kOver; ++k) {
            double sum = 0.0;
            for (int t = 0; t < 2 * kHalf; ++t)
                sum += taps[k][t] * x[i + t - kHalf + 1];
            peak = std::max(peak, std::fabs(sum));
        }
    }
    return peak;
}

double Dbtp(const std::vector<int16_t>& s)
{
    return 20.0 * std::log10(std::max(TruePeak(Channel(s, 0)), TruePeak(Channel(s, 1))) / 32768.0);
}

// Total harmonic distortion (2nd to 20th) of a tone of `period` frames over a whole
// number of its periods starting at `from`, and the amplitude of its fundamental.
std::pair<double, double> Distortion(const std::vector<double>& x, size_t from, size_t period, size_t periods)
{
    const size_t n = period * periods;
    const auto amplitude = [&](size_t harmonic) {
        std::complex<double> sum = 0.0;
        for (size_t i = 0; i < n; ++i)
            sum += x[from + i] * std::polar(1.0, -2.0 * M_PI * static_cast<double>(harmonic * periods * i) / static_cast<double>(n));
        return 2.0 * std::abs(sum) / static_cast<double>(n);
    };
    const double fundamental = amplitude(1);
    double harmonics = 0.0;
    for (size_t h = 2; h <= 20; ++h)
        harmonics += amplitude(h) * amplitude(h);
    return {std::sqrt(harmonics) / fundamental, fundamental};
}

} // namespace

TEST(PeakLimiterTest, BelowTheCeilingTheSumPassesUnchanged)
{
    const size_t delay = MeasuredDelay();
    for (uint32_t block : {1u, 441u, 1024u, 5000u}) {
        SCOPED_TRACE(block);
        PeakLimiter limiter;
        // A hair under the ceiling: the peak finder may read a tone at the ceiling a
        // few parts in ten thousand over it.
        auto in = Sum(20000, PeakLimiter::kCeiling * 0.998);
        auto out = Limit(limiter, in, block);
        for (size_t i = 0; i < 2 * delay; ++i)
            ASSERT_EQ(out[i], 0) << i;
        for (size_t i = 0; i + 2 * delay < in.size(); ++i)
            ASSERT_EQ(out[i + 2 * delay], in[i]) << i;
        EXPECT_EQ(limiter.Gain(), 1.0f);
        // A volume below one is the last gain, rounded to the nearest step.
        PeakLimiter fresh;
        auto quiet = Sum(1000, 20000);
        out = Limit(fresh, quiet, block, 0.5f);
        EXPECT_NEAR(out[2 * (50 + delay)], quiet[2 * 50] * 0.5, 0.5);
    }
}

TEST(PeakLimiterTest, TheDelayIsTheLatencyItReports)
{
    EXPECT_EQ(MeasuredDelay(), PeakLimiter().Latency());
    // 1.5 ms at the rate.
    EXPECT_EQ(PeakLimiter(44100).Latency(), 66u);
    EXPECT_EQ(PeakLimiter(48000).Latency(), 72u);
}

TEST(PeakLimiterTest, NoSampleGoesAboveTheCeilingHoweverLoudTheSum)
{
    for (uint32_t block : {1u, 64u, 441u, 1024u, 4096u})
        for (double amplitude : {30000.0, 40000.0, 100000.0, 2.0e6}) {
            SCOPED_TRACE(testing::Message() << block << " " << amplitude);
            PeakLimiter limiter;
            // A quiet start, then the loud part from the middle of a block on.
            auto out = Limit(limiter, Sum(30000, 3000, 700, 30000, amplitude), block);
            EXPECT_LE(Peak(out), PeakLimiter::kCeiling);
            // Held at the ceiling, not squashed far below it.
            EXPECT_GT(Peak(out, 20000), PeakLimiter::kCeiling * 0.9);
        }
}

TEST(PeakLimiterTest, TheGainFallsAheadOfAPeakAndRecoversAfterIt)
{
    const size_t delay = MeasuredDelay();
    PeakLimiter limiter;
    auto in = Sum(44100, 10000, 600, 2000, 60000);
    auto out = Limit(limiter, in, 1024);
    size_t over = 0; // the first frame above the ceiling
    while (std::abs(in[2 * over]) <= PeakLimiter::kCeiling)
        ++over;
    // Long before it: untouched; in the last milliseconds before it: already lower.
    for (size_t i = 0; i + 100 < over; ++i)
        ASSERT_EQ(out[2 * (i + delay)], in[2 * i]) << i;
    double before = 0, after = 0;
    for (size_t i = over - 20; i < over; ++i) {
        before += std::abs(in[2 * i]);
        after += std::abs(out[2 * (i + delay)]);
    }
    EXPECT_LT(after, before * 0.9);
    // Half a second on, the quiet tone is back at its own level.
    EXPECT_NEAR(Peak(out, 30000, 44100), 10000, 150);
    out = Limit(limiter, Sum(44100, 10000), 1024);
    EXPECT_EQ(limiter.Gain(), 1.0f);
    EXPECT_EQ(Peak(out, 40000), 10000);
}

// A bass note over the ceiling: a gain that recovered between its crests would
// flatten each one, a clipper squares it. Held through the period, the gain turns
// the note down and leaves its shape.
TEST(PeakLimiterTest, ALowToneOverTheCeilingKeepsItsShape)
{
    struct Case {
        size_t period; // frames: 735 is 60 Hz, 980 is 45 Hz
        double overDb;
    };
    for (const Case& c : {Case{735, 6.0}, Case{735, 12.0}, Case{980, 6.0}, Case{980, 12.0}}) {
        SCOPED_TRACE(testing::Message() << c.period << " frames, " << c.overDb << " dB over");
        PeakLimiter limiter;
        const double amplitude = PeakLimiter::kCeiling * std::pow(10.0, c.overDb / 20.0);
        auto in = Signal(44100, [&](size_t i) {
            return amplitude * std::sin(2 * M_PI * static_cast<double>(i) / static_cast<double>(c.period));
        });
        auto out = Limit(limiter, in, 1024);
        EXPECT_LE(Peak(out), PeakLimiter::kCeiling);
        // A settled stretch of 30 periods, from 0.2 s on.
        const auto [thd, fundamental] = Distortion(Channel(out, 0), 8820, c.period, 30);
        EXPECT_LT(thd, 0.005);
        EXPECT_GT(fundamental, PeakLimiter::kCeiling * 0.97) << "held at the ceiling, not far below it";
    }
}

// A loud onset at every position in a block, measured as the gain on a steady
// level: the gain falls over the look-ahead, never in a step that clicks.
TEST(PeakLimiterTest, TheGainNeverStepsWhereverAPeakFallsInABlock)
{
    const size_t delay = MeasuredDelay();
    const auto level = [](size_t i, size_t onset) {
        return (i < onset ? 8000.0 : 60000.0) + 2000.0 * std::sin(2 * M_PI * static_cast<double>(i) / 300.0);
    };
    double worst = 0.0;
    size_t worstOffset = 0;
    for (size_t offset = 0; offset < 1024; offset += 7) {
        const size_t onset = 3 * 1024 + offset;
        auto in = Signal(onset + 2048, [&](size_t i) { return level(i, onset); });
        PeakLimiter limiter;
        auto out = Limit(limiter, in, 1024);
        double previous = 1.0;
        for (size_t i = 1000; i + delay < out.size() / 2; ++i) {
            const double gain = out[2 * (i + delay)] / level(i, onset);
            if (std::fabs(gain - previous) > worst) {
                worst = std::fabs(gain - previous);
                worstOffset = offset;
            }
            previous = gain;
        }
        ASSERT_LT(previous, 0.6) << "the loud part is limited";
    }
    EXPECT_LE(worst, 0.05) << "at block offset " << worstOffset;
}

// Content whose peaks fall between the samples: a converter rebuilds the waveform
// above the largest sample, so the ceiling is held on the rebuilt waveform.
TEST(PeakLimiterTest, TheTruePeakStaysUnderMinusOneDbtp)
{
    struct Case {
        const char* name;
        std::function<double(size_t)> f;
    };
    uint64_t seed = 7;
    std::vector<double> noise(44100);
    for (double& v : noise) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        v = static_cast<double>(seed >> 11) / static_cast<double>(1ull << 53) * 2.0 - 1.0;
    }
    const Case cases[] = {
        // A quarter of the rate, struck between its crests: the samples are 3 dB under its peak.
        {"high tone", [](size_t i) { return 40000.0 * std::sin(M_PI / 2 * static_cast<double>(i) + M_PI / 4); }},
        {"chord",
         [](size_t i) {
             const double t = static_cast<double>(i) / kRate;
             return 22000.0 * std::sin(2 * M_PI * 150.0 * t) + 15000.0 * std::sin(2 * M_PI * 3100.0 * t) +
                    12000.0 * std::sin(2 * M_PI * 7300.0 * t) + 10000.0 * std::sin(2 * M_PI * 11900.0 * t);
         }},
        {"bursts of noise",
         [&](size_t i) { return ((i / 2000) % 2 ? 90000.0 : 9000.0) * noise[i]; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeakLimiter limiter;
        auto out = Limit(limiter, Signal(22050, c.f), 1024);
        const double dbtp = Dbtp(out);
        EXPECT_LE(dbtp, -1.0);
        EXPECT_GT(dbtp, -2.0) << "held near the ceiling";
    }
}
