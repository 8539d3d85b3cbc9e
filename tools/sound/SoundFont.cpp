#include "tools/sound/SoundFont.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Zant::Dsp {

namespace {

// Generator numbers of the SoundFont 2 format that a single note needs.
enum Gen {
    StartOffset = 0, EndOffset = 1, LoopStartOffset = 2, LoopEndOffset = 3, StartCoarse = 4, EndCoarse = 12,
    InstrumentGen = 41, KeyRange = 43, VelRange = 44, LoopStartCoarse = 45, LoopEndCoarse = 50, CoarseTune = 51,
    AttackVol = 34, HoldVol = 35, DecayVol = 36, SustainVol = 37, ReleaseVol = 38, FineTune = 52, SampleId = 53,
    SampleModes = 54, RootKey = 58,
};

uint32_t U32(const char* p) { return static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8 | static_cast<uint8_t>(p[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(p[3])) << 24; }
int U16(const char* p) { return static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8; }
int S16(const char* p) { return static_cast<int16_t>(U16(p)); }

std::string Name(const char* p) { return std::string(p, strnlen(p, 20)); }

double Seconds(int timecents) { return std::pow(2.0, timecents / 1200.0); }

bool InRange(int packed, int value) { return value >= (packed & 0xFF) && value <= ((packed >> 8) & 0xFF); }

std::optional<int> Find(const std::vector<std::pair<int, int>>& gens, int op)
{
    for (const auto& [o, v] : gens)
        if (o == op) return v;
    return std::nullopt;
}

// A zone's value for op, falling back to the global zone and then the default.
int Value(const std::vector<std::pair<int, int>>& local, const std::vector<std::pair<int, int>>& global, int op, int dflt)
{
    if (auto v = Find(local, op)) return *v;
    if (auto v = Find(global, op)) return *v;
    return dflt;
}

} // namespace

std::optional<SoundFont> SoundFont::Open(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    char head[12];
    if (!in.read(head, 12) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "sfbk", 4) != 0) {
        error = path + " is not a SoundFont 2 bank";
        return std::nullopt;
    }
    SoundFont font;
    font.mPath = path;
    std::string pdta;
    // Top-level LIST chunks: INFO, sdta (the samples), pdta (the tables).
    char chunk[12];
    while (in.read(chunk, 8)) {
        const uint32_t size = U32(chunk + 4);
        const std::streamoff next = static_cast<std::streamoff>(in.tellg()) + size + (size & 1);
        if (std::memcmp(chunk, "LIST", 4) == 0 && size >= 4 && in.read(chunk + 8, 4)) {
            if (std::memcmp(chunk + 8, "sdta", 4) == 0) {
                const std::streamoff end = next;
                while (in.tellg() < end && in.read(chunk, 8)) {
                    const uint32_t sub = U32(chunk + 4);
                    if (std::memcmp(chunk, "smpl", 4) == 0) {
                        font.mSampleOffset = static_cast<uint64_t>(in.tellg());
                        font.mSampleBytes = sub;
                    }
                    in.seekg(sub + (sub & 1), std::ios::cur);
                }
            } else if (std::memcmp(chunk + 8, "pdta", 4) == 0) {
                pdta.resize(size - 4);
                in.read(pdta.data(), static_cast<std::streamsize>(pdta.size()));
            }
        }
        in.clear();
        in.seekg(next);
    }
    if (font.mSampleBytes == 0 || pdta.empty()) {
        error = path + " has no samples or no tables";
        return std::nullopt;
    }
    // The tables are records of fixed sizes.
    auto table = [&pdta](const char* id, size_t record) -> std::pair<const char*, size_t> {
        for (size_t at = 0; at + 8 <= pdta.size();) {
            const uint32_t size = U32(pdta.data() + at + 4);
            if (at + 8 + size > pdta.size()) break;
            if (std::memcmp(pdta.data() + at, id, 4) == 0) return {pdta.data() + at + 8, size / record};
            at += 8 + size + (size & 1);
        }
        return {nullptr, 0};
    };
    const auto [phdr, presets] = table("phdr", 38);
    const auto [pbag, pbags] = table("pbag", 4);
    const auto [pgen, pgens] = table("pgen", 4);
    const auto [inst, insts] = table("inst", 22);
    const auto [ibag, ibags] = table("ibag", 4);
    const auto [igen, igens] = table("igen", 4);
    const auto [shdr, samples] = table("shdr", 46);
    if (!phdr || !pbag || !pgen || !inst || !ibag || !igen || !shdr || presets < 2 || insts < 2) {
        error = path + " lacks a preset, instrument or sample table";
        return std::nullopt;
    }
    for (size_t i = 0; i < presets; ++i) {
        const char* r = phdr + 38 * i;
        font.mPresets.push_back({U16(r + 20), U16(r + 22), U16(r + 24)});
    }
    for (size_t i = 0; i < pbags; ++i) font.mPresetBagGen.push_back(U16(pbag + 4 * i));
    for (size_t i = 0; i < pgens; ++i) font.mPresetGens.push_back({U16(pgen + 4 * i), S16(pgen + 4 * i + 2)});
    for (size_t i = 0; i < insts; ++i) font.mInstBags.push_back(U16(inst + 22 * i + 20));
    for (size_t i = 0; i < ibags; ++i) font.mInstBagGen.push_back(U16(ibag + 4 * i));
    for (size_t i = 0; i < igens; ++i) font.mInstGens.push_back({U16(igen + 4 * i), S16(igen + 4 * i + 2)});
    for (size_t i = 0; i < samples; ++i) {
        const char* r = shdr + 46 * i;
        font.mHeaders.push_back({Name(r), U32(r + 20), U32(r + 24), U32(r + 28), U32(r + 32), U32(r + 36),
                                 static_cast<uint8_t>(r[40]), static_cast<int8_t>(r[41])});
    }
    return font;
}

std::vector<SoundFont::Zone> SoundFont::Zones(const std::vector<int>& bagGen, const std::vector<std::pair<int, int>>& gens,
                                             int first, int last) const
{
    std::vector<Zone> zones;
    for (int b = first; b < last && b + 1 < static_cast<int>(bagGen.size()); ++b) {
        Zone z;
        for (int g = bagGen[b]; g < bagGen[b + 1] && g < static_cast<int>(gens.size()); ++g) z.gens.push_back(gens[g]);
        zones.push_back(std::move(z));
    }
    return zones;
}

std::optional<FontNote> SoundFont::Note(int bank, int program, int key, std::string& error) const
{
    constexpr int kVelocity = 100;
    for (size_t p = 0; p + 1 < mPresets.size(); ++p) {
        if (mPresets[p].bank != bank || mPresets[p].program != program) continue;
        const auto pz = Zones(mPresetBagGen, mPresetGens, mPresets[p].bagIndex, mPresets[p + 1].bagIndex);
        // A first zone without an instrument holds defaults for the others.
        const bool pGlobal = !pz.empty() && !Find(pz.front().gens, InstrumentGen);
        const std::vector<std::pair<int, int>> noGens;
        const auto& pg = pGlobal ? pz.front().gens : noGens;
        for (size_t a = pGlobal ? 1 : 0; a < pz.size(); ++a) {
            const auto& local = pz[a].gens;
            if (!InRange(Value(local, pg, KeyRange, 0x7F00), key) || !InRange(Value(local, pg, VelRange, 0x7F00), kVelocity))
                continue;
            const int ins = Value(local, {}, InstrumentGen, -1);
            if (ins < 0 || ins + 1 >= static_cast<int>(mInstBags.size())) continue;
            const double presetCents = 100.0 * Value(local, pg, CoarseTune, 0) + Value(local, pg, FineTune, 0);
            const auto iz = Zones(mInstBagGen, mInstGens, mInstBags[ins], mInstBags[ins + 1]);
            const bool iGlobal = !iz.empty() && !Find(iz.front().gens, SampleId);
            const auto& ig = iGlobal ? iz.front().gens : noGens;
            for (size_t z = iGlobal ? 1 : 0; z < iz.size(); ++z) {
                const auto& g = iz[z].gens;
                if (!InRange(Value(g, ig, KeyRange, 0x7F00), key) || !InRange(Value(g, ig, VelRange, 0x7F00), kVelocity))
                    continue;
                const int id = Value(g, {}, SampleId, -1);
                if (id < 0 || id >= static_cast<int>(mHeaders.size())) continue;
                const Header& h = mHeaders[id];
                const auto offset = [&](int fine, int coarse) {
                    return static_cast<int64_t>(Value(g, ig, fine, 0)) + 32768ll * Value(g, ig, coarse, 0);
                };
                const int64_t start = h.start + offset(StartOffset, StartCoarse);
                const int64_t end = h.end + offset(EndOffset, EndCoarse);
                const int64_t loopStart = h.loopStart + offset(LoopStartOffset, LoopStartCoarse);
                const int64_t loopEnd = h.loopEnd + offset(LoopEndOffset, LoopEndCoarse);
                if (start < 0 || end <= start || static_cast<uint64_t>(end) * 2 > mSampleBytes || h.rate == 0) {
                    error = "sample " + h.name + " lies outside the bank";
                    return std::nullopt;
                }
                FontNote note;
                note.name = h.name;
                note.rate = static_cast<int>(h.rate);
                const int modes = Value(g, ig, SampleModes, 0);
                note.loop = (modes & 1) != 0 && loopStart >= start && loopEnd > loopStart && loopEnd <= end;
                if (note.loop) {
                    note.loopStart = static_cast<uint32_t>(loopStart - start);
                    note.loopEnd = static_cast<uint32_t>(loopEnd - start);
                }
                const int root = Value(g, ig, RootKey, -1);
                const double cents = presetCents + 100.0 * Value(g, ig, CoarseTune, 0) + Value(g, ig, FineTune, 0) +
                                     h.correction;
                note.rootKey = (root >= 0 ? root : h.pitch) - cents / 100.0;
                // Envelope times add up over the preset and instrument levels (in timecents).
                const auto time = [&](int op) { return Seconds(Value(g, ig, op, -12000) + Value(local, pg, op, 0)); };
                note.holdSeconds = time(AttackVol) + time(HoldVol);
                note.decaySeconds = time(DecayVol);
                note.sustainDb = std::clamp(Value(g, ig, SustainVol, 0) + Value(local, pg, SustainVol, 0), 0, 1440) / 10.0;
                note.releaseSeconds = time(ReleaseVol);
                std::ifstream in(mPath, std::ios::binary);
                std::vector<char> raw(static_cast<size_t>(end - start) * 2);
                in.seekg(static_cast<std::streamoff>(mSampleOffset + 2 * static_cast<uint64_t>(start)));
                if (!in.read(raw.data(), static_cast<std::streamsize>(raw.size()))) {
                    error = "cannot read sample " + h.name;
                    return std::nullopt;
                }
                note.pcm.resize(raw.size() / 2);
                for (size_t i = 0; i < note.pcm.size(); ++i) note.pcm[i] = static_cast<float>(S16(raw.data() + 2 * i) / 32768.0);
                return note;
            }
        }
    }
    error = "no sample for bank " + std::to_string(bank) + " program " + std::to_string(program) + " key " +
            std::to_string(key);
    return std::nullopt;
}

Signal FontNote::Held(double seconds) const
{
    // The bank's releases run for seconds (a drum rings out); the makers take a note
    // for a set length, so its release is cut short, but never to nothing.
    const double release = std::clamp(releaseSeconds, kShortestRelease, kLongestRelease);
    const size_t held = static_cast<size_t>(seconds * rate);
    Signal s(held + static_cast<size_t>(release * rate), 0.0f);
    const size_t loopLength = loop ? loopEnd - loopStart : 0;
    for (size_t i = 0; i < s.size(); ++i) {
        size_t at = i;
        if (loopLength > 0 && at >= loopEnd) at = loopStart + (at - loopStart) % loopLength;
        if (at >= pcm.size()) break;
        const double t = static_cast<double>(i) / rate;
        const double db = t <= holdSeconds ? 0.0 : std::min(sustainDb, 100.0 * (t - holdSeconds) / std::max(decaySeconds, 1e-3));
        const double let = i < held ? 1.0 : Smooth(1.0 - static_cast<double>(i - held) / (release * rate));
        s[i] = static_cast<float>(pcm[at] * DbToGain(-db) * let);
    }
    return s;
}

Signal FontNote::Sounding(double key, double seconds) const
{
    return Resample(Held(seconds), rate * std::pow(2.0, (key - rootKey) / 12.0) / kRate);
}

} // namespace Zant::Dsp
