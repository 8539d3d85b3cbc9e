// Every sound the game loads, read back from the program folder: present
// under the game's name, decodable, of a sensible length and level, clean,
// and seamless where the game loops it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "WavReader.h"
#include "tools/sound/Loudness.h"
#include "tools/sound/SoundChain.h"
#include "tests/support/TestSupport.h"

using namespace SoundCheck;

namespace {

struct Expect {
    const char* name;
    double minSeconds, maxSeconds;
    bool loop;
};

// The game's sound table in id order, with the lengths its uses allow:
// shipmove repeats every 0.5 s and the sonar ping every 2 s.
const Expect kSounds[] = {
    {"eerie1", 3, 30, true},       {"eerie3", 3, 30, true},        {"playerdies", 0.5, 2.0, false},
    {"sharkdies", 0.3, 1.5, false}, {"wrong", 0.1, 0.5, false},    {"buttonclick", 0.03, 0.2, false},
    {"divebell1", 1.0, 3.5, false}, {"wingem", 0.5, 2.5, false},   {"wave_bonus", 0.4, 2.5, false},
    {"wave_bonus2", 0.4, 2.5, false}, {"wave_bonus3", 0.4, 2.5, false}, {"treasure", 0.8, 2.5, false},
    {"shipmove", 0.1, 0.45, false}, {"emp", 0.8, 2.5, false},      {"extralife", 0.6, 2.5, false},
    {"tone1", 0.2, 1.0, false},    {"tone2", 0.2, 1.0, false},     {"tone3", 0.2, 1.0, false},
    {"tone4", 0.2, 1.0, false},    {"tone5", 0.2, 1.0, false},     {"tone6", 0.2, 1.0, false},
    {"tone7", 0.2, 1.0, false},    {"tone8", 0.2, 1.0, false},     {"tone9", 0.2, 1.0, false},
    {"tone10", 0.2, 1.0, false},   {"tone11", 0.2, 1.0, false},    {"tone12", 0.2, 1.0, false},
    {"tone13", 0.2, 1.0, false},   {"sonarping1", 0.8, 1.95, false}, {"torpedolaunch", 0.4, 1.5, false},
    {"jellyfish", 0.3, 1.5, false}, {"explosion", 1.0, 3.0, false}, {"type", 0.02, 0.12, false},
    {"type2", 0.02, 0.12, false},  {"type3", 0.02, 0.12, false},   {"sharkhurt", 0.15, 0.8, false},
    {"diverenters", 0.5, 2.0, false}, {"piranhadies1", 0.1, 0.5, false}, {"underwaterloop", 3, 30, true},
    {"bad", 0.3, 1.2, false},
};

// Integrated loudness targets (ITU-R BS.1770, LUFS) by what a sound tells the player,
// as heard at the default volumes.
struct KindLevel {
    const char* kind;
    double lufs;
    std::vector<const char*> members;
};
const KindLevel kLevels[] = {
    {"click", -26.0, {"type", "type2", "type3", "wrong"}},
    {"hit", -21.0, {"buttonclick", "shipmove", "sharkdies", "sharkhurt", "piranhadies1", "jellyfish", "bad", "diverenters"}},
    {"reward", -18.0, {"wingem", "wave_bonus", "wave_bonus2", "wave_bonus3", "treasure", "extralife", "divebell1",
                             "tone1", "tone2", "tone3", "tone4", "tone5", "tone6", "tone7", "tone8", "tone9", "tone10",
                             "tone11", "tone12", "tone13"}},
    {"alarm", -17.0, {"emp", "torpedolaunch", "sonarping1", "explosion", "playerdies"}},
    {"ambience", -30.0, {"eerie1", "eerie3", "underwaterloop"}},
};
constexpr double kToleranceLu = 1.5;

const KindLevel& KindOf(const std::string& name)
{
    for (const KindLevel& k : kLevels)
        for (const char* member : k.members)
            if (name == member)
                return k;
    return kLevels[0];
}

class SoundFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Zant::GameSoundChain chain;
        for (const Expect& e : kSounds) {
            std::string error;
            const std::string name = TestSupport::GameDir() + "/sounds/" + e.name;
            auto wav = ReadWav(TestSupport::ReadFile(name + ".wav"), error);
            if (wav) {
                sLoudness[e.name] = Zant::Dsp::MeasureLoudness(Zant::Dsp::Signal(wav->samples.begin(), wav->samples.end()));
                // As the game plays it: through the sound manager and the mixer at the default volume.
                Zant::Dsp::Signal left, right;
                if (chain.HearEffect(name, e.loop, wav->samples.size(), left, right, error))
                    sHeard[e.name] = Zant::Dsp::MeasureLoudness(left, right);
                sWavs[e.name] = std::move(*wav);
            }
            if (!error.empty())
                sErrors[e.name] = error;
        }
    }
    static const Wav* Get(const std::string& name)
    {
        const auto it = sWavs.find(name);
        return it == sWavs.end() ? nullptr : &it->second;
    }
    static double Lufs(const std::string& name) { return sLoudness.at(name).integrated; }
    static std::map<std::string, Wav> sWavs;
    static std::map<std::string, std::string> sErrors;
    static std::map<std::string, Zant::Dsp::LoudnessReport> sLoudness;
    static std::map<std::string, Zant::Dsp::LoudnessReport> sHeard;
};

std::map<std::string, Wav> SoundFiles::sWavs;
std::map<std::string, std::string> SoundFiles::sErrors;
std::map<std::string, Zant::Dsp::LoudnessReport> SoundFiles::sLoudness;
std::map<std::string, Zant::Dsp::LoudnessReport> SoundFiles::sHeard;

double Percentile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1))];
}

// Period of the strongest low partial by autocorrelation (smallest lag that
// nearly matches the best one, so octave errors pick the fundamental).
double EstimatePitch(const Wav& w)
{
    const size_t from = static_cast<size_t>(0.03 * w.rate), len = static_cast<size_t>(0.15 * w.rate);
    std::vector<double> corr(600, 0.0);
    double best = 0.0;
    for (size_t lag = 20; lag < corr.size(); ++lag) {
        for (size_t i = from; i < from + len && i + lag < w.samples.size(); ++i) corr[lag] += w.samples[i] * w.samples[i + lag];
        best = std::max(best, corr[lag]);
    }
    for (size_t lag = 21; lag + 1 < corr.size(); ++lag)
        if (corr[lag] > 0.9 * best && corr[lag] >= corr[lag - 1] && corr[lag] >= corr[lag + 1]) {
            // Parabolic refinement: whole-sample lags are too coarse for high notes.
            const double a = corr[lag - 1], b = corr[lag], c = corr[lag + 1];
            const double shift = (a - 2 * b + c) != 0.0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0.0;
            return w.rate / (static_cast<double>(lag) + shift);
        }
    return 0.0;
}

// Power at hz over a Hann-windowed stretch (Goertzel).
double PowerAt(const Wav& w, double hz, double fromSeconds, double seconds)
{
    const size_t from = static_cast<size_t>(fromSeconds * w.rate);
    const size_t n = std::min(static_cast<size_t>(seconds * w.rate), w.samples.size() - std::min(from, w.samples.size()));
    const double k = 2.0 * std::cos(2.0 * M_PI * hz / w.rate);
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(n));
        const double s0 = w.samples[from + i] * hann + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

} // namespace

TEST_F(SoundFiles, EverySoundOfTheTableIsAPlayableWav)
{
    ASSERT_EQ(std::size(kSounds), 40u);
    for (const Expect& e : kSounds) {
        SCOPED_TRACE(e.name);
        const Wav* w = Get(e.name);
        ASSERT_NE(w, nullptr) << sErrors[e.name];
        EXPECT_EQ(w->bits, 16);
        EXPECT_EQ(w->channels, 1);
        EXPECT_TRUE(w->rate == 44100 || w->rate == 22050) << w->rate;
        EXPECT_GE(w->Seconds(), e.minSeconds);
        EXPECT_LE(w->Seconds(), e.maxSeconds);
    }
}

TEST_F(SoundFiles, LevelsAreCleanAndAudible)
{
    for (const Expect& e : kSounds) {
        SCOPED_TRACE(e.name);
        const Wav* w = Get(e.name);
        ASSERT_NE(w, nullptr);
        const double peak = Db(Peak(w->samples));
        EXPECT_GT(peak, -24.0) << "too quiet to hear in the game's mix";
        EXPECT_LT(peak, -0.5) << "no headroom";
        EXPECT_GT(Db(Rms(w->samples)), -45.0);
        EXPECT_EQ(std::count_if(w->raw.begin(), w->raw.end(), [](int v) { return v >= 32767 || v <= -32768; }), 0)
            << "clipped samples";
        double mean = 0.0;
        for (double x : w->samples) mean += x;
        EXPECT_LT(std::fabs(mean / w->samples.size()), 0.001) << "DC offset";
    }
}

// Feedback quiet, rewards bright: a player hears the kinds apart, and no effect
// towers over the typing click.
TEST_F(SoundFiles, TheKindsKeepTheirHierarchy)
{
    const auto loudest = [](const char* kind) {
        double v = -240.0;
        for (const KindLevel& k : kLevels)
            if (std::string(k.kind) == kind)
                for (const char* name : k.members) v = std::max(v, Lufs(name));
        return v;
    };
    const auto quietest = [](const char* kind) {
        double v = 0.0;
        for (const KindLevel& k : kLevels)
            if (std::string(k.kind) == kind)
                for (const char* name : k.members) v = std::min(v, Lufs(name));
        return v;
    };
    ASSERT_EQ(sLoudness.size(), std::size(kSounds));
    EXPECT_GE(quietest("reward") - loudest("click"), 6.0);
    EXPECT_GE(quietest("alarm") - loudest("click"), 6.0);
    EXPECT_GE(quietest("hit") - loudest("click"), 2.0);
    EXPECT_GE(quietest("reward") - loudest("hit"), 0.5);
    for (const Expect& e : kSounds) {
        SCOPED_TRACE(e.name);
        EXPECT_LE(Lufs(e.name), quietest("click") + 11.0);
        EXPECT_GE(Lufs(e.name), quietest("click") - (e.loop ? 6.0 : 3.0)) << "lost under the other effects";
    }
}

// The kinds' levels are what a player hears: the game's sound manager and mixer play
// a mono file on both speakers at the default effect volume. True peaks are read at
// eight times the rate, in the file and at the speaker, and stay under -1 dBTP.
TEST_F(SoundFiles, EachKindSitsAtItsLoudnessAsHeardWithItsTruePeakUnderTheCeiling)
{
    size_t levelled = 0;
    for (const KindLevel& k : kLevels)
        for (const char* name : k.members) {
            SCOPED_TRACE(std::string(k.kind) + " " + name);
            ASSERT_TRUE(sHeard.count(name)) << sErrors[name];
            EXPECT_NEAR(sHeard.at(name).integrated, k.lufs, kToleranceLu);
            EXPECT_LE(sLoudness.at(name).truePeak, -1.0) << "in the file";
            EXPECT_LE(sHeard.at(name).truePeak, -1.0) << "as heard";
            ++levelled;
        }
    EXPECT_EQ(levelled, std::size(kSounds)) << "every sound belongs to one kind";
}

TEST_F(SoundFiles, TheExplosionAndTheDiversDeathAreAmongTheLoudest)
{
    double others = -240.0;
    for (const Expect& e : kSounds)
        if (std::string(KindOf(e.name).kind) != "alarm")
            others = std::max(others, Lufs(e.name));
    for (const char* name : {"explosion", "playerdies"}) {
        SCOPED_TRACE(name);
        EXPECT_GT(Lufs(name), others + 0.5);
    }
}

// A laptop plays little under 250 Hz: every sound keeps most of its loudness there.
TEST_F(SoundFiles, EverySoundIsHeardOnSmallSpeakers)
{
    for (const Expect& e : kSounds) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(sLoudness.count(e.name));
        EXPECT_LE(Lufs(e.name) - sLoudness.at(e.name).highPassed, 4.0);
    }
}

TEST_F(SoundFiles, DeepSoundsKeepABodySmallSpeakersPlay)
{
    for (const char* name : {"explosion", "eerie1"}) {
        SCOPED_TRACE(name);
        const Wav* w = Get(name);
        ASSERT_NE(w, nullptr);
        EXPECT_LT(LowShare(w->samples, w->rate, 150.0), 0.5);
    }
}

TEST_F(SoundFiles, FeedbackSoundsStrikeAtOnce)
{
    for (const char* name : {"type", "type2", "type3", "buttonclick", "wrong", "piranhadies1", "sharkhurt"}) {
        SCOPED_TRACE(name);
        const Wav* w = Get(name);
        ASSERT_NE(w, nullptr);
        const double half = Peak(w->samples) * 0.5;
        const auto first = std::find_if(w->samples.begin(), w->samples.end(), [half](double x) { return std::fabs(x) >= half; });
        EXPECT_LE(static_cast<double>(first - w->samples.begin()) / w->rate, 0.01);
    }
}

TEST_F(SoundFiles, LoopsJoinWithoutAClick)
{
    for (const Expect& e : kSounds) {
        if (!e.loop) continue;
        SCOPED_TRACE(e.name);
        const Wav* w = Get(e.name);
        ASSERT_NE(w, nullptr);
        const auto& s = w->samples;
        const size_t n = s.size();
        // Step and bend at the join against the file's own steps and bends.
        std::vector<double> steps, bends;
        for (size_t i = 0; i + 2 < n; ++i) {
            steps.push_back(std::fabs(s[i + 1] - s[i]));
            bends.push_back(std::fabs(s[i + 2] - 2 * s[i + 1] + s[i]));
        }
        EXPECT_LE(std::fabs(s[0] - s[n - 1]), Percentile(steps, 0.999));
        EXPECT_LE(std::fabs(s[0] - 2 * s[n - 1] + s[n - 2]), Percentile(bends, 0.999));
        EXPECT_LE(std::fabs(s[1] - 2 * s[0] + s[n - 1]), Percentile(bends, 0.999));
        // The level does not jump either.
        const size_t edge = static_cast<size_t>(0.25 * w->rate);
        EXPECT_NEAR(Db(Rms(s, 0, edge)), Db(Rms(s, n - edge, edge)), 3.0);
    }
}

// A layer cut off while it still sounds leaves a step the waveform around it does
// not make: a tick. Each step is set against the steps beside it, then against the
// roughness (second difference) of the half millisecond on either side, which a
// bright or noisy sound has plenty of and the tail of a bell or a thud has little,
// and against the level there: a step under a tenth of it is buried in the sound.
TEST_F(SoundFiles, NoLayerIsCutOffWhileItSounds)
{
    constexpr double kBound = 8.0;     // times the rougher side
    constexpr double kBuried = 0.1;    // of the level around
    constexpr double kAudible = 3e-4;  // -70 dBFS: quieter steps are left alone
    for (const Expect& e : kSounds) {
        SCOPED_TRACE(e.name);
        const Wav* w = Get(e.name);
        ASSERT_NE(w, nullptr);
        const std::vector<double>& s = w->samples;
        const long n = static_cast<long>(s.size());
        // A loop goes on from its start; a sound ends in silence.
        const auto x = [&](long i) { return e.loop ? s[static_cast<size_t>((i % n + n) % n)] : (i < 0 || i >= n ? 0.0 : s[i]); };
        const auto bend = [&](long i) { return x(i) - 2.0 * x(i - 1) + x(i - 2); };
        const long side = static_cast<long>(0.0005 * w->rate);
        const auto rms = [&](long from, long to, auto f) {
            double sum = 0.0;
            for (long i = from; i < to; ++i)
                sum += f(i) * f(i);
            return std::sqrt(sum / static_cast<double>(to - from));
        };
        double worst = 0.0;
        long at = 0;
        for (long i = 1; i <= n; ++i) {
            const double jump = std::fabs((x(i) - x(i - 1)) - 0.5 * ((x(i - 1) - x(i - 2)) + (x(i + 1) - x(i))));
            if (jump < kAudible || jump < kBuried * rms(i - side, i + side, x))
                continue;
            const double rough = std::max(rms(i - side - 1, i - 1, bend), rms(i + 3, i + 3 + side, bend));
            if (jump > worst * rough) {
                worst = jump / rough;
                at = i;
            }
        }
        EXPECT_LT(worst, kBound) << "a step at " << static_cast<double>(at) / w->rate << " s";
    }
}

// Each tone is several layers struck together: none of them may sound a
// semitone away from the note the tone rings at.
TEST_F(SoundFiles, EveryToneRingsInTune)
{
    for (int i = 1; i <= 13; ++i) {
        SCOPED_TRACE(i);
        const Wav* w = Get("tone" + std::to_string(i));
        ASSERT_NE(w, nullptr);
        const double hz = EstimatePitch(*w);
        ASSERT_GT(hz, 0.0);
        const double note = PowerAt(*w, hz, 0.02, 0.35);
        for (double semitones : {-1.0, 1.0})
            EXPECT_LT(PowerAt(*w, hz * std::pow(2.0, semitones / 12.0), 0.02, 0.35), 0.05 * note) << semitones;
    }
}

TEST_F(SoundFiles, ThirteenTonesRiseStepByStep)
{
    double previous = 0.0;
    for (int i = 1; i <= 13; ++i) {
        SCOPED_TRACE(i);
        const Wav* w = Get("tone" + std::to_string(i));
        ASSERT_NE(w, nullptr);
        const double hz = EstimatePitch(*w);
        if (i == 1) {
            EXPECT_GT(hz, 200.0);
            EXPECT_LT(hz, 1200.0);
        } else {
            // One step of a scale: a semitone or a whole tone above the last.
            EXPECT_GT(hz / previous, 1.04);
            EXPECT_LT(hz / previous, 1.14);
        }
        previous = hz;
    }
}
