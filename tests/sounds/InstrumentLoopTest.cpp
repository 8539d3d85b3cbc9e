// The module's looped instruments as the player repeats them: tone shaping of
// a recorded note keeps its loop seamless, in the shipped module and in a
// small note built to show where a plain pass of the filters goes wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tools/music/Equalisation.h"

using namespace Zant;

namespace {

struct LoopedSample {
    std::string name;
    std::vector<double> pcm;
    uint32_t loopStart = 0, loopEnd = 0;
};

uint32_t U16(const std::string& b, size_t at) { return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8; }
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// The looped 16-bit samples of an Impulse Tracker module.
std::vector<LoopedSample> LoopedSamples(const std::string& b)
{
    std::vector<LoopedSample> out;
    if (b.size() < 0xC0 || b.compare(0, 4, "IMPM") != 0) return out;
    const uint32_t orders = U16(b, 0x20), instruments = U16(b, 0x22), samples = U16(b, 0x24);
    const size_t table = 0xC0 + orders + 4 * static_cast<size_t>(instruments);
    for (uint32_t i = 0; i < samples && table + 4 * i + 4 <= b.size(); ++i) {
        const size_t h = U32(b, table + 4 * i);
        if (h + 0x50 > b.size() || b.compare(h, 4, "IMPS") != 0) continue;
        const uint8_t flags = static_cast<uint8_t>(b[h + 0x12]);
        if ((flags & 0x13) != 0x13) continue; // present, 16-bit, looped
        LoopedSample s;
        s.name = std::string(b.data() + h + 0x14, strnlen(b.data() + h + 0x14, 26));
        const uint32_t length = U32(b, h + 0x30), data = U32(b, h + 0x48);
        s.loopStart = U32(b, h + 0x34);
        s.loopEnd = U32(b, h + 0x38);
        if (data + 2ull * length > b.size()) continue;
        for (uint32_t k = 0; k < length; ++k) s.pcm.push_back(static_cast<int16_t>(U16(b, data + 2 * k)) / 32768.0);
        out.push_back(std::move(s));
    }
    return out;
}

double Percentile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1))];
}

} // namespace

TEST(ModuleInstruments, EveryLoopJoinsWithoutAStep)
{
    const auto samples = LoopedSamples(TestSupport::ReadFile(TestSupport::GameDir() + "/music/Brinetun.mo3"));
    ASSERT_GE(samples.size(), 4u) << "flute, bass, pad and brass sustain on loops";
    for (const LoopedSample& s : samples) {
        SCOPED_TRACE(s.name);
        ASSERT_LT(s.loopStart + 2, s.loopEnd);
        ASSERT_LE(s.loopEnd, s.pcm.size());
        const auto& x = s.pcm;
        const size_t a = s.loopStart, e = s.loopEnd;
        // The join's step and bend against the loop's own steps and bends.
        std::vector<double> steps, bends;
        for (size_t i = a; i + 2 < e; ++i) {
            steps.push_back(std::fabs(x[i + 1] - x[i]));
            bends.push_back(std::fabs(x[i + 2] - 2 * x[i + 1] + x[i]));
        }
        EXPECT_LE(std::fabs(x[a] - x[e - 1]), Percentile(steps, 0.999));
        EXPECT_LE(std::fabs(x[a] - 2 * x[e - 1] + x[e - 2]), Percentile(bends, 0.999));
        EXPECT_LE(std::fabs(x[a + 1] - 2 * x[a] + x[e - 1]), Percentile(bends, 0.999));
    }
}

// An onset with a strong low hum and DC, then a loop of two whole-cycle tones:
// the high-pass's state after the onset is far from its state after a round of
// the loop, so filtering the stored note once would leave a step at every join.
TEST(Equalise, ALoopedNotePlaysAsItsFilteredEndlessRepeat)
{
    Dsp::FontNote note;
    note.rate = Dsp::kRate;
    note.loop = true;
    const int onset = 2205, loop = 441; // 441 samples: 4 cycles of 400 Hz, 12 of 1200 Hz
    for (int i = 0; i < onset + loop; ++i) {
        const double t = static_cast<double>(i) / Dsp::kRate;
        const double body = 0.4 * std::sin(2 * Dsp::kPi * 400.0 * t) + 0.2 * std::sin(2 * Dsp::kPi * 1200.0 * t);
        const double hum = i < onset ? 0.5 + 0.4 * std::sin(2 * Dsp::kPi * 90.0 * t) : 0.0;
        note.pcm.push_back(static_cast<float>(body + hum));
    }
    note.loopStart = onset;
    note.loopEnd = onset + loop;
    const Music::Equalisation bands = {{Dsp::Biquad::HighPass, 300.0, 0.7}, {Dsp::Biquad::Peak, 1000.0, 1.0, -6.0}};

    const double seconds = 1.0;
    const Dsp::Signal original = note.Held(seconds);
    Dsp::Signal expected = original;
    Dsp::Biquad hp, peak;
    hp.Set(Dsp::Biquad::HighPass, 300.0, 0.7);
    peak.Set(Dsp::Biquad::Peak, 1000.0, 1.0, -6.0);
    for (float& x : expected) x = peak.Run(hp.Run(x));

    Music::Equalise(note, bands);
    ASSERT_TRUE(note.loop);
    ASSERT_LT(note.loopStart, note.loopEnd);
    EXPECT_EQ(note.loopEnd - note.loopStart, static_cast<uint32_t>(loop)) << "the loop keeps its period";
    const Dsp::Signal played = note.Held(seconds);
    ASSERT_EQ(played.size(), expected.size());
    double worst = 0.0;
    size_t at = 0;
    // While the key is held (the release's fade and the filters do not commute).
    for (size_t i = 0; i < static_cast<size_t>(seconds * note.rate); ++i)
        if (std::fabs(played[i] - expected[i]) > worst) {
            worst = std::fabs(played[i] - expected[i]);
            at = i;
        }
    EXPECT_LT(worst, 1e-4) << "at sample " << at;
}

// A note taken from the bank is let go, not cut off: after the key its level falls
// over a release (the bank's, kept short), and it ends in silence without a step
// larger than the waveform's own.
TEST(FontNotes, AHeldNoteEndsInARelease)
{
    Dsp::FontNote note;
    note.rate = Dsp::kRate;
    note.loop = true;
    note.holdSeconds = 10.0;
    const int period = 441; // 4 cycles of 400 Hz
    for (int i = 0; i < period; ++i)
        note.pcm.push_back(static_cast<float>(0.5 * std::sin(2 * Dsp::kPi * 4.0 * i / period)));
    note.loopStart = 0;
    note.loopEnd = period;
    const double steepest = 0.5 * 2 * Dsp::kPi * 400.0 / Dsp::kRate;
    for (double bankRelease : {0.0, 0.05, 8.0}) {
        SCOPED_TRACE(bankRelease);
        note.releaseSeconds = bankRelease;
        const double seconds = 0.3013; // the key goes up mid-cycle
        const Dsp::Signal s = note.Held(seconds);
        const double release = std::clamp(bankRelease, Dsp::FontNote::kShortestRelease, Dsp::FontNote::kLongestRelease);
        EXPECT_NEAR(static_cast<double>(s.size()) / Dsp::kRate, seconds + release, 2.0 / Dsp::kRate);
        const size_t held = static_cast<size_t>(seconds * Dsp::kRate);
        EXPECT_FLOAT_EQ(s[held - 1], note.pcm[(held - 1) % period]) << "the held part is the note itself";
        double worst = std::fabs(s.back()); // and the step into the silence after it
        for (size_t i = 1; i < s.size(); ++i)
            worst = std::max(worst, static_cast<double>(std::fabs(s[i] - s[i - 1])));
        EXPECT_LE(worst, steepest * 1.01);
    }
}
