#include "tools/music/Levelling.h"

#include <cmath>
#include <cstdio>

#include "tools/music/TuneRender.h"
#include "tools/sound/Loudness.h"

namespace Zant::Music {

namespace {
constexpr double kCloseEnoughLu = 0.1;
constexpr int kPasses = 4; // the global volume is a whole number: a pass or two settles it
} // namespace

bool LevelTunes(Module& m, const std::vector<Instrument>& instruments, const std::vector<Section>& sections,
                double lufs, std::string& error)
{
    for (int pass = 0; pass < kPasses; ++pass) {
        const std::string bytes = WriteIt(m, instruments);
        bool settled = true;
        for (const Section& sec : sections) {
            Dsp::Signal left, right;
            if (!RenderTune(bytes, sec.order, !sec.loop, left, right)) {
                error = "libopenmpt cannot open the module";
                return false;
            }
            const double now = Dsp::IntegratedLoudness(left, right);
            const int volume = SectionVolume(m, sec.order);
            if (now < -200.0 || volume <= 0) {
                error = "the tune at order " + std::to_string(sec.order) + " is silent";
                return false;
            }
            if (std::fabs(now - lufs) <= kCloseEnoughLu) continue;
            settled = false;
            const double want = volume * Dsp::DbToGain(lufs - now);
            if (want > kFullGlobalVolume + 0.5) {
                char text[160];
                std::snprintf(text, sizeof text, "the tune at order %d reaches only %.1f LUFS at full volume, under %.1f",
                              sec.order, now + Dsp::GainToDb(kFullGlobalVolume / static_cast<double>(volume)), lufs);
                error = text;
                return false;
            }
            SetSectionVolume(m, sec.order, static_cast<int>(std::lround(want)));
        }
        if (settled) return true;
    }
    return true;
}

} // namespace Zant::Music
