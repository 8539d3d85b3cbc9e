#include "tools/music/Equalisation.h"

#include <algorithm>

namespace Zant::Music {

using namespace Dsp;

namespace {

// Longer than any band's ringing: a Q-1 filter at 40 Hz has fallen far below
// 16-bit resolution after a quarter of a second.
constexpr double kSettleSeconds = 0.25;

} // namespace

void Equalise(FontNote& note, const Equalisation& bands)
{
    if (bands.empty() || note.pcm.empty() || note.rate <= 0) return;
    std::vector<Biquad> filters(bands.size());
    for (size_t b = 0; b < bands.size(); ++b) // the biquads design at kRate; the note has its own rate
        filters[b].Set(bands[b].kind, bands[b].hz * kRate / note.rate, bands[b].q, bands[b].gainDb);
    const auto run = [&filters](float x) {
        for (Biquad& f : filters) x = f.Run(x);
        return x;
    };
    if (!note.loop || note.loopEnd <= note.loopStart || note.loopEnd > note.pcm.size()) {
        for (float& x : note.pcm) x = run(x);
        return;
    }
    const size_t length = note.loopEnd - note.loopStart;
    const size_t rounds = 1 + (static_cast<size_t>(kSettleSeconds * note.rate) + length - 1) / length;
    Signal out;
    out.reserve(note.loopStart + rounds * length);
    for (size_t i = 0; i < note.loopStart; ++i) out.push_back(run(note.pcm[i]));
    for (size_t r = 0; r < rounds; ++r)
        for (size_t i = note.loopStart; i < note.loopEnd; ++i) out.push_back(run(note.pcm[i]));
    note.pcm = std::move(out);
    note.loopStart = static_cast<uint32_t>(note.loopStart + (rounds - 1) * length);
    note.loopEnd = static_cast<uint32_t>(note.loopStart + length);
}

} // namespace Zant::Music
