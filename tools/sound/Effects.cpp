#include "tools/sound/Effects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "tools/sound/Heard.h"

namespace Zant::Effects {

using namespace Dsp;

namespace {

struct Partial { double ratio, amp, decay; };

// A note ends in a short release, never cut off while it still sounds: the step
// would tick. A quarter of a short note at most.
void Release(Signal& s)
{
    FadeOut(s, std::min(0.04, static_cast<double>(s.size()) / kRate / 4.0));
}

// A struck tone: sine partials, each with its own exponential decay, damped at the end.
Signal Struck(double hz, double seconds, std::initializer_list<Partial> partials, double attack = 0.002)
{
    Signal s(Samples(seconds), 0.0f);
    for (const Partial& p : partials) {
        const double f = hz * p.ratio;
        if (f > kRate * 0.45) continue;
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double env = std::min(1.0, t / attack) * std::exp(-t / p.decay);
            s[i] += static_cast<float>(p.amp * env * std::sin(2.0 * kPi * f * t));
        }
    }
    Release(s);
    return s;
}

// Lays a recording under a synthesised sound at `under` times its loudest
// 50 ms: the synthesis keeps the sound's character, the recording brings a
// real strike and body. The recording ends with the synthesised sound.
Signal Layered(Signal synth, Signal recorded, double under)
{
    const double a = ShortTermLoudness(synth), b = ShortTermLoudness(recorded);
    if (a <= 0.0 || b <= 0.0) return synth;
    if (recorded.size() > synth.size()) {
        recorded.resize(synth.size());
        FadeOut(recorded, 0.03);
    }
    Mix(synth, recorded, 0.0, under * a / b);
    return synth;
}

// Vibraphone bar: round fundamental, a short metallic fourth partial, over a recorded vibraphone.
Signal Vibes(const Textures& t, double hz, double seconds = 1.2)
{
    return Layered(Struck(hz, seconds, {{1.0, 1.0, 0.55}, {4.0, 0.22, 0.09}, {10.0, 0.05, 0.025}}), t.vibes.At(KeyOf(hz)),
                   0.7);
}

// Glockenspiel: bright, inharmonic, short, over a recorded glockenspiel.
Signal Glock(const Textures& t, double hz, double seconds = 0.8)
{
    return Layered(Struck(hz, seconds, {{1.0, 1.0, 0.35}, {2.76, 0.35, 0.12}, {5.4, 0.15, 0.05}, {8.93, 0.06, 0.025}}, 0.001),
                   t.glock.At(KeyOf(hz)), 0.6);
}

// Mallet between marimba and glass, over a recorded marimba: the rising jellyfish tones.
Signal Mallet(const Textures& t, double hz, double seconds)
{
    return Layered(Struck(hz, seconds, {{1.0, 1.0, 0.28}, {2.0, 0.18, 0.16}, {3.93, 0.2, 0.05}, {9.2, 0.04, 0.015}}, 0.0015),
                   t.marimba.At(KeyOf(hz)), 0.7);
}

// Soft brass: band-limited saw through a filter that opens on the attack.
Signal Brass(double hz, double seconds, double vibratoDelay = 0.15)
{
    Signal s(Samples(seconds), 0.0f);
    Osc osc;
    Biquad lp;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double vib = t > vibratoDelay ? 1.0 + 0.006 * std::sin(2.0 * kPi * 5.5 * (t - vibratoDelay)) : 1.0;
        const double env = Adsr(t, 0.025, 0.12, 0.75, 0.08, seconds);
        lp.Set(Biquad::LowPass, hz * (1.5 + 4.0 * env), 0.9);
        s[i] = static_cast<float>(env * lp.Run(static_cast<float>(osc.Saw(hz * vib, 24))));
    }
    return s;
}

Signal Noise(double seconds, uint64_t seed)
{
    Rng rng(seed);
    Signal s(Samples(seconds));
    for (float& x : s) x = rng.Noise();
    Release(s);
    return s;
}

template <class EnvFn>
void Shape(Signal& s, EnvFn env)
{
    for (size_t i = 0; i < s.size(); ++i) s[i] *= static_cast<float>(env(static_cast<double>(i) / kRate));
}

// A rising train of bubbles between two times.
void Bubbles(Signal& s, uint64_t seed, int count, double from, double to, double loHz, double hiHz, double amp,
             bool thinning = true)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        double u = rng.Uniform();
        if (thinning) u = u * u; // denser at the start
        const double start = from + (to - from) * u;
        const double hz = loHz * std::pow(hiHz / loHz, rng.Uniform());
        AddBubble(s, start, hz, amp * rng.Range(0.4, 1.0), rng.Range(0.05, 0.2));
    }
}

// Pitch glide sine with an envelope and optional vibrato.
Signal Glide(double fromHz, double toHz, double glideSeconds, double seconds, double decay, double vibHz = 0.0,
             double vibDepth = 0.0)
{
    Signal s(Samples(seconds), 0.0f);
    Osc osc;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double k = std::min(1.0, t / glideSeconds);
        double f = fromHz * std::pow(toHz / fromHz, k);
        if (vibHz > 0.0) f *= 1.0 + vibDepth * std::sin(2.0 * kPi * vibHz * t);
        const double env = std::min(1.0, t / 0.002) * std::exp(-t / decay);
        s[i] = static_cast<float>(env * osc.Sine(f));
    }
    Release(s);
    return s;
}

Signal Silence(double seconds) { return Signal(Samples(seconds), 0.0f); }

// A stretch of the recorded surf, low-passed as water sounds from below, over
// a layer of filtered noise that breaks up in small lumps (the churn).
Signal Water(const Textures& t, double from, double seconds, double lowPassHz, uint64_t seed)
{
    Signal s(Samples(seconds), 0.0f);
    const size_t at = std::min(t.surf.size(), static_cast<size_t>(Samples(from)));
    for (size_t i = 0; i < s.size() && at + i < t.surf.size(); ++i) s[i] = t.surf[at + i];
    const double sr = Rms(s);
    if (sr > 0.0)
        for (float& x : s) x = static_cast<float>(x / sr);
    Signal churn = Noise(seconds, seed);
    Biquad bp;
    bp.Set(Biquad::BandPass, 700.0, 0.9);
    Rng grain(seed + 1);
    double g = 1.0;
    for (size_t i = 0; i < churn.size(); ++i) {
        if (i % 330 == 0) g = 0.3 + 0.7 * grain.Uniform();
        churn[i] = static_cast<float>(2.0 * g * bp.Run(churn[i]));
    }
    Mix(s, churn, 0.0, 0.5);
    LowPass(s, lowPassHz);
    LowPass(s, lowPassHz);
    Release(s);
    return s;
}

// A recorded texture from `from`, scaled to unit RMS.
Signal Take(const Signal& texture, double speed = 1.0)
{
    Signal s = speed == 1.0 ? texture : Resample(texture, speed);
    const double r = Rms(s);
    if (r > 0.0)
        for (float& x : s) x = static_cast<float>(x / r);
    return s;
}

// A jaw snapping shut: the recorded crack, dulled by the water, over a short
// burst of crunchy band-passed noise.
Signal Chomp(const Textures& t, uint64_t seed)
{
    Signal s = Take(t.snap);
    LowPass(s, 3500.0);
    Signal crunch = Noise(0.08, seed);
    Biquad bp;
    bp.Set(Biquad::BandPass, 1100.0, 1.2);
    // A few grains catch harder: each swells for a millisecond, as a single loud
    // sample would tick.
    Rng rng(seed + 7);
    const int grain = Samples(0.001);
    int inGrain = grain;
    for (size_t i = 0; i < crunch.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        if (inGrain >= grain && rng.Uniform() < 0.02) inGrain = 0;
        const double tooth = inGrain < grain ? 1.0 + 2.0 * std::sin(kPi * (inGrain + 0.5) / grain) : 1.0;
        ++inGrain;
        crunch[i] = static_cast<float>(tooth * bp.Run(crunch[i]) * std::min(1.0, t / 0.001) * std::exp(-t / 0.02));
    }
    Mix(s, crunch, 0.0, 2.0);
    return s;
}

// The short, dark room of open water: a brief reverb whose tail loses its top.
void UnderwaterSpace(Signal& s, double mix = 0.3)
{
    Signal wet = s;
    wet.resize(s.size() + Samples(0.3), 0.0f);
    Reverb r(0.55, 0.7);
    for (float& x : wet) x = r.Run(x);
    LowPass(wet, 2200.0);
    s.resize(wet.size(), 0.0f);
    for (size_t i = 0; i < s.size(); ++i) s[i] += static_cast<float>(mix * wet[i]);
}

// ---- typing and interface ----------------------------------------------------

Signal Click(double pingHz, double bodyHz, uint64_t seed)
{
    Signal s = Noise(0.07, seed);
    Biquad bp, lp;
    bp.Set(Biquad::BandPass, 3600.0, 0.9);
    lp.Set(Biquad::LowPass, 9000.0, 0.7);
    Osc ping, body;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double tick = lp.Run(bp.Run(s[i])) * std::min(1.0, t / 0.0004) * std::exp(-t / 0.004);
        const double ring = ping.Sine(pingHz) * std::min(1.0, t / 0.0003) * std::exp(-t / 0.011);
        const double thump = body.Sine(bodyHz * (1.0 - 0.15 * std::min(1.0, t / 0.02))) * std::min(1.0, t / 0.0005) *
                             std::exp(-t / 0.008);
        s[i] = static_cast<float>(0.5 * tick + 0.35 * ring + 0.5 * thump);
    }
    return s;
}

Signal Type1(const Textures&) { return Click(1900.0, 380.0, 11); }
Signal Type2(const Textures&) { return Click(2250.0, 420.0, 12); }
Signal Type3(const Textures&) { return Click(1650.0, 340.0, 13); }

Signal ButtonClick(const Textures& t)
{
    // A rising chirp over the tap of a recorded wood block.
    Signal s = Layered(Glide(700.0, 1300.0, 0.035, 0.09, 0.022), t.block, 0.6);
    Signal tick = Noise(0.01, 5);
    HighPass(tick, 3000.0);
    Shape(tick, [](double t) { return std::exp(-t / 0.0015); });
    Mix(s, tick, 0.0, 0.35);
    return s;
}

Signal Wrong(const Textures&)
{
    Signal s(Samples(0.24), 0.0f);
    Osc a, b;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double drop = 1.0 - 0.06 * std::min(1.0, t / 0.2);
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.07);
        s[i] = static_cast<float>(env * (a.Square(150.0 * drop, 21) + b.Square(159.0 * drop, 21)) * 0.5);
    }
    // The low buzz is what it says, but its body, where small speakers play it, is
    // the harmonics from 450 Hz up to a few kHz: the ear still hears the 150 Hz
    // pitch in them when the fundamental is thinned.
    LowPass(s, 2800.0);
    HighPass(s, 200.0);
    Biquad body;
    body.Set(Biquad::Peak, 800.0, 0.8, 6.0);
    for (float& x : s) x = body.Run(x);
    return s;
}

// ---- creatures -------------------------------------------------------------------

Signal SharkDies(const Textures& t)
{
    // A thump, a dying cry falling away and the body rolling over in a swirl of water and bubbles.
    Signal s = Glide(950.0, 180.0, 0.09, 0.9, 0.06);
    for (float& x : s) x *= 0.5f;
    Mix(s, Take(t.thud, 1.2), 0.0, 0.12);
    Signal swirl = Water(t, 0.3, 0.7, 1600.0, 31);
    Shape(swirl, [](double u) { return std::min(1.0, u / 0.01) * std::exp(-u / 0.16); });
    Mix(s, swirl, 0.0, 0.3);
    Bubbles(s, 32, 18, 0.03, 0.6, 350.0, 1400.0, 0.35);
    UnderwaterSpace(s, 0.3);
    return s;
}

Signal PlayerDies(const Textures& t)
{
    Signal s = Silence(1.2);
    // Two bites, each a snap of the jaws with a thump behind it, under the womp and the
    // swirl that carry the sound's loudness.
    for (double at : {0.0, 0.15}) {
        Mix(s, Chomp(t, 21 + static_cast<uint64_t>(at * 100)), at, 0.18);
        Mix(s, Take(t.thud, 0.9), at, 0.14);
    }
    // A cartoon "womp" falling away: the diver is bitten, not hurt for real.
    Signal womp(Samples(0.65), 0.0f);
    Osc osc;
    for (size_t i = 0; i < womp.size(); ++i) {
        const double u = static_cast<double>(i) / kRate;
        const double f = 480.0 * std::pow(140.0 / 480.0, u / 0.6) * (1.0 + 0.03 * std::sin(2.0 * kPi * 8.0 * u));
        womp[i] = static_cast<float>(Adsr(u, 0.02, 0.1, 0.8, 0.25, 0.65) * osc.Saw(f, 8));
    }
    LowPass(womp, 1500.0);
    Mix(s, womp, 0.3, 0.5);
    Signal swirl = Water(t, 0.8, 0.9, 1800.0, 24);
    Shape(swirl, [](double u) { return Smooth(u / 0.05) * std::exp(-u / 0.3); });
    Mix(s, swirl, 0.05, 0.25);
    Bubbles(s, 23, 14, 0.3, 1.0, 300.0, 1100.0, 0.25);
    UnderwaterSpace(s, 0.25);
    return s;
}

Signal SharkHurt(const Textures& tx)
{
    // A bite into the shark: the jaws' snap, a thump, and a wobbling yelp.
    Signal s = Glide(140.0, 100.0, 0.06, 0.45, 0.07);
    for (float& x : s) x *= 0.5f;
    Mix(s, Chomp(tx, 41), 0.0, 0.18);
    Signal wobble(Samples(0.4), 0.0f);
    Osc osc;
    for (size_t i = 0; i < wobble.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 330.0 * std::pow(220.0 / 330.0, std::min(1.0, t / 0.3)) * (1.0 + 0.06 * std::sin(2.0 * kPi * 22.0 * t));
        const double v = osc.Sine(f);
        wobble[i] = static_cast<float>(std::min(1.0, t / 0.01) * std::exp(-t / 0.14) * (v + 0.2 * v * v * v));
    }
    Mix(s, wobble, 0.02, 0.7);
    UnderwaterSpace(s, 0.15);
    return s;
}

Signal PiranhaDies(const Textures& t)
{
    // A small fish: a click of its jaws, a squeak falling away, a flick of water and a few bubbles.
    Signal s = Glide(1400.0, 450.0, 0.04, 0.3, 0.03);
    for (float& x : s) x *= 0.6f;
    Signal snap = Take(t.snap, 1.3);
    HighPass(snap, 600.0);
    Mix(s, snap, 0.0, 0.12);
    Signal flick = Water(t, 1.2, 0.2, 2500.0, 51);
    Shape(flick, [](double u) { return std::min(1.0, u / 0.004) * std::exp(-u / 0.05); });
    Mix(s, flick, 0.0, 0.25);
    Bubbles(s, 52, 4, 0.04, 0.2, 700.0, 1600.0, 0.35, false);
    UnderwaterSpace(s, 0.2);
    return s;
}

Signal Jellyfish(const Textures& t)
{
    Signal s = Glide(600.0, 260.0, 0.18, 0.8, 0.15, 14.0, 0.04);
    Mix(s, Glock(t, NoteHz(88)), 0.08, 0.18);
    Mix(s, Glock(t, NoteHz(95)), 0.17, 0.14);
    Bubbles(s, 61, 6, 0.05, 0.5, 500.0, 1300.0, 0.3);
    ApplyReverb(s, 0.3, 0.75, 0.4, 0.3);
    return s;
}

Signal DiverEnters(const Textures& t)
{
    // The diver breaks the surface: a recorded splash, dulled under water, its churn and a stream of bubbles.
    // It also bursts from every treasure word, a few times a second with the word's count tone and
    // last keystroke: so it is short, and its rush swells in after their strikes instead of on them.
    Signal s = Water(t, 0.0, 0.5, 2500.0, 71);
    for (size_t i = 0; i < s.size(); ++i) {
        const double u = static_cast<double>(i) / kRate;
        s[i] *= static_cast<float>(std::min(1.0, u / 0.06) * (0.7 * std::exp(-u / 0.06) + 0.3 * std::exp(-u / 0.12)));
    }
    Mix(s, Take(t.thud, 0.8), 0.05, 0.1);
    Bubbles(s, 73, 20, 0.05, 0.4, 300.0, 1600.0, 0.35);
    UnderwaterSpace(s, 0.2);
    return s;
}

// ---- bosses and weapons ------------------------------------------------------

Signal SonarPing(const Textures&)
{
    Signal s = Silence(0.3);
    Signal ping = Struck(1480.0, 0.3, {{1.0, 1.0, 0.09}, {2.0, 0.05, 0.03}}, 0.002);
    Mix(s, ping, 0.0, 1.0);
    Signal echo = ping;
    LowPass(echo, 1600.0);
    Mix(s, echo, 0.55, 0.25);
    Mix(s, echo, 1.1, 0.1);
    ApplyReverb(s, 0.9, 0.93, 0.3, 0.2);
    s.resize(Samples(1.9), 0.0f);
    FadeOut(s, 0.5);
    return s;
}

Signal TorpedoLaunch(const Textures& t)
{
    // The tube's thump with a recorded drum's punch, and the metal clank of its latch.
    // The rushing water carries its loudness, the thump its punch: a thump loud enough
    // to carry both would stand far over the ceiling and be squashed.
    Signal s = Layered(Struck(70.0, 1.1, {{1.0, 1.0, 0.12}, {2.0, 0.4, 0.06}}, 0.002), t.kick, 0.6);
    for (float& x : s) x *= 0.6f;
    Signal clank = Layered(Struck(820.0, 0.2, {{1.0, 0.5, 0.04}, {2.63, 0.4, 0.03}, {4.1, 0.3, 0.02}}, 0.0005),
                           Resample(t.ring, 0.8), 0.8);
    Mix(s, clank, 0.0, 0.5);
    Signal whoosh = Noise(0.8, 81);
    Biquad bp;
    for (size_t i = 0; i < whoosh.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        bp.Set(Biquad::BandPass, 400.0 * std::pow(5.0, std::min(1.0, t / 0.5)), 1.2);
        whoosh[i] = static_cast<float>(bp.Run(whoosh[i]) * Adsr(t, 0.05, 0.2, 0.5, 0.4, 0.8) * 1.5);
    }
    Mix(s, whoosh, 0.03, 1.0);
    Bubbles(s, 82, 25, 0.05, 0.85, 250.0, 1200.0, 0.3);
    LowPass(s, 5000.0);
    return s;
}

Signal Explosion(const Textures& t)
{
    // The blast's weight is in its low boom, but laptop speakers play little
    // under 200 Hz: its body (a crunching burst, the blast's roar and the
    // water it throws) sits between 200 Hz and 2 kHz.
    // A dying boss sets one off every third of a second. The blast spends its force
    // in a dense fifth of a second and falls some 20 dB before the next one starts,
    // its tail of rumble, bubbles and space staying well under the body: a string of
    // blasts stays a string of blasts instead of stacking into a wall of noise that
    // the mix bus has to turn down. The loudness sits in the roar, whose crests are
    // rounded off (a crunch, as an overdriven blast sounds), not in the recorded
    // strikes, which would be the sound's peaks without adding to its loudness.
    constexpr double kHold = 0.2, kFall = 0.05, kTail = 0.2;
    auto body = [](double u) { return u < kHold ? 1.0 : std::exp(-(u - kHold) / kFall); };
    Signal s = Glide(60.0, 32.0, 0.4, 2.0, 0.3);
    for (float& x : s) x = static_cast<float>(0.3 * std::tanh(2.5 * x)); // overdriven: harmonics an octave and more up
    // It swells under the strike rather than on it: the crests of a low tone on top of
    // the strike's would be the sound's peaks without adding to its loudness.
    Shape(s, [](double u) { return 0.4 + 0.6 * Smooth(u / 0.05); });
    Signal rumble = Noise(2.0, 92);
    LowPass(rumble, 150.0);
    LowPass(rumble, 150.0);
    Signal roar = Noise(2.0, 91);
    HighPass(roar, 220.0);
    LowPass(roar, 1400.0);
    for (size_t i = 0; i < roar.size(); ++i) {
        const double u = static_cast<double>(i) / kRate;
        const double a = std::min(1.0, u / 0.002);
        const double swell = 0.5 + 0.5 * Smooth(u / 0.03);
        const double env = std::max(body(u), kTail * std::exp(-u / 0.6));
        roar[i] = static_cast<float>(roar[i] * a * swell * env * 6.0 + rumble[i] * a * env * 0.6);
    }
    {
        // Crests over twice the body's RMS are rounded off.
        const Signal head(roar.begin(), roar.begin() + Samples(0.2));
        const double knee = 2.0 * Rms(head);
        for (float& x : roar) x = static_cast<float>(knee * std::tanh(x / knee));
    }
    Mix(s, roar, 0.0, 1.0);
    Signal crack = Noise(0.15, 93);
    Biquad bp;
    bp.Set(Biquad::BandPass, 1200.0, 0.7);
    for (float& x : crack) x = bp.Run(x);
    Shape(crack, [](double u) { return std::exp(-u / 0.03); });
    Mix(s, crack, 0.0, 0.4);
    Signal hit = Take(t.thud, 0.8);
    HighPass(hit, 180.0);
    Mix(s, hit, 0.0, 0.08);
    Signal boom = Take(t.kick, 0.7);
    HighPass(boom, 90.0);
    Mix(s, boom, 0.0, 0.064);
    Signal spray = Water(t, 0.4, 1.6, 1800.0, 95);
    Shape(spray, [&](double u) { return Smooth(u / 0.04) * std::max(body(u), kTail * std::exp(-u / 0.5)); });
    Mix(s, spray, 0.02, 0.21);
    Bubbles(s, 94, 30, 0.3, 1.6, 200.0, 600.0, 0.1, false);
    UnderwaterSpace(s, 0.15);
    return s;
}

Signal Emp(const Textures&)
{
    Signal s = Silence(1.6);
    Osc osc;
    Biquad lp;
    for (int i = 0; i < Samples(1.0); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 150.0 * std::pow(12.0, std::min(1.0, t / 0.9));
        lp.Set(Biquad::LowPass, f * 3.0, 2.0);
        const double buzz = 1.0 - 0.4 * (0.5 + 0.5 * std::sin(2.0 * kPi * 40.0 * t));
        s[i] += static_cast<float>(Adsr(t, 0.02, 0.1, 0.9, 0.25, 1.0) * buzz * lp.Run(static_cast<float>(osc.Saw(f, 30))));
    }
    Signal whoosh = Noise(1.0, 101);
    Biquad bp;
    for (size_t i = 0; i < whoosh.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        bp.Set(Biquad::BandPass, 3000.0 * std::pow(400.0 / 3000.0, t), 1.0);
        whoosh[i] = static_cast<float>(bp.Run(whoosh[i]) * Adsr(t, 0.1, 0.2, 0.7, 0.6, 1.0) * 1.6);
    }
    Mix(s, whoosh, 0.55, 0.8);
    Rng rng(102);
    Signal crackle = Silence(1.1);
    for (int k = 0; k < 60; ++k) crackle[Samples(rng.Range(0.0, 1.05))] += static_cast<float>(rng.Range(-1.0, 1.0));
    Biquad cbp;
    cbp.Set(Biquad::BandPass, 4000.0, 1.5);
    for (float& x : crackle) x = cbp.Run(x) * 3.0f;
    Mix(s, crackle, 0.0, 0.3);
    ApplyReverb(s, 0.25, 0.7, 0.4, 0.3);
    return s;
}

// ---- rewards -----------------------------------------------------------------------

Signal Sparkle(const Textures& t, uint64_t seed, int count, double from, double to)
{
    Signal s = Silence(to + 0.6);
    Rng rng(seed);
    for (int i = 0; i < count; ++i)
        Mix(s, Glock(t, rng.Range(2600.0, 5200.0), 0.4), rng.Range(from, to), rng.Range(0.03, 0.09));
    return s;
}

Signal Arpeggio(const Textures& t, std::initializer_list<double> notes, double step,
                Signal (*voice)(const Textures&, double, double), double hold)
{
    Signal s;
    double at = 0.0;
    for (double n : notes) {
        Mix(s, voice(t, NoteHz(n), hold), at, 0.5);
        at += step;
    }
    return s;
}

Signal WaveBonus(const Textures& t)
{
    Signal s = Arpeggio(t, {79, 84}, 0.12, Vibes, 0.9);
    ApplyReverb(s, 0.3, 0.75, 0.4, 0.3);
    return s;
}

Signal WaveBonus2(const Textures& t)
{
    Signal s = Arpeggio(t, {72, 76, 79, 84}, 0.1, Vibes, 0.9);
    ApplyReverb(s, 0.3, 0.75, 0.4, 0.3);
    return s;
}

Signal WaveBonus3(const Textures& t)
{
    Signal s = Arpeggio(t, {72, 76, 79, 84, 88}, 0.08, Vibes, 1.0);
    Mix(s, Glock(t, NoteHz(96)), 0.4, 0.3);
    Mix(s, Glock(t, NoteHz(100)), 0.48, 0.25);
    Mix(s, Sparkle(t, 111, 10, 0.4, 1.0), 0.0, 1.0);
    ApplyReverb(s, 0.3, 0.8, 0.4, 0.4);
    return s;
}

Signal WinGem(const Textures& t)
{
    Signal s = Arpeggio(t, {84, 88, 91, 96, 100}, 0.06, Glock, 0.8);
    Mix(s, Vibes(t, NoteHz(72), 1.2), 0.0, 0.35);
    Mix(s, Vibes(t, NoteHz(79), 1.2), 0.24, 0.3);
    Mix(s, Sparkle(t, 121, 14, 0.2, 0.9), 0.0, 1.0);
    ApplyReverb(s, 0.35, 0.8, 0.35, 0.4);
    return s;
}

Signal Treasure(const Textures& t)
{
    Signal s;
    Mix(s, Brass(NoteHz(67), 0.13), 0.0, 0.5);
    Mix(s, Brass(NoteHz(72), 0.13), 0.13, 0.5);
    Mix(s, Brass(NoteHz(76), 0.13), 0.26, 0.5);
    Mix(s, Brass(NoteHz(79), 0.9), 0.39, 0.5);
    Mix(s, Brass(NoteHz(76), 0.9), 0.39, 0.3);
    Mix(s, Brass(NoteHz(72), 0.9), 0.39, 0.3);
    Mix(s, Glock(t, NoteHz(91)), 0.39, 0.25);
    Mix(s, Sparkle(t, 131, 8, 0.45, 1.1), 0.0, 0.8);
    ApplyReverb(s, 0.25, 0.8, 0.4, 0.4);
    return s;
}

Signal ExtraLife(const Textures& t)
{
    Signal s = Arpeggio(t, {79, 84, 88, 91}, 0.07, Vibes, 0.5);
    Mix(s, Vibes(t, NoteHz(96), 1.0), 0.3, 0.45);
    Mix(s, Glock(t, NoteHz(96)), 0.3, 0.3);
    Mix(s, Vibes(t, NoteHz(91), 1.0), 0.3, 0.25);
    Mix(s, Sparkle(t, 141, 8, 0.3, 0.9), 0.0, 0.8);
    ApplyReverb(s, 0.3, 0.78, 0.4, 0.35);
    return s;
}

// The thirteen rising tones: a C major scale from C5, one step per jellyfish.
template <int Step>
Signal Tone(const Textures& t)
{
    static const int kScale[13] = {72, 74, 76, 77, 79, 81, 83, 84, 86, 88, 89, 91, 93};
    // Dry: a comb reverb rings at its own pitches and cut some notes' tails
    // short, so the steps decayed unevenly. Short, as a count of treasure words
    // strikes them a few times a second.
    return Mallet(t, NoteHz(kScale[Step]), 0.4);
}

Signal DiveBell(const Textures& t)
{
    Signal s = Struck(587.0, 2.4,
                      {{0.5, 0.35, 1.8}, {1.0, 1.0, 1.3}, {1.19, 0.45, 0.9}, {1.5, 0.35, 0.8},
                       {2.0, 0.5, 0.7}, {2.74, 0.25, 0.4}, {3.0, 0.2, 0.35}, {4.07, 0.12, 0.2}},
                      0.001);
    s = Layered(std::move(s), t.tubular.At(KeyOf(587.0)), 0.8);
    Signal strike = Noise(0.02, 151);
    HighPass(strike, 2000.0);
    Shape(strike, [](double t) { return std::exp(-t / 0.003); });
    Mix(s, strike, 0.0, 0.3);
    ApplyReverb(s, 0.3, 0.8, 0.4, 0.4);
    return s;
}

Signal ShipMove(const Textures& t)
{
    // A short swish of water as the boat moves on the map.
    Signal s = Water(t, 0.6, 0.35, 900.0, 161);
    Shape(s, [](double u) { return Smooth(u / 0.03) * std::exp(-std::max(0.0, u - 0.03) / 0.1); });
    AddBubble(s, 0.05, 300.0, 0.4, 0.3);
    AddBubble(s, 0.09, 420.0, 0.25, 0.3);
    return s;
}

Signal Bad(const Textures&)
{
    Signal s;
    const double notes[3] = {58, 57, 56};
    const double lens[3] = {0.2, 0.2, 0.45};
    double at = 0.0;
    for (int k = 0; k < 3; ++k) {
        Signal n(Samples(lens[k]), 0.0f);
        Osc osc;
        Biquad lp;
        for (size_t i = 0; i < n.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double droop = k == 2 ? std::pow(0.94, t / lens[k]) : 1.0;
            const double env = Adsr(t, 0.02, 0.05, 0.8, 0.06, lens[k]);
            // The "wah": the filter opens and closes over each note.
            lp.Set(Biquad::LowPass, 300.0 + 1400.0 * std::sin(kPi * std::min(1.0, t / lens[k])), 1.5);
            n[i] = static_cast<float>(env * lp.Run(static_cast<float>(osc.Saw(NoteHz(notes[k]) * droop, 20))));
        }
        Mix(s, n, at, 1.0);
        at += lens[k];
    }
    return s;
}

// ---- ambience loops ----------------------------------------------------------------
// Every component repeats a whole number of times over the loop, noise is
// filtered circularly and bubbles wrap around, so the end flows into the start.

double LoopSine(int cycles, size_t i, size_t n, double phase = 0.0)
{
    return std::sin(2.0 * kPi * (static_cast<double>(cycles) * static_cast<double>(i) / static_cast<double>(n) + phase));
}

int Cycles(double hz, double seconds) { return std::max(1, static_cast<int>(std::lround(hz * seconds))); }

Signal LoopNoise(size_t n, uint64_t seed, Biquad::Kind kind, double hz, double q)
{
    Rng rng(seed);
    Signal s(n);
    for (float& x : s) x = rng.Noise();
    Biquad f1, f2;
    f1.Set(kind, hz, q);
    f2.Set(kind, hz, q);
    RunCircular(s, [&](float x) { return f2.Run(f1.Run(x)); });
    return s;
}

Signal Eerie1(const Textures&)
{
    const double seconds = 6.0;
    const size_t n = Samples(seconds);
    Signal s(n, 0.0f);
    // A drone of slowly beating partials: a little fundamental, its body an
    // octave and more up, where small speakers still play it.
    const double drone[][2] = {{55.0, 0.15}, {110.0, 0.3}, {110.5, 0.25}, {165.0, 0.3}, {220.0, 0.3}, {330.0, 0.25}, {440.0, 0.12}};
    for (const auto& d : drone)
        for (size_t i = 0; i < n; ++i) s[i] += static_cast<float>(d[1] * LoopSine(Cycles(d[0], seconds), i, n));
    // Dark water breathing twice per loop.
    Signal rumble = LoopNoise(n, 201, Biquad::BandPass, 380.0, 0.8);
    const double rr = Rms(rumble);
    for (size_t i = 0; i < n; ++i)
        s[i] += static_cast<float>(0.35 / rr * rumble[i] * (0.7 + 0.3 * LoopSine(2, i, n)));
    // A distant moan drifting around 440 Hz, sounding once per loop.
    double phase = 0.0;
    const int moanCycles = Cycles(440.0, seconds);
    for (size_t i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / n;
        const double f = moanCycles / seconds + 55.0 * std::sin(2.0 * kPi * u) + 20.0 * std::sin(4.0 * kPi * u);
        const double env = std::pow(std::max(0.0, std::sin(kPi * u)), 3.0);
        s[i] += static_cast<float>(0.18 * env * std::sin(phase));
        phase += 2.0 * kPi * f / kRate;
    }
    Biquad lp;
    lp.Set(Biquad::LowPass, 1200.0, 0.7);
    RunCircular(s, [&](float x) { return lp.Run(x); });
    return s;
}

Signal Eerie3(const Textures&)
{
    const double seconds = 6.0;
    const size_t n = Samples(seconds);
    Signal s(n, 0.0f);
    // Glassy cluster, each voice swelling at its own whole-number rate.
    const double voices[][3] = {{880.0, 0.2, 1}, {1320.0, 0.14, 2}, {1975.5, 0.1, 3}, {1046.5, 0.12, 3}, {659.3, 0.16, 2}};
    int k = 0;
    for (const auto& v : voices) {
        const int c = Cycles(v[0], seconds);
        for (size_t i = 0; i < n; ++i) {
            const double swell = 0.5 + 0.5 * LoopSine(static_cast<int>(v[2]), i, n, 0.2 * k);
            s[i] += static_cast<float>(v[1] * swell * swell * LoopSine(c, i, n));
        }
        ++k;
    }
    Signal hiss = LoopNoise(n, 301, Biquad::BandPass, 3200.0, 2.0);
    const double hr = Rms(hiss);
    for (size_t i = 0; i < n; ++i) s[i] += static_cast<float>(0.04 / hr * hiss[i] * (0.6 + 0.4 * LoopSine(3, i, n)));
    for (size_t i = 0; i < n; ++i) s[i] += static_cast<float>(0.25 * LoopSine(Cycles(73.4, seconds), i, n));
    Reverb r(0.9, 0.3);
    RunCircular(s, [&](float x) { return static_cast<float>(x + 0.5 * r.Run(x)); });
    return s;
}

Signal UnderwaterLoop(const Textures&)
{
    const double seconds = 8.0;
    const size_t n = Samples(seconds);
    Signal rumble = LoopNoise(n, 401, Biquad::LowPass, 150.0, 0.7);
    Signal current = LoopNoise(n, 402, Biquad::BandPass, 500.0, 0.8);
    const double rr = Rms(rumble), cr = Rms(current);
    Signal s(n, 0.0f);
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<float>(0.3 / rr * rumble[i] + 0.35 / cr * current[i] * (0.6 + 0.4 * LoopSine(3, i, n, 0.3)));
    // Bubbles rise now and then, in small clusters; those near the end wrap into the start.
    Rng rng(403);
    for (int cluster = 0; cluster < 14; ++cluster) {
        const double at = rng.Range(0.0, seconds);
        const int count = 1 + static_cast<int>(rng.Uniform() * 5);
        for (int b = 0; b < count; ++b)
            AddBubble(s, std::fmod(at + b * rng.Range(0.04, 0.15), seconds), rng.Range(350.0, 1300.0),
                      rng.Range(0.25, 0.6), rng.Range(0.05, 0.2), true);
    }
    Biquad lp;
    lp.Set(Biquad::LowPass, 2500.0, 0.7);
    RunCircular(s, [&](float x) { return lp.Run(x); });
    return s;
}

} // namespace

const std::vector<KindLevel>& Levels()
{
    // What a player hears: typing feedback quiet under the music (-20), hits and
    // interface clicks over it, rewards bright and alarms, explosions and boss events
    // loudest. Ambience stays under everything.
    static const std::vector<KindLevel> levels = {
        {Kind::Click, "click", -26.0}, {Kind::Hit, "hit", -21.0}, {Kind::Reward, "reward", -18.0},
        {Kind::Alarm, "alarm", -17.0}, {Kind::Ambience, "ambience", -30.0},
    };
    return levels;
}

const KindLevel& LevelOf(Kind kind)
{
    for (const KindLevel& l : Levels())
        if (l.kind == kind) return l;
    return Levels().front();
}

std::optional<Textures> LoadTextures(const SoundFont& font, std::string& error)
{
    // (bank, program, key, seconds): the bank's note played at its own pitch.
    const auto take = [&](int bank, int program, int key, double seconds) -> std::optional<Signal> {
        auto note = font.Note(bank, program, key, error);
        if (!note) return std::nullopt;
        return note->Sounding(key, seconds);
    };
    // Pitched instruments: (program, lowest key, highest key, seconds), every third key.
    const auto pitched = [&](int program, int low, int high, double seconds) {
        return RecordedInstrument::Take(font, 0, program, low, high, 3, seconds, error);
    };
    Textures t;
    auto surf = take(0, 122, 60, 2.0);     // Seashore
    auto snap = take(128, 0, 37, 0.3);     // side stick
    auto thud = take(128, 0, 41, 0.6);     // low floor tom
    auto scrape = take(128, 0, 55, 1.2);   // splash cymbal
    auto kick = take(128, 0, 35, 0.6);     // acoustic bass drum
    auto ring = take(128, 0, 53, 0.4);     // ride cymbal's bell
    auto block = take(128, 0, 76, 0.15);   // high wood block
    auto vibes = pitched(11, 60, 102, 1.3);
    auto glock = pitched(9, 72, 99, 0.9);
    auto marimba = pitched(12, 69, 96, 0.8);
    auto tubular = pitched(14, 74, 74, 2.4);
    if (!surf || !snap || !thud || !scrape || !kick || !ring || !block || !vibes || !glock || !marimba || !tubular)
        return std::nullopt;
    t.surf = std::move(*surf);
    t.snap = std::move(*snap);
    t.thud = std::move(*thud);
    t.scrape = std::move(*scrape);
    t.kick = std::move(*kick);
    t.ring = std::move(*ring);
    t.block = std::move(*block);
    t.vibes = std::move(*vibes);
    t.glock = std::move(*glock);
    t.marimba = std::move(*marimba);
    t.tubular = std::move(*tubular);
    return t;
}

const std::vector<Recipe>& Table()
{
    static const std::vector<Recipe> table = {
        {"eerie1", true, Kind::Ambience, Eerie1},
        {"eerie3", true, Kind::Ambience, Eerie3},
        {"playerdies", false, Kind::Alarm, PlayerDies},
        {"sharkdies", false, Kind::Hit, SharkDies},
        {"wrong", false, Kind::Click, Wrong},
        {"buttonclick", false, Kind::Hit, ButtonClick},
        {"divebell1", false, Kind::Reward, DiveBell},
        {"wingem", false, Kind::Reward, WinGem},
        {"wave_bonus", false, Kind::Reward, WaveBonus},
        {"wave_bonus2", false, Kind::Reward, WaveBonus2},
        {"wave_bonus3", false, Kind::Reward, WaveBonus3},
        {"treasure", false, Kind::Reward, Treasure},
        {"shipmove", false, Kind::Hit, ShipMove},
        {"emp", false, Kind::Alarm, Emp},
        {"extralife", false, Kind::Reward, ExtraLife},
        {"tone1", false, Kind::Reward, Tone<0>},
        {"tone2", false, Kind::Reward, Tone<1>},
        {"tone3", false, Kind::Reward, Tone<2>},
        {"tone4", false, Kind::Reward, Tone<3>},
        {"tone5", false, Kind::Reward, Tone<4>},
        {"tone6", false, Kind::Reward, Tone<5>},
        {"tone7", false, Kind::Reward, Tone<6>},
        {"tone8", false, Kind::Reward, Tone<7>},
        {"tone9", false, Kind::Reward, Tone<8>},
        {"tone10", false, Kind::Reward, Tone<9>},
        {"tone11", false, Kind::Reward, Tone<10>},
        {"tone12", false, Kind::Reward, Tone<11>},
        {"tone13", false, Kind::Reward, Tone<12>},
        {"sonarping1", false, Kind::Alarm, SonarPing},
        {"torpedolaunch", false, Kind::Alarm, TorpedoLaunch},
        {"jellyfish", false, Kind::Hit, Jellyfish},
        {"explosion", false, Kind::Alarm, Explosion},
        {"type", false, Kind::Click, Type1},
        {"type2", false, Kind::Click, Type2},
        {"type3", false, Kind::Click, Type3},
        {"sharkhurt", false, Kind::Hit, SharkHurt},
        {"diverenters", false, Kind::Hit, DiverEnters},
        {"piranhadies1", false, Kind::Hit, PiranhaDies},
        {"underwaterloop", true, Kind::Ambience, UnderwaterLoop},
        {"bad", false, Kind::Hit, Bad},
    };
    return table;
}

Signal Prepare(const Recipe& recipe, const Textures& textures)
{
    Signal s = recipe.make(textures);
    if (recipe.loop) {
        // Mean and a gentle circular high-pass: no DC and no seam at the join.
        const float mean = static_cast<float>(Mean(s));
        Biquad hp;
        hp.Set(Biquad::HighPass, 18.0, 0.707);
        RunCircular(s, [&](float x) { return hp.Run(x - mean); });
    } else {
        RemoveDc(s);
        Trim(s, -60.0);
        FadeIn(s, 0.0005);
        FadeOut(s, 0.008);
    }
    return s;
}

bool Master(const Recipe& recipe, Signal& s, std::string& error)
{
    // The kinds' levels are meant as heard: the file sits where the mixer's gain at
    // the default effect volume, on both speakers, brings it to its level. The true
    // peak stays under -1 dBTP as heard and in the file, with a margin for the 16-bit
    // rounding of the file and for meters that interpolate between samples a little
    // differently. That ceiling is the only cap: a sound keeps the peaks its shape
    // gives it at its loudness, and where they reach over, the mastering turns them
    // down a little and smoothly; piled-up sounds are the mix limiter's to catch.
    constexpr double kCeilingDbtp = -1.0, kMarginDb = 0.2;
    const double lufs = LevelOf(recipe.kind).lufs - EffectHeardOffsetLu();
    const double ceiling = std::min(kCeilingDbtp, kCeilingDbtp - 20.0 * std::log10(DefaultEffectGain())) - kMarginDb;
    if (MasterLufs(s, lufs, ceiling, recipe.loop))
        return true;
    char text[200];
    std::snprintf(text, sizeof text, "%s: cannot be mastered to %.1f LUFS with its true peak at or under %.1f dBTP",
                  recipe.name, lufs, ceiling);
    error = text;
    return false;
}

std::optional<Signal> Render(const Recipe& recipe, const Textures& textures, std::string& error)
{
    Signal s = Prepare(recipe, textures);
    if (!Master(recipe, s, error))
        return std::nullopt;
    return s;
}

} // namespace Zant::Effects
