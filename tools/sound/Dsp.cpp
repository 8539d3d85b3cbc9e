#include "tools/sound/Dsp.h"
#include "tools/sound/Loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

namespace Zant::Dsp {

double NoteHz(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }
double DbToGain(double db) { return std::pow(10.0, db / 20.0); }
double GainToDb(double gain) { return gain > 1e-12 ? 20.0 * std::log10(gain) : -240.0; }

uint64_t Rng::Next()
{
    mState ^= mState << 13;
    mState ^= mState >> 7;
    mState ^= mState << 17;
    return mState;
}

double Rng::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

void Biquad::Set(Kind kind, double hz, double q, double gainDb)
{
    hz = std::clamp(hz, 5.0, kRate * 0.49);
    const double w = 2.0 * kPi * hz / kRate;
    const double cw = std::cos(w), sw = std::sin(w);
    const double alpha = sw / (2.0 * q);
    double b0 = 0, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
    switch (kind) {
    case LowPass:
        b0 = (1 - cw) / 2; b1 = 1 - cw; b2 = (1 - cw) / 2;
        a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
        break;
    case HighPass:
        b0 = (1 + cw) / 2; b1 = -(1 + cw); b2 = (1 + cw) / 2;
        a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
        break;
    case BandPass: // constant 0 dB peak gain
        b0 = alpha; b1 = 0; b2 = -alpha;
        a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
        break;
    case Peak: {
        const double a = std::pow(10.0, gainDb / 40.0);
        b0 = 1 + alpha * a; b1 = -2 * cw; b2 = 1 - alpha * a;
        a0 = 1 + alpha / a; a1 = -2 * cw; a2 = 1 - alpha / a;
        break;
    }
    }
    mB0 = b0 / a0; mB1 = b1 / a0; mB2 = b2 / a0; mA1 = a1 / a0; mA2 = a2 / a0;
}

float Biquad::Run(float x)
{
    const double y = mB0 * x + mB1 * mX1 + mB2 * mX2 - mA1 * mY1 - mA2 * mY2;
    mX2 = mX1; mX1 = x; mY2 = mY1; mY1 = y;
    return static_cast<float>(y);
}

void Biquad::SetCoefficients(double b0, double b1, double b2, double a1, double a2)
{
    mB0 = b0; mB1 = b1; mB2 = b2; mA1 = a1; mA2 = a2;
}

void OnePole::Set(double hz) { mA = 1.0 - std::exp(-2.0 * kPi * hz / kRate); }

float OnePole::Low(float x)
{
    mY += mA * (x - mY);
    return static_cast<float>(mY);
}

Reverb::Reverb(double roomSeconds, double damping)
    : mFeedback(static_cast<float>(std::clamp(roomSeconds, 0.05, 0.98))), mDamp(static_cast<float>(damping))
{
    // Mutually prime delay lengths (in samples at 44.1 kHz) keep the tail smooth.
    for (int len : {1557, 1617, 1491, 1422, 1277, 1356})
        mCombs.push_back({std::vector<float>(len, 0.0f)});
    for (int len : {556, 441, 341})
        mAllPasses.push_back({std::vector<float>(len, 0.0f)});
}

float Reverb::Run(float x)
{
    float sum = 0.0f;
    for (Line& c : mCombs) {
        const float out = c.buf[c.pos];
        c.store = out * (1.0f - mDamp) + c.store * mDamp;
        c.buf[c.pos] = x * 0.15f + c.store * mFeedback;
        c.pos = (c.pos + 1) % c.buf.size();
        sum += out;
    }
    for (Line& a : mAllPasses) {
        const float buffered = a.buf[a.pos];
        const float out = buffered - sum;
        a.buf[a.pos] = sum + buffered * 0.5f;
        a.pos = (a.pos + 1) % a.buf.size();
        sum = out;
    }
    return sum;
}

double Adsr(double t, double attack, double decay, double sustain, double release, double length)
{
    if (t < 0.0 || t >= length) return 0.0;
    double level;
    if (t < attack) level = t / attack;
    else if (t < attack + decay) level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
    else level = sustain;
    const double releaseStart = length - release;
    if (t > releaseStart && release > 0.0) level *= (length - t) / release;
    return level;
}

double ExpDecay(double t, double seconds) { return t < 0.0 ? 0.0 : std::exp(-t / seconds); }
double Smooth(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

double Osc::Sine(double hz)
{
    const double v = std::sin(2.0 * kPi * mPhase);
    mPhase += hz / kRate;
    mPhase -= std::floor(mPhase);
    return v;
}

double Osc::Saw(double hz, int harmonics)
{
    double v = 0.0;
    for (int k = 1; k <= harmonics && k * hz < kRate * 0.45; ++k)
        v += std::sin(2.0 * kPi * k * mPhase) / k;
    mPhase += hz / kRate;
    mPhase -= std::floor(mPhase);
    return v * 0.55;
}

double Osc::Square(double hz, int harmonics)
{
    double v = 0.0;
    for (int k = 1; k <= harmonics && k * hz < kRate * 0.45; k += 2)
        v += std::sin(2.0 * kPi * k * mPhase) / k;
    mPhase += hz / kRate;
    mPhase -= std::floor(mPhase);
    return v * 0.8;
}

void AddBubble(Signal& out, double start, double hz, double amp, double rise, bool circular)
{
    // Resonance damping of an air bubble grows with its pitch; small bubbles ring short.
    const double damping = 0.043 * hz + 0.0014 * std::pow(hz, 1.5);
    const int len = Samples(6.0 / damping);
    const int first = Samples(start);
    double phase = 0.0;
    // A bubble rings out: past the end the sound grows to hold it.
    if (!circular && first + len > static_cast<int>(out.size())) out.resize(static_cast<size_t>(first + len), 0.0f);
    const int n = static_cast<int>(out.size());
    for (int i = 0; i < len; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = hz * (1.0 + rise * damping * t);
        const double attack = std::min(1.0, t * 2000.0); // 0.5 ms, no click
        const double v = amp * attack * std::exp(-damping * t) * std::sin(phase);
        phase += 2.0 * kPi * f / kRate;
        int idx = first + i;
        if (circular) idx %= n;
        out[idx] += static_cast<float>(v);
    }
}

void Mix(Signal& out, const Signal& in, double start, double gain, bool circular)
{
    const int first = Samples(start);
    const int n = static_cast<int>(out.size());
    if (!circular && first + static_cast<int>(in.size()) > n) out.resize(first + in.size(), 0.0f);
    for (size_t i = 0; i < in.size(); ++i) {
        int idx = first + static_cast<int>(i);
        if (circular) idx %= n;
        out[idx] += static_cast<float>(in[i] * gain);
    }
}

void FadeIn(Signal& s, double seconds)
{
    const int n = std::min<int>(Samples(seconds), static_cast<int>(s.size()));
    for (int i = 0; i < n; ++i) s[i] *= static_cast<float>(Smooth(static_cast<double>(i) / n));
}

void FadeOut(Signal& s, double seconds)
{
    const int n = std::min<int>(Samples(seconds), static_cast<int>(s.size()));
    const size_t base = s.size() - n;
    for (int i = 0; i < n; ++i) s[base + i] *= static_cast<float>(Smooth(1.0 - static_cast<double>(i + 1) / n));
}

void RemoveDc(Signal& s)
{
    const float mean = static_cast<float>(Mean(s));
    Biquad hp;
    hp.Set(Biquad::HighPass, 15.0, 0.707);
    for (float& x : s) x = hp.Run(x - mean);
}

void ApplyReverb(Signal& s, double mix, double room, double damping, double tailSeconds)
{
    Reverb r(room, damping);
    s.resize(s.size() + Samples(tailSeconds), 0.0f);
    for (float& x : s) x = static_cast<float>(x + mix * r.Run(x));
}

void LowPass(Signal& s, double hz, double q)
{
    Biquad f;
    f.Set(Biquad::LowPass, hz, q);
    for (float& x : s) x = f.Run(x);
}

void HighPass(Signal& s, double hz, double q)
{
    Biquad f;
    f.Set(Biquad::HighPass, hz, q);
    for (float& x : s) x = f.Run(x);
}

void Trim(Signal& s, double floorDb)
{
    const double floor = Peak(s) * DbToGain(floorDb);
    size_t end = s.size();
    while (end > 0 && std::fabs(s[end - 1]) < floor) --end;
    s.resize(std::min(s.size(), end + static_cast<size_t>(Samples(0.01))));
    FadeOut(s, 0.01);
}

double Peak(const Signal& s)
{
    double p = 0.0;
    for (float x : s) p = std::max(p, static_cast<double>(std::fabs(x)));
    return p;
}

double Rms(const Signal& s)
{
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (float x : s) sum += static_cast<double>(x) * x;
    return std::sqrt(sum / s.size());
}

double ShortTermLoudness(const Signal& s, double windowSeconds)
{
    const size_t w = std::max<size_t>(1, Samples(windowSeconds));
    if (s.size() <= w) return Rms(s) * std::sqrt(static_cast<double>(s.size()) / w);
    double sum = 0.0, best = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += static_cast<double>(s[i]) * s[i];
        if (i >= w) sum -= static_cast<double>(s[i - w]) * s[i - w];
        if (i + 1 >= w) best = std::max(best, sum);
    }
    return std::sqrt(std::max(0.0, best) / w);
}

double EndingFall(const Signal& s)
{
    const size_t w = static_cast<size_t>(Samples(0.05)), hop = w / 5;
    const size_t tail = std::min(s.size(), static_cast<size_t>(Samples(2.0)));
    if (tail < w) return 0.0;
    std::vector<double> levels; // 50 ms RMS every 10 ms over the last two seconds
    for (size_t at = s.size() - tail; at + w <= s.size(); at += hop) {
        double sum = 0.0;
        for (size_t i = at; i < at + w; ++i) sum += static_cast<double>(s[i]) * s[i];
        levels.push_back(std::sqrt(sum / w));
    }
    const double loudest = *std::max_element(levels.begin(), levels.end());
    if (loudest <= 0.0) return 0.0;
    size_t start = 0, end = levels.size();
    for (size_t k = 0; k < levels.size(); ++k)
        if (levels[k] >= loudest * DbToGain(-6.0)) start = k;
    for (size_t k = start; k < levels.size(); ++k)
        if (levels[k] < loudest * DbToGain(-60.0)) {
            end = k;
            break;
        }
    return static_cast<double>(end - start) * hop / kRate + (end == levels.size() ? static_cast<double>(w) / kRate : 0.0);
}

double LowShare(const Signal& s, double hz)
{
    Biquad a, b;
    a.Set(Biquad::LowPass, hz, 0.707);
    b.Set(Biquad::LowPass, hz, 0.707);
    double low = 0.0, all = 0.0;
    for (float x : s) {
        const double y = b.Run(a.Run(x));
        low += y * y;
        all += static_cast<double>(x) * x;
    }
    return all > 0.0 ? low / all : 0.0;
}

double BandShare(const Signal& s, double loHz, double hiHz)
{
    Biquad h1, h2, l1, l2;
    h1.Set(Biquad::HighPass, loHz, 0.707);
    h2.Set(Biquad::HighPass, loHz, 0.707);
    l1.Set(Biquad::LowPass, hiHz, 0.707);
    l2.Set(Biquad::LowPass, hiHz, 0.707);
    double band = 0.0, all = 0.0;
    for (float x : s) {
        const double y = l2.Run(l1.Run(h2.Run(h1.Run(x))));
        band += y * y;
        all += static_cast<double>(x) * x;
    }
    return all > 0.0 ? band / all : 0.0;
}

Signal Resample(const Signal& s, double step)
{
    if (s.empty() || step <= 0.0) return {};
    Signal out(static_cast<size_t>(static_cast<double>(s.size() - 1) / step) + 1);
    for (size_t i = 0; i < out.size(); ++i) {
        const double at = static_cast<double>(i) * step;
        const size_t k = static_cast<size_t>(at);
        const double f = at - static_cast<double>(k);
        out[i] = static_cast<float>(k + 1 < s.size() ? s[k] * (1.0 - f) + s[k + 1] * f : s[k]);
    }
    return out;
}

double Mean(const Signal& s)
{
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (float x : s) sum += x;
    return sum / s.size();
}

void SoftClip(Signal& s, double gain, double ceilingDb)
{
    const double ceiling = DbToGain(ceilingDb);
    const double knee = ceiling * 0.75;
    for (float& x : s) {
        double v = x * gain;
        const double a = std::fabs(v);
        if (a > knee) v = std::copysign(knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee)), v);
        x = static_cast<float>(v);
    }
}

void LimitPeaks(Signal& s, double ceiling)
{
    const size_t n = s.size();
    if (n == 0 || ceiling <= 0.0) return;
    // As the game's mix limiter: the gain falls over the 1.5 ms before a peak, holds
    // its lowest for 30 ms after it (longer than a cycle of the lowest notes, so the
    // gain never moves between the crests of a bass tone and bends its waveform) and
    // recovers over 80 ms.
    const size_t ahead = static_cast<size_t>(0.0015 * kRate);
    const size_t hold = static_cast<size_t>(0.030 * kRate);
    const double recover = 1.0 - std::exp(-1.0 / (0.080 * kRate));
    std::vector<double> need(n + ahead, 1.0);
    for (size_t i = 0; i < n; ++i) {
        const double a = std::fabs(s[i]);
        if (a > ceiling) need[i] = ceiling / a;
    }
    // The lowest need from `hold` samples back to `ahead` samples on, released
    // towards 1 once it has passed.
    std::vector<double> held(n, 1.0);
    std::deque<size_t> lowest; // indices of rising needs in the window
    double released = 1.0;
    for (size_t i = 0; i < n + ahead; ++i) {
        while (!lowest.empty() && need[lowest.back()] >= need[i]) lowest.pop_back();
        lowest.push_back(i);
        if (i < ahead) continue;
        const size_t at = i - ahead; // the window is at - hold .. i
        while (lowest.front() + hold < at) lowest.pop_front();
        released = std::min(need[lowest.front()], released + (1.0 - released) * recover);
        held[at] = released;
    }
    // Averaged over the `ahead` samples before each sample: every term already holds
    // that sample's need, so the average does too, and the fall becomes a ramp.
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        sum += held[i];
        if (i > ahead) sum -= held[i - ahead - 1];
        const double gain = sum / static_cast<double>(std::min(i, ahead) + 1);
        s[i] = static_cast<float>(s[i] * std::min(gain, 1.0));
    }
}

bool MasterLufs(Signal& s, double lufs, double ceilingDb, bool loop)
{
    const Signal raw = s;
    const double rawLufs = IntegratedLoudness(raw);
    if (rawLufs < -200.0) return false;
    // The gain goes after the loudness the peak control leaves; its ceiling comes
    // down by what the true peak overshoots between the samples.
    double gainDb = lufs - rawLufs, clipDb = ceilingDb;
    // Turning peaks down takes some loudness with them, so a step of gain brings less
    // than its size: the next step follows the slope of the last two.
    double lastGainDb = 0.0, lastLufs = 0.0;
    for (int pass = 0; pass < 16; ++pass) {
        s = raw;
        if (loop) {
            SoftClip(s, DbToGain(gainDb), clipDb);
        } else {
            const float gain = static_cast<float>(DbToGain(gainDb));
            for (float& x : s) x *= gain;
            LimitPeaks(s, DbToGain(clipDb));
        }
        const double now = IntegratedLoudness(s), peak = TruePeakDb(s);
        if (peak > ceilingDb) {
            clipDb -= peak - ceilingDb + 0.02;
        } else if (std::fabs(now - lufs) < 0.05) {
            return true;
        }
        double slope = 1.0;
        if (pass > 0 && std::fabs(gainDb - lastGainDb) > 1e-3)
            slope = std::clamp((now - lastLufs) / (gainDb - lastGainDb), 0.2, 1.0);
        lastGainDb = gainDb;
        lastLufs = now;
        gainDb += (lufs - now) / slope;
    }
    return false;
}

std::vector<int16_t> ToPcm16(const Signal& s)
{
    std::vector<int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lround(s[i] * 32767.0), -32768l, 32767l));
    return out;
}

namespace {
void Put16(std::string& b, uint16_t v) { b += static_cast<char>(v & 0xFF); b += static_cast<char>(v >> 8); }
void Put32(std::string& b, uint32_t v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }
} // namespace

bool WriteWav(const std::string& path, const Signal& s, int rate)
{
    const std::vector<int16_t> pcm = ToPcm16(s);
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::string b;
    b.reserve(44 + dataBytes);
    b += "RIFF"; Put32(b, 36 + dataBytes); b += "WAVE";
    b += "fmt "; Put32(b, 16); Put16(b, 1); Put16(b, 1); Put32(b, rate); Put32(b, rate * 2); Put16(b, 2); Put16(b, 16);
    b += "data"; Put32(b, dataBytes);
    for (int16_t v : pcm) Put16(b, static_cast<uint16_t>(v));
    // Write beside and rename, so an interrupted build never leaves half a file.
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    if (std::fclose(f) != 0 || !ok) { std::remove(tmp.c_str()); return false; }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

bool ReadWav(const std::string& path, Signal& left, Signal& right, std::string& error)
{
    left.clear();
    right.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) { error = "cannot open"; return false; }
    std::string b;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) b.append(buf, n);
    std::fclose(f);
    const auto u16 = [&b](size_t at) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8); };
    const auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) { error = "not a WAV file"; return false; }
    uint32_t channels = 0, rate = 0, bits = 0;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const size_t size = u32(at + 4), body = at + 8;
        if (size > b.size() - body) { error = "chunk runs past the end"; return false; }
        if (id == "fmt " && size >= 16) {
            if (u16(body) != 1) { error = "not PCM"; return false; }
            channels = u16(body + 2);
            rate = u32(body + 4);
            bits = u16(body + 14);
        } else if (id == "data") {
            if ((channels != 1 && channels != 2) || bits != 16 || rate != kRate) { error = "not 16-bit mono or stereo at 44.1 kHz"; return false; }
            const size_t frames = size / (2 * channels);
            left.resize(frames);
            if (channels == 2) right.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                left[i] = static_cast<int16_t>(u16(body + 2 * channels * i)) / 32768.0f;
                if (channels == 2) right[i] = static_cast<int16_t>(u16(body + 2 * channels * i + 2)) / 32768.0f;
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    error = "no data chunk";
    return false;
}

} // namespace Zant::Dsp
