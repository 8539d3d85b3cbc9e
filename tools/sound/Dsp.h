#pragma once
// Small signal-processing kit shared by the sound and music makers. Everything
// is deterministic (own random generator) so the build always writes the same
// bytes for the same recipes.
#include <cstdint>
#include <string>
#include <vector>

namespace Zant::Dsp {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Signal = std::vector<float>;

inline int Samples(double seconds) { return static_cast<int>(seconds * kRate + 0.5); }
double NoteHz(double midiNote);
double DbToGain(double db);
double GainToDb(double gain);

// xorshift generator: same numbers on every machine and library.
class Rng {
public:
    explicit Rng(uint64_t seed) : mState(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next();
    double Uniform();                         // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    float Noise() { return static_cast<float>(Uniform() * 2.0 - 1.0); }

private:
    uint64_t mState;
};

// RBJ biquad; coefficients may be changed per sample for sweeps.
class Biquad {
public:
    enum Kind { LowPass, HighPass, BandPass, Peak };
    void Set(Kind kind, double hz, double q, double gainDb = 0.0);
    float Run(float x);
    void Reset() { mX1 = mX2 = mY1 = mY2 = 0.0; }
    void SetCoefficients(double b0, double b1, double b2, double a1, double a2); // a0 = 1

private:
    double mB0 = 1, mB1 = 0, mB2 = 0, mA1 = 0, mA2 = 0;
    double mX1 = 0, mX2 = 0, mY1 = 0, mY2 = 0;
};

// One-pole smoothing low-pass (and the matching high-pass by subtraction).
class OnePole {
public:
    void Set(double hz);
    float Low(float x);
    float High(float x) { return x - Low(x); }
    void Reset() { mY = 0.0; }

private:
    double mA = 0.0, mY = 0.0;
};

// A small Schroeder reverb: parallel combs into series all-passes.
class Reverb {
public:
    Reverb(double roomSeconds, double damping);
    float Run(float x);

private:
    struct Line { std::vector<float> buf; size_t pos = 0; float store = 0; };
    std::vector<Line> mCombs, mAllPasses;
    float mFeedback, mDamp;
};

// Envelopes and shapes.
double Adsr(double t, double attack, double decay, double sustain, double release, double length);
double ExpDecay(double t, double seconds);   // e^(-t/seconds)
double Smooth(double x);                     // 0..1 smoothstep

// Sine partials with a frequency curve; phase is integrated, so glides are clean.
class Osc {
public:
    explicit Osc(double phase = 0.0) : mPhase(phase) {}
    double Sine(double hz);
    double Saw(double hz, int harmonics);    // band-limited additive saw
    double Square(double hz, int harmonics); // band-limited additive square
    double Phase() const { return mPhase; }

private:
    double mPhase;
};

// Adds one bubble: a decaying sine whose pitch rises as the bubble settles.
void AddBubble(Signal& out, double start, double hz, double amp, double rise, bool circular = false);

// Editing helpers.
void Mix(Signal& out, const Signal& in, double start = 0.0, double gain = 1.0, bool circular = false);
void FadeIn(Signal& s, double seconds);
void FadeOut(Signal& s, double seconds);
void RemoveDc(Signal& s);                    // subtract the mean, then a 15 Hz high-pass
void ApplyReverb(Signal& s, double mix, double room, double damping, double tailSeconds);
void LowPass(Signal& s, double hz, double q = 0.707);
void HighPass(Signal& s, double hz, double q = 0.707);
void Trim(Signal& s, double floorDb);        // drops the silent tail below the floor

// Measures.
double Peak(const Signal& s);
double Rms(const Signal& s);
double ShortTermLoudness(const Signal& s, double windowSeconds = 0.05); // loudest window RMS
double Mean(const Signal& s);
// Share (0..1) of the energy below hz: what small speakers cannot play.
double LowShare(const Signal& s, double hz = 150.0);
// Share (0..1) of the energy between two frequencies (fourth-order band edges).
double BandShare(const Signal& s, double loHz, double hiHz);
// Seconds over which a sound's ending falls from 6 dB under the loudest 50 ms
// of its last two seconds to 60 dB under it (or to its end): a cut ending
// reads as a few tens of milliseconds, a release or fade as its length.
double EndingFall(const Signal& s);

// Scales by gain and rounds the peaks off softly below the ceiling (dBFS).
void SoftClip(Signal& s, double gain, double ceilingDb);
// Turns the peaks over the ceiling (linear) down with a smooth gain: it falls over
// the 1.5 ms before a peak, holds for 30 ms and recovers over 80 ms, so an attack
// keeps its shape and is only quieter (a waveshaper would square it off) and a bass
// tone is turned down whole, not bent within its cycles.
void LimitPeaks(Signal& s, double ceiling);
// Scales to an integrated loudness in LUFS (ITU-R BS.1770, see Loudness.h) with
// the true peak at most the ceiling (dBTP). A one-shot sound's peaks over it are
// turned down smoothly (LimitPeaks); a loop's are taken by a soft clip, which has
// no memory and so keeps the loop's join. False when the sound cannot get there:
// its peaks stand so far over its body that turning them down takes the loudness
// with them (or it is silent); the sound is then left off its level.
[[nodiscard]] bool MasterLufs(Signal& s, double lufs, double ceilingDb = -1.0, bool loop = false);

// Plays a signal faster (step > 1) or slower, by linear interpolation.
Signal Resample(const Signal& s, double step);

// 16-bit conversion with rounding and saturation.
std::vector<int16_t> ToPcm16(const Signal& s);
bool WriteWav(const std::string& path, const Signal& s, int rate = kRate);
// Reads a 16-bit PCM WAV at kRate, mono (right left empty) or stereo.
bool ReadWav(const std::string& path, Signal& left, Signal& right, std::string& error);

} // namespace Zant::Dsp

namespace Zant::Dsp {

// Runs a stateful per-sample process over a loop twice and keeps the second
// pass: the state entering the loop is then the state leaving it, so filters,
// delays and reverbs wrap around the join without a seam.
template <class Process>
void RunCircular(Signal& s, Process process)
{
    for (float x : s) process(x);
    for (float& x : s) x = process(x);
}

} // namespace Zant::Dsp
