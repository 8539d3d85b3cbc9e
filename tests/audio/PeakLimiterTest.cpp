// The mix bus limiter: untouched below the ceiling, never above it, ramping ahead
// of a peak inside the block and recovering after it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/audio/PeakLimiter.h"

using Platform::PeakLimiter;

namespace {

// Stereo sum: a sine of the amplitude, with a burst of burstAmplitude over [from, to).
std::vector<int32_t> Sum(size_t frames, double amplitude, size_t from = 0, size_t to = 0, double burst = 0)
{
    std::vector<int32_t> s(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        double a = (i >= from && i < to) ? burst : amplitude;
        auto v = static_cast<int32_t>(std::lround(a * std::sin(2 * M_PI * 220.0 * static_cast<double>(i) / 44100.0)));
        s[2 * i] = v;
        s[2 * i + 1] = -v / 2;
    }
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

} // namespace

TEST(PeakLimiterTest, BelowTheCeilingTheSumPassesUnchanged)
{
    for (uint32_t block : {1u, 441u, 1024u, 5000u}) {
        SCOPED_TRACE(block);
        PeakLimiter limiter;
        auto in = Sum(20000, PeakLimiter::kCeiling);
        auto out = Limit(limiter, in, block);
        for (size_t i = 0; i < in.size(); ++i)
            ASSERT_EQ(out[i], in[i]) << i;
        EXPECT_EQ(limiter.Gain(), 1.0f);
        // A volume below one is the last gain, rounded to the nearest step.
        out = Limit(limiter, Sum(1000, 20000), block, 0.5f);
        EXPECT_NEAR(out[2 * 50], Sum(1000, 20000)[2 * 50] * 0.5, 0.5);
    }
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

TEST(PeakLimiterTest, TheGainFallsAheadOfAPeakInTheBlockAndRecoversAfterIt)
{
    PeakLimiter limiter;
    auto in = Sum(44100, 10000, 600, 2000, 60000);
    auto out = Limit(limiter, in, 1024);
    size_t over = 0; // the first frame above the ceiling
    while (std::abs(in[2 * over]) <= PeakLimiter::kCeiling)
        ++over;
    // Long before it: untouched; in the last milliseconds before it: already lower.
    for (size_t i = 0; i + 100 < over; ++i)
        ASSERT_EQ(out[2 * i], in[2 * i]) << i;
    double before = 0, after = 0;
    for (size_t i = over - 20; i < over; ++i) {
        before += std::abs(in[2 * i]);
        after += std::abs(out[2 * i]);
    }
    EXPECT_LT(after, before * 0.9);
    // Half a second on, the quiet tone is back at its own level.
    EXPECT_NEAR(Peak(out, 30000, 44100), 10000, 150);
    out = Limit(limiter, Sum(44100, 10000), 1024);
    EXPECT_EQ(limiter.Gain(), 1.0f);
    EXPECT_EQ(Peak(out, 40000), 10000);
}
