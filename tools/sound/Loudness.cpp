#include "tools/sound/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <array>
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
    Meter full(channels, EBUR128_MODE_I | EBUR128_MODE_LRA);
    Meter small(channels, EBUR128_MODE_I);
    if (!full.state || !small.state)
        return r;
    Feed(full, left, right);
    Feed(small, SmallSpeaker(left), right.empty() ? Signal{} : SmallSpeaker(right));
    double v = 0.0;
    if (ebur128_loudness_global(full.state, &v) == EBUR128_SUCCESS) r.integrated = Lufs(v);
    if (ebur128_loudness_range(full.state, &v) == EBUR128_SUCCESS) r.range = std::isfinite(v) ? v : 0.0;
    if (ebur128_loudness_global(small.state, &v) == EBUR128_SUCCESS) r.highPassed = Lufs(v);
    r.truePeak = TruePeakDb(left, right);
    return r;
}

double IntegratedLoudness(const Signal& left, const Signal& right)
{
    Meter m(right.empty() ? 1 : 2, EBUR128_MODE_I);
    if (!m.state) return -240.0;
    Feed(m, left, right);
    double v = 0.0;
    return ebur128_loudness_global(m.state, &v) == EBUR128_SUCCESS ? Lufs(v) : -240.0;
}

namespace {

// The interpolation filter of the true-peak meter: a Kaiser-windowed sinc, kTaps
// samples long, one row of coefficients per position between two samples.
constexpr int kTaps = 48;

double BesselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

using Phases = std::vector<std::array<double, kTaps>>;

const Phases& InterpolationPhases()
{
    static const Phases phases = [] {
        constexpr double kBeta = 8.0;
        Phases rows(kTruePeakOversampling);
        for (int p = 0; p < kTruePeakOversampling; ++p) {
            double sum = 0.0;
            for (int i = 0; i < kTaps; ++i) {
                // Distance from the tap's sample to the point between samples.
                const double d = static_cast<double>(p) / kTruePeakOversampling + kTaps / 2 - 1 - i;
                const double r = d / (kTaps / 2);
                const double window = r * r < 1.0 ? BesselI0(kBeta * std::sqrt(1.0 - r * r)) / BesselI0(kBeta) : 0.0;
                const double sinc = d == 0.0 ? 1.0 : std::sin(kPi * d) / (kPi * d);
                rows[p][i] = window * sinc;
                sum += rows[p][i];
            }
            for (double& c : rows[p]) c /= sum; // each position passes a constant unchanged
        }
        return rows;
    }();
    return phases;
}

// Sample peak, then the points between samples wherever either neighbour lies
// within 12 dB of it: music and effects do not overshoot between samples by
// more than that, so the rest cannot hold the peak.
double ChannelTruePeak(const Signal& s)
{
    double peak = 0.0;
    for (float x : s) peak = std::max(peak, static_cast<double>(std::fabs(x)));
    if (peak == 0.0) return 0.0;
    const double gate = peak * DbToGain(-12.0);
    const Phases& phases = InterpolationPhases();
    const long n = static_cast<long>(s.size());
    const auto at = [&s, n](long i) { return i >= 0 && i < n ? static_cast<double>(s[static_cast<size_t>(i)]) : 0.0; };
    for (long k = -1; k < n; ++k) {
        if (std::max(std::fabs(at(k)), std::fabs(at(k + 1))) < gate) continue;
        const long first = k - kTaps / 2 + 1;
        for (int p = 1; p < kTruePeakOversampling; ++p) {
            double v = 0.0;
            if (first >= 0 && first + kTaps <= n) {
                const float* x = s.data() + first;
                for (int i = 0; i < kTaps; ++i) v += phases[p][i] * x[i];
            } else {
                for (int i = 0; i < kTaps; ++i) v += phases[p][i] * at(first + i);
            }
            peak = std::max(peak, std::fabs(v));
        }
    }
    return peak;
}

} // namespace

double TruePeakDb(const Signal& left, const Signal& right)
{
    return Db(std::max(ChannelTruePeak(left), ChannelTruePeak(right)));
}

} // namespace Zant::Dsp
