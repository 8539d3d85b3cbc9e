#include "tools/music/Module.h"

#include <algorithm>
#include <cstring>

namespace Zant::Music {

namespace {

// A tune that plays once ends on a fade rather than a cut: over its last rows
// every channel slides its volume down (1 per tick, 5 per row at speed 6), so
// the score's loudest notes (volume 50) are silent after ten rows.
constexpr int kFadeRows = 12;

void FadeOut(std::vector<ModuleRow>& rows)
{
    const size_t from = rows.size() > kFadeRows ? rows.size() - kFadeRows : 0;
    for (size_t r = from; r < rows.size(); ++r)
        for (int ch = 0; ch < kScoreChannels; ++ch) {
            Cell& c = rows[r][ch];
            if (c.effect != 0) continue;
            c.effect = 'D';
            c.param = 0x01;
        }
}

} // namespace

std::optional<Module> Arrange(const Score& score, std::string& error)
{
    std::vector<Section> sections = score.sections;
    std::sort(sections.begin(), sections.end(), [](const Section& a, const Section& b) { return a.order < b.order; });
    if (sections.empty()) {
        error = "the score has no sections";
        return std::nullopt;
    }
    Module m;
    m.title = "Brinetun";
    m.initialTempo = sections.front().tempo;
    // Lead, bass and kick near the middle; the counter-line and the chord
    // voices apart, the hats to one side (0 left, 32 centre, 64 right).
    m.pan = {28, 46, 32, 12, 52, 22, 30, 40, 32, 32};
    for (size_t s = 0; s < sections.size(); ++s) {
        const Section& sec = sections[s];
        const int length = static_cast<int>(sec.patterns.size()) + (sec.loop ? 0 : 1);
        const int limit = s + 1 < sections.size() ? sections[s + 1].order : 254;
        if (sec.order < static_cast<int>(m.orders.size())) {
            error = "section at order " + std::to_string(sec.order) + " overlaps the one before";
            return std::nullopt;
        }
        if (sec.order + length > limit) {
            error = "section at order " + std::to_string(sec.order) + " runs into order " + std::to_string(limit);
            return std::nullopt;
        }
        m.orders.resize(sec.order, kOrderSkip);
        for (size_t i = 0; i < sec.patterns.size(); ++i) {
            const Pattern* p = score.Find(sec.patterns[i]);
            if (!p || p->rows.size() < 2) {
                error = "pattern " + sec.patterns[i] + " is missing or shorter than two rows";
                return std::nullopt;
            }
            std::vector<ModuleRow> rows(p->rows.size());
            for (size_t r = 0; r < rows.size(); ++r)
                std::copy(p->rows[r].begin(), p->rows[r].end(), rows[r].begin());
            if (i == 0) {
                rows.front()[kControlChannel].effect = 'T';
                rows.front()[kControlChannel].param = static_cast<uint8_t>(sec.tempo);
                rows.front()[kLevelChannel].effect = 'V';
                rows.front()[kLevelChannel].param = kFullGlobalVolume;
            }
            if (i + 1 == sec.patterns.size() && !sec.loop) FadeOut(rows);
            if (i + 1 == sec.patterns.size() && sec.loop) {
                rows.back()[kControlChannel].effect = 'B';
                rows.back()[kControlChannel].param = static_cast<uint8_t>(sec.order + sec.loopFrom);
            }
            if (m.patterns.size() >= 240) {
                error = "too many patterns";
                return std::nullopt;
            }
            m.orders.push_back(static_cast<uint8_t>(m.patterns.size()));
            m.patterns.push_back(std::move(rows));
        }
        if (!sec.loop) m.orders.push_back(kOrderEnd);
    }
    m.orders.push_back(kOrderEnd);
    return m;
}

namespace {

// The pattern whose first row sets the level of the section starting at order, or -1.
int LevelPattern(const Module& m, int order)
{
    if (order < 0 || order >= static_cast<int>(m.orders.size()) || m.orders[order] >= m.patterns.size())
        return -1;
    const int pattern = m.orders[order];
    return m.patterns[pattern].front()[kLevelChannel].effect == 'V' ? pattern : -1;
}

} // namespace

int SectionVolume(const Module& m, int order)
{
    const int pattern = LevelPattern(m, order);
    return pattern < 0 ? -1 : m.patterns[pattern].front()[kLevelChannel].param;
}

void SetSectionVolume(Module& m, int order, int volume)
{
    const int pattern = LevelPattern(m, order);
    if (pattern >= 0)
        m.patterns[pattern].front()[kLevelChannel].param = static_cast<uint8_t>(std::clamp(volume, 0, kFullGlobalVolume));
}

namespace {

class Bytes {
public:
    void U8(int v) { mData.push_back(static_cast<char>(v & 0xFF)); }
    void U16(int v) { U8(v); U8(v >> 8); }
    void U32(uint32_t v) { U16(static_cast<int>(v & 0xFFFF)); U16(static_cast<int>(v >> 16)); }
    void Text(const std::string& s, size_t width)
    {
        for (size_t i = 0; i < width; ++i) U8(i < s.size() ? s[i] : 0);
    }
    void Zeros(size_t n) { mData.append(n, '\0'); }
    void Patch32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) mData[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    size_t Size() const { return mData.size(); }
    std::string& Data() { return mData; }

private:
    std::string mData;
};

void Envelope(Bytes& b, const Instrument& ins)
{
    const auto& nodes = ins.envelope;
    const int count = static_cast<int>(std::min<size_t>(nodes.size(), 25));
    int flags = 0;
    if (count > 0) flags |= 1;
    if (ins.sustainNode >= 0 && ins.sustainNode < count) flags |= 4;
    b.U8(flags);
    b.U8(count);
    b.U8(0);
    b.U8(0);
    b.U8(flags & 4 ? ins.sustainNode : 0);
    b.U8(flags & 4 ? ins.sustainNode : 0);
    for (int i = 0; i < 25; ++i) {
        if (i < count) {
            b.U8(nodes[i].second);
            b.U16(nodes[i].first);
        } else {
            b.Zeros(3);
        }
    }
    b.U8(0);
}

void EmptyEnvelope(Bytes& b) { b.Zeros(82); }

void InstrumentHeader(Bytes& b, const Instrument& ins, int sampleNumber)
{
    b.Text("IMPI", 4);
    b.Text(ins.name, 12);
    b.U8(0);
    b.U8(ins.newNoteAction);
    b.U8(0);                 // duplicate check off
    b.U8(0);
    b.U16(ins.fadeout);
    b.U8(0);                 // pitch-pan separation
    b.U8(60);
    b.U8(ins.globalVolume);
    b.U8(32 | 128);          // default pan off (bit 7 set), so the channel pans hold
    b.U8(0);                 // random volume
    b.U8(0);                 // random pan
    b.U16(0x0214);
    b.U8(1);
    b.U8(0);
    b.Text(ins.name, 26);
    b.U8(0);                 // filter cutoff off
    b.U8(0);                 // resonance off
    b.U8(0);                 // MIDI channel
    b.U8(0xFF);              // MIDI program
    b.U16(0xFFFF);           // MIDI bank
    for (int note = 0; note < 120; ++note) {
        b.U8(note);
        b.U8(sampleNumber);
    }
    Envelope(b, ins);
    EmptyEnvelope(b);        // panning
    EmptyEnvelope(b);        // pitch
    b.Zeros(4);
}

void SampleHeader(Bytes& b, const Instrument& ins, uint32_t dataOffset)
{
    b.Text("IMPS", 4);
    b.Text(ins.name, 12);
    b.U8(0);
    b.U8(64);                                   // sample global volume
    b.U8(0x01 | 0x02 | (ins.loop ? 0x10 : 0));  // present, 16-bit, looped
    b.U8(64);                                   // default volume
    b.Text(ins.name, 26);
    b.U8(0x01);                                 // signed samples
    b.U8(32);                                   // default pan, not used
    b.U32(static_cast<uint32_t>(ins.pcm.size()));
    b.U32(ins.loopStart);
    b.U32(ins.loopEnd);
    b.U32(ins.c5speed);
    b.U32(0);
    b.U32(0);
    b.U32(dataOffset);
    b.U8(ins.vibratoSpeed);
    b.U8(ins.vibratoDepth);
    b.U8(ins.vibratoSweep);
    b.U8(0);                                    // sine
}

void PatternData(Bytes& b, const std::vector<ModuleRow>& rows)
{
    Bytes packed;
    for (const ModuleRow& row : rows) {
        for (int ch = 0; ch < kModuleChannels; ++ch) {
            const Cell& c = row[ch];
            if (c.Empty()) continue;
            int mask = 0;
            if (c.note != kNoNote) mask |= 1;
            if (c.instrument != 0) mask |= 2;
            if (c.volume != kNoVolume) mask |= 4;
            if (c.effect != 0) mask |= 8;
            packed.U8((ch + 1) | 0x80);
            packed.U8(mask);
            if (mask & 1) packed.U8(c.note);
            if (mask & 2) packed.U8(c.instrument);
            if (mask & 4) packed.U8(c.volume);
            if (mask & 8) {
                packed.U8(c.effect - 'A' + 1);
                packed.U8(c.param);
            }
        }
        packed.U8(0);
    }
    b.U16(static_cast<int>(packed.Size()));
    b.U16(static_cast<int>(rows.size()));
    b.Zeros(4);
    b.Data() += packed.Data();
}

} // namespace

std::string WriteIt(const Module& m, const std::vector<Instrument>& instruments)
{
    Bytes b;
    const int ins = static_cast<int>(instruments.size());
    const int pats = static_cast<int>(m.patterns.size());
    const int ords = static_cast<int>(m.orders.size());
    b.Text("IMPM", 4);
    b.Text(m.title, 26);
    b.U16(0x1004);            // row highlights: 4 and 16
    b.U16(ords);
    b.U16(ins);
    b.U16(ins);
    b.U16(pats);
    b.U16(0x0214);            // written in the layout of format version 2.14
    b.U16(0x0214);
    b.U16(0x01 | 0x04 | 0x08); // stereo, instruments, linear slides
    b.U16(0);
    b.U8(128);                // global volume
    b.U8(m.mixVolume);
    b.U8(m.initialSpeed);
    b.U8(m.initialTempo);
    b.U8(128);                // stereo separation
    b.U8(0);
    b.U16(0);                 // no message
    b.U32(0);
    b.U32(0);
    for (int ch = 0; ch < 64; ++ch) b.U8(ch < kModuleChannels ? m.pan[ch] : 32 | 128);
    for (int ch = 0; ch < 64; ++ch) b.U8(64);
    for (uint8_t o : m.orders) b.U8(o);
    const size_t table = b.Size();
    b.Zeros(4 * static_cast<size_t>(ins + ins + pats));

    for (int i = 0; i < ins; ++i) {
        b.Patch32(table + 4 * i, static_cast<uint32_t>(b.Size()));
        InstrumentHeader(b, instruments[i], i + 1);
    }
    std::vector<size_t> sampleHeaders;
    for (int i = 0; i < ins; ++i) {
        b.Patch32(table + 4 * (ins + i), static_cast<uint32_t>(b.Size()));
        sampleHeaders.push_back(b.Size());
        SampleHeader(b, instruments[i], 0);
    }
    for (int p = 0; p < pats; ++p) {
        b.Patch32(table + 4 * (2 * ins + p), static_cast<uint32_t>(b.Size()));
        PatternData(b, m.patterns[p]);
    }
    for (int i = 0; i < ins; ++i) {
        b.Patch32(sampleHeaders[i] + 72, static_cast<uint32_t>(b.Size()));
        for (int16_t v : instruments[i].pcm) b.U16(static_cast<uint16_t>(v));
    }
    return b.Data();
}

} // namespace Zant::Music
