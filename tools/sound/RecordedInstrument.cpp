#include "tools/sound/RecordedInstrument.h"

#include <algorithm>
#include <cmath>

namespace Zant::Dsp {

std::optional<RecordedInstrument> RecordedInstrument::Take(const SoundFont& font, int bank, int program, int lowKey,
                                                           int highKey, int stride, double seconds, std::string& error)
{
    RecordedInstrument ins;
    ins.mStride = std::max(1, stride);
    for (int key = lowKey; key <= highKey; key += ins.mStride) {
        const auto note = font.Note(bank, program, key, error);
        if (!note) return std::nullopt;
        ins.mNotes.emplace_back(key, note->Sounding(key, seconds));
    }
    if (ins.mNotes.empty()) {
        error = "no keys between " + std::to_string(lowKey) + " and " + std::to_string(highKey);
        return std::nullopt;
    }
    return ins;
}

Signal RecordedInstrument::At(double key) const
{
    const std::pair<int, Signal>* nearest = nullptr;
    for (const auto& note : mNotes)
        if (!nearest || std::fabs(note.first - key) < std::fabs(nearest->first - key)) nearest = &note;
    if (!nearest || std::fabs(nearest->first - key) > mStride) return {};
    return Resample(nearest->second, std::pow(2.0, (key - nearest->first) / 12.0));
}

double KeyOf(double hz) { return 69.0 + 12.0 * std::log2(hz / 440.0); }

} // namespace Zant::Dsp
