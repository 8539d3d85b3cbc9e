#include "tools/music/Instruments.h"

#include <algorithm>
#include <cmath>

#include "tools/music/Equalisation.h"
#include "tools/sound/Dsp.h"

namespace Zant::Music {

using namespace Dsp;

namespace {

constexpr double kMiddleC = 261.6255653;

// The rate that makes note 60 sound middle C for a sample whose tone is hz.
uint32_t C5SpeedFor(double hz) { return static_cast<uint32_t>(std::lround(kRate * kMiddleC / hz)); }

std::vector<int16_t> Pcm(Signal s, double peak = 0.95)
{
    const double p = Peak(s);
    if (p > 0.0)
        for (float& x : s) x = static_cast<float>(x * peak / p);
    return ToPcm16(s);
}

// A looped tone: `attack` seconds of onset (with an optional transient that
// has died away exactly at the loop start) followed by one loop of `loopLen`
// samples. Every voice completes a whole number of cycles in the loop, so the
// loop end joins its start without a seam.
struct Voice { int cycles; double gain; double phase; };

Instrument Looped(const std::string& name, int loopLen, const std::vector<Voice>& voices,
                  const std::vector<double>& harmonics, double attack, Signal transient)
{
    const int a = Samples(attack);
    Signal s(a + loopLen, 0.0f);
    for (const Voice& v : voices)
        for (size_t k = 0; k < harmonics.size(); ++k) {
            const double cyc = static_cast<double>(v.cycles) * static_cast<double>(k + 1);
            if (cyc / loopLen * kRate > kRate * 0.4) break; // keep clear of aliasing when played higher
            for (size_t i = 0; i < s.size(); ++i)
                s[i] += static_cast<float>(v.gain * harmonics[k] *
                                           std::sin(2.0 * kPi * (cyc * static_cast<double>(i) / loopLen + v.phase * (k + 1))));
        }
    for (size_t i = 0; i < transient.size() && i < static_cast<size_t>(a); ++i)
        s[i] += static_cast<float>(transient[i] * (1.0 - Smooth(static_cast<double>(i) / a)));
    Instrument ins;
    ins.name = name;
    ins.pcm = Pcm(s);
    ins.loop = true;
    ins.loopStart = static_cast<uint32_t>(a);
    ins.loopEnd = static_cast<uint32_t>(a + loopLen);
    ins.c5speed = C5SpeedFor(static_cast<double>(voices[0].cycles) * kRate / loopLen);
    return ins;
}

Instrument OneShot(const std::string& name, Signal s, double toneHz)
{
    Instrument ins;
    ins.name = name;
    FadeOut(s, 0.02);
    ins.pcm = Pcm(s);
    ins.c5speed = toneHz > 0.0 ? C5SpeedFor(toneHz) : kRate;
    ins.newNoteAction = 3;
    ins.envelope = {{0, 64}, {1, 64}};
    ins.sustainNode = 1;
    ins.fadeout = 40;
    return ins;
}

struct Partial { double ratio, amp, decay; };

Signal Struck(double hz, double seconds, const std::vector<Partial>& partials, double tremolo = 0.0)
{
    Signal s(Samples(seconds), 0.0f);
    for (const Partial& p : partials)
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double trem = p.ratio == 1.0 ? 1.0 - tremolo * (0.5 - 0.5 * std::cos(2.0 * kPi * 5.2 * t)) : 1.0;
            s[i] += static_cast<float>(p.amp * trem * std::min(1.0, t / 0.0015) * std::exp(-t / p.decay) *
                                       std::sin(2.0 * kPi * hz * p.ratio * t));
        }
    return s;
}

Signal NoiseSignal(double seconds, uint64_t seed)
{
    Rng rng(seed);
    Signal s(Samples(seconds));
    for (float& x : s) x = rng.Noise();
    return s;
}

Instrument Flute()
{
    Signal breath = NoiseSignal(0.08, 1);
    Biquad bp;
    bp.Set(Biquad::BandPass, 2500.0, 1.5);
    for (float& x : breath) x = bp.Run(x) * 0.5f;
    Instrument ins = Looped("flute", 4410, {{52, 1.0, 0.0}}, {1.0, 0.28, 0.12, 0.05, 0.02}, 0.08, breath);
    ins.envelope = {{0, 0}, {2, 64}, {10, 52}};
    ins.sustainNode = 2;
    ins.fadeout = 96;
    ins.vibratoSpeed = 10;
    ins.vibratoDepth = 5;
    ins.vibratoSweep = 40;
    ins.globalVolume = 100;
    return ins;
}

Instrument Brass()
{
    Signal blat(Samples(0.06), 0.0f);
    for (size_t i = 0; i < blat.size(); ++i)
        for (int k = 13; k <= 24; ++k)
            blat[i] += static_cast<float>(0.3 / k * std::sin(2.0 * kPi * 520.0 * k * i / kRate));
    Instrument ins = Looped("brass", 4410, {{52, 1.0, 0.0}},
                            {1.0, 0.7, 0.55, 0.4, 0.3, 0.22, 0.16, 0.12, 0.09, 0.07, 0.05, 0.04}, 0.06, blat);
    ins.envelope = {{0, 0}, {2, 64}, {8, 50}};
    ins.sustainNode = 2;
    ins.fadeout = 128;
    ins.vibratoSpeed = 8;
    ins.vibratoDepth = 4;
    ins.vibratoSweep = 20;
    ins.globalVolume = 80;
    return ins;
}

Instrument Bass()
{
    Signal pluck(Samples(0.12), 0.0f);
    for (size_t i = 0; i < pluck.size(); ++i)
        for (int k = 8; k <= 16; ++k)
            pluck[i] += static_cast<float>(0.12 / k * std::exp(-static_cast<double>(i) / kRate / 0.03) *
                                           std::sin(2.0 * kPi * 130.0 * k * i / kRate));
    Instrument ins = Looped("bass", 8820, {{26, 1.0, 0.0}}, {1.0, 0.55, 0.33, 0.2, 0.12, 0.07, 0.04}, 0.12, pluck);
    ins.envelope = {{0, 64}, {3, 60}, {12, 48}};
    ins.sustainNode = 2;
    ins.fadeout = 200;
    ins.globalVolume = 84;
    return ins;
}

Instrument Pad()
{
    // Five slightly detuned voices over a two-second loop: a slow, even chorus.
    std::vector<Voice> voices;
    Rng rng(7);
    for (int d : {0, -1, 1, -2, 2}) voices.push_back({524 + d, d == 0 ? 1.0 : 0.7, rng.Uniform()});
    std::vector<double> harmonics;
    for (int k = 1; k <= 12; ++k) harmonics.push_back(std::pow(k, -1.5));
    Instrument ins = Looped("pad", 88200, voices, harmonics, 0.0, {});
    ins.envelope = {{0, 0}, {16, 64}, {40, 54}};
    ins.sustainNode = 2;
    ins.fadeout = 24;
    ins.globalVolume = 60;
    return ins;
}

Instrument Vibes()
{
    Instrument ins = OneShot("vibes", Struck(NoteHz(72), 2.5, {{1.0, 1.0, 1.1}, {4.0, 0.2, 0.12}, {10.0, 0.04, 0.03}}, 0.25),
                             NoteHz(72));
    ins.globalVolume = 100;
    return ins;
}

Instrument Marimba()
{
    Instrument ins = OneShot("marimba", Struck(NoteHz(72), 1.0, {{1.0, 1.0, 0.35}, {3.93, 0.3, 0.05}, {9.2, 0.06, 0.015}}),
                             NoteHz(72));
    ins.globalVolume = 100;
    ins.fadeout = 64;
    return ins;
}

Instrument Bell()
{
    Instrument ins = OneShot("bell",
                             Struck(NoteHz(84), 1.2, {{1.0, 1.0, 0.45}, {2.76, 0.35, 0.14}, {5.4, 0.15, 0.06}, {8.93, 0.06, 0.03}}),
                             NoteHz(84));
    ins.globalVolume = 70;
    return ins;
}

Instrument Pluck()
{
    std::vector<Partial> partials;
    for (int k = 1; k <= 20; ++k)
        partials.push_back({static_cast<double>(k), std::fabs(std::sin(kPi * k * 0.28)) / k, 1.2 / (1.0 + 0.45 * k)});
    Instrument ins = OneShot("pluck", Struck(NoteHz(60), 1.6, partials), NoteHz(60));
    ins.globalVolume = 110;
    ins.fadeout = 64;
    return ins;
}

Instrument Drum(const std::string& name, Signal s, int globalVolume)
{
    Instrument ins;
    ins.name = name;
    FadeOut(s, 0.01);
    ins.pcm = Pcm(s);
    ins.globalVolume = globalVolume;
    return ins;
}

Signal KickSound()
{
    Signal s(Samples(0.4), 0.0f);
    Osc osc;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 48.0 + 92.0 * std::exp(-t / 0.04);
        s[i] = static_cast<float>(std::min(1.0, t / 0.001) * std::exp(-t / 0.15) * osc.Sine(f));
    }
    Signal click = NoiseSignal(0.004, 2);
    HighPass(click, 3000.0);
    Mix(s, click, 0.0, 0.15);
    return s;
}

Signal SnareSound()
{
    Signal s(Samples(0.3), 0.0f);
    Osc osc;
    Signal noise = NoiseSignal(0.3, 3);
    Biquad hp, bp, lp;
    hp.Set(Biquad::HighPass, 1000.0, 0.7);
    bp.Set(Biquad::Peak, 3500.0, 1.0, 6.0);
    lp.Set(Biquad::LowPass, 8000.0, 0.7); // dull the top: it sits under water
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double tone = osc.Sine(190.0 * (1.0 + 0.2 * std::exp(-t / 0.01))) * std::exp(-t / 0.05);
        const double n = lp.Run(bp.Run(hp.Run(noise[i]))) * std::exp(-t / 0.1);
        s[i] = static_cast<float>(std::min(1.0, t / 0.001) * (0.6 * tone + 0.5 * n));
    }
    return s;
}

Signal HatSound(double decay, uint64_t seed)
{
    Signal s = NoiseSignal(decay * 5.0, seed);
    Biquad hp;
    hp.Set(Biquad::HighPass, 7000.0, 0.8);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        s[i] = static_cast<float>(hp.Run(s[i]) * std::min(1.0, t / 0.0005) * std::exp(-t / decay));
    }
    return s;
}

Signal ShakerSound()
{
    Signal s = NoiseSignal(0.1, 5);
    Biquad bp;
    bp.Set(Biquad::BandPass, 6000.0, 2.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        s[i] = static_cast<float>(bp.Run(s[i]) * Smooth(t / 0.015) * std::exp(-std::max(0.0, t - 0.015) / 0.03));
    }
    return s;
}

Signal TomSound()
{
    Signal s(Samples(0.5), 0.0f);
    Osc osc;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 85.0 + 35.0 * std::exp(-t / 0.06);
        s[i] = static_cast<float>(std::min(1.0, t / 0.001) * std::exp(-t / 0.2) * osc.Sine(f));
    }
    Signal skin = NoiseSignal(0.05, 6);
    LowPass(skin, 2500.0);
    for (size_t i = 0; i < skin.size(); ++i) skin[i] *= static_cast<float>(std::exp(-static_cast<double>(i) / kRate / 0.01));
    Mix(s, skin, 0.0, 0.3);
    return s;
}

Signal CrashSound()
{
    Signal s = NoiseSignal(1.6, 8);
    Biquad hp;
    hp.Set(Biquad::HighPass, 4500.0, 0.7);
    Osc a, b, c;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double metal = a.Square(3170.0, 5) + b.Square(4123.0, 5) + c.Square(5387.0, 3);
        s[i] = static_cast<float>(hp.Run(static_cast<float>(s[i] + 0.3 * metal)) * std::min(1.0, t / 0.001) *
                                  (0.6 * std::exp(-t / 0.08) + 0.4 * std::exp(-t / 0.6)));
    }
    return s;
}

// Where each instrument's recorded note comes from in the General MIDI bank.
// `key` is the note taken from the bank; `plays` the score note that sounds it
// at its own pitch (melodic instruments: the same note; drums: their default).
struct FontSource { int bank, program, key, plays; double maxSeconds; };

std::optional<FontSource> SourceFor(const std::string& name)
{
    static const std::pair<const char*, FontSource> kSources[] = {
        {"flute", {0, 73, 76, 76, 3.0}},   {"vibes", {0, 11, 72, 72, 2.5}},  {"marimba", {0, 12, 72, 72, 1.0}},
        {"bass", {0, 33, 40, 40, 3.0}},    {"pad", {0, 48, 60, 60, 3.0}},     {"brass", {0, 61, 70, 70, 3.0}},
        {"bell", {0, 9, 84, 84, 1.2}},     {"pluck", {0, 46, 60, 60, 1.6}},   {"kick", {128, 0, 36, 60, 0.5}},
        {"snare", {128, 0, 38, 60, 0.4}},  {"hat", {128, 0, 42, 60, 0.3}},    {"openhat", {128, 0, 46, 60, 0.8}},
        {"shaker", {128, 0, 70, 60, 0.3}}, {"tom", {128, 0, 45, 52, 0.6}},    {"crash", {128, 0, 49, 60, 1.6}},
    };
    for (const auto& [n, source] : kSources)
        if (name == n) return source;
    return std::nullopt;
}

// What each recorded instrument gives up so the others are heard (frequencies
// as heard at the note taken from the bank, which sits mid-range for each
// instrument). The bass keeps its fundamental and yields its upper harmonics'
// overlap with the chords; pads, chords and melody yield the low mids around
// 150-400 Hz to the bass; drums stay as recorded.
Equalisation EqualisationFor(const std::string& name)
{
    using K = Biquad::Kind;
    static const std::pair<const char*, Equalisation> kShaping[] = {
        {"bass", {{K::Peak, 300.0, 0.8, -4.0}, {K::Peak, 620.0, 1.2, -2.0}}},
        {"pad", {{K::HighPass, 170.0, 0.6}, {K::Peak, 270.0, 0.9, -4.0}}},
        {"pluck", {{K::HighPass, 110.0, 0.6}, {K::Peak, 250.0, 1.0, -3.0}}},
        {"vibes", {{K::HighPass, 260.0, 0.6}}},
        {"marimba", {{K::HighPass, 260.0, 0.6}}},
        {"brass", {{K::HighPass, 230.0, 0.6}, {K::Peak, 350.0, 1.0, -2.0}}},
        {"flute", {{K::HighPass, 300.0, 0.6}}},
        {"bell", {{K::HighPass, 400.0, 0.6}}},
    };
    for (const auto& [n, eq] : kShaping)
        if (name == n) return eq;
    return {};
}

// Replaces a synthesised instrument's sound with the bank's recording, keeping
// its envelope and playback settings and matching its loudness, so the score's
// balance holds; then shapes its tone, which takes away what it cuts.
bool TakeRecording(Instrument& ins, const FontSource& from, const SoundFont& font, std::string& error)
{
    auto note = font.Note(from.bank, from.program, from.key, error);
    if (!note) return false;
    if (ins.loop && !note->loop) {
        error = "the bank's note has no loop to sustain";
        return false;
    }
    // A struck or plucked note: its recorded decay, loop unrolled, ending on its
    // own; a sustained note: up to its loop's end.
    const bool struck = !ins.loop;
    const auto sound = [&](const FontNote& n) {
        if (!struck) {
            Signal s = n.pcm;
            s.resize(n.loopEnd);
            return s;
        }
        Signal s = n.Held(from.maxSeconds);
        Trim(s, -60.0);
        FadeOut(s, 0.05);
        return s;
    };
    const Signal plain = sound(*note);
    Equalise(*note, EqualisationFor(ins.name));
    const Signal shaped = sound(*note);
    const double before = ShortTermLoudness(Signal(ins.pcm.begin(), ins.pcm.end())) / 32767.0;
    const std::vector<int16_t> plainPcm = Pcm(plain);
    const double after = ShortTermLoudness(Signal(plainPcm.begin(), plainPcm.end())) / 32767.0;
    // Both are scaled to the same peak, so the ratio of their peaks is what the shaping took.
    const double kept = Peak(plain) > 0.0 ? Peak(shaped) / Peak(plain) : 1.0;
    if (after > 0.0)
        ins.globalVolume = std::clamp(static_cast<int>(std::lround(ins.globalVolume * kept * before / after)), 8, 128);
    ins.pcm = Pcm(shaped);
    ins.loop = !struck;
    ins.loopStart = struck ? 0 : note->loopStart;
    ins.loopEnd = struck ? 0 : note->loopEnd;
    const double semitones = 60.0 - from.plays + from.key - note->rootKey;
    ins.c5speed = static_cast<uint32_t>(std::lround(note->rate * std::pow(2.0, semitones / 12.0)));
    return true;
}

} // namespace

std::vector<Instrument> BuildInstruments()
{
    std::vector<Instrument> set;
    set.push_back(Flute());
    set.push_back(Vibes());
    set.push_back(Marimba());
    set.push_back(Bass());
    set.push_back(Pad());
    set.push_back(Brass());
    set.push_back(Bell());
    set.push_back(Pluck());
    set.push_back(Drum("kick", KickSound(), 128));
    set.push_back(Drum("snare", SnareSound(), 72));
    set.push_back(Drum("hat", HatSound(0.018, 4), 110));
    set.push_back(Drum("openhat", HatSound(0.12, 9), 70));
    set.push_back(Drum("shaker", ShakerSound(), 90));
    set.push_back(Drum("tom", TomSound(), 118));
    set.push_back(Drum("crash", CrashSound(), 52));
    return set;
}

std::optional<std::vector<Instrument>> BuildInstruments(const SoundFont& font, const std::vector<std::string>& keepSynthesised,
                                                        std::string& error)
{
    std::vector<Instrument> set = BuildInstruments();
    for (Instrument& ins : set) {
        if (std::find(keepSynthesised.begin(), keepSynthesised.end(), ins.name) != keepSynthesised.end()) continue;
        const auto source = SourceFor(ins.name);
        if (source && !TakeRecording(ins, *source, font, error)) {
            error = ins.name + ": " + error;
            return std::nullopt;
        }
    }
    return set;
}

InstrumentLookup LookupIn(const std::vector<Instrument>& instruments)
{
    return [&instruments](const std::string& name) -> std::optional<InstrumentRef> {
        for (size_t i = 0; i < instruments.size(); ++i)
            if (instruments[i].name == name) return InstrumentRef{static_cast<int>(i) + 1, instruments[i].defaultNote};
        return std::nullopt;
    };
}

} // namespace Zant::Music
