#include "tools/sound/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

namespace Zant::Dsp {

namespace {

struct Meter {
    explicit Meter(unsigned channels, int mode) : state(ebur128_init(channels, kRate, mode)) {}
    ~Meter() { ebur128_destroy(&state); }
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;
    ebur128_state* state;
};

// Interleaves (and pads short sounds to one 400 ms block).
std::vector<float> Frames(const Signal& left, const Signal& right)
{
    const size_t channels = right.empty() ? 1 : 2;
    const size_t n = std::max({left.size(), right.size(), static_cast<size_t>(Samples(0.4))});
    std::vector<float> out(n * channels, 0.0f);
    for (size_t i = 0; i < left.size(); ++i)
        out[i * channels] = left[i];
    for (size_t i = 0; i < right.size(); ++i)
        out[i * 2 + 1] = right[i];
    return out;
}

void Feed(Meter& m, const Signal& left, const Signal& right)
{
    const std::vector<float> frames = Frames(left, right);
    ebur128_add_frames_float(m.state, frames.data(), frames.size() / (right.empty() ? 1 : 2));
}

double Db(double v) { return v > 0.0 && std::isfinite(v) ? 20.0 * std::log10(v) : -240.0; }
double Lufs(double v) { return std::isfinite(v) ? v : -240.0; }

} // namespace

Signal SmallSpeaker(const Signal& s)
{
    Signal out = s;
    HighPass(out, kSmallSpeakerHz, 0.5412);
    HighPass(out, kSmallSpeakerHz, 1.3066);
    return out;
}

LoudnessReport MeasureLoudness(const Signal& left, const Signal& right)
{
    LoudnessReport r;
    const unsigned channels = right.empty() ? 1 : 2;
    Meter full(channels, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    Meter small(channels, EBUR128_MODE_I);
    if (!full.state || !small.state)
        return r;
    Feed(full, left, right);
    Feed(small, SmallSpeaker(left), right.empty() ? Signal{} : SmallSpeaker(right));
    double v = 0.0;
    if (ebur128_loudness_global(full.state, &v) == EBUR128_SUCCESS) r.integrated = Lufs(v);
    if (ebur128_loudness_range(full.state, &v) == EBUR128_SUCCESS) r.range = std::isfinite(v) ? v : 0.0;
    if (ebur128_loudness_global(small.state, &v) == EBUR128_SUCCESS) r.highPassed = Lufs(v);
    double peak = 0.0;
    for (unsigned c = 0; c < channels; ++c)
        if (ebur128_true_peak(full.state, c, &v) == EBUR128_SUCCESS) peak = std::max(peak, v);
    r.truePeak = Db(peak);
    return r;
}

double IntegratedLoudness(const Signal& s)
{
    Meter m(1, EBUR128_MODE_I);
    if (!m.state) return -240.0;
    Feed(m, s, {});
    double v = 0.0;
    return ebur128_loudness_global(m.state, &v) == EBUR128_SUCCESS ? Lufs(v) : -240.0;
}

double TruePeakDb(const Signal& s)
{
    Meter m(1, EBUR128_MODE_TRUE_PEAK);
    if (!m.state) return -240.0;
    ebur128_add_frames_float(m.state, s.data(), s.size());
    double v = 0.0;
    return ebur128_true_peak(m.state, 0, &v) == EBUR128_SUCCESS ? Db(v) : -240.0;
}

} // namespace Zant::Dsp
