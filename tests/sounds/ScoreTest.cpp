// The music tool's score reader and arranger: what it accepts, what it
// refuses with the line at fault, and how sections become order positions.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.h>

#include "tools/music/Levelling.h"
#include "tools/music/Module.h"
#include "tools/music/TuneRender.h"
#include "tools/sound/Loudness.h"

using namespace Zant::Music;

namespace {

// Small stand-in instrument set: a melodic one and a drum with its own note.
std::optional<InstrumentRef> Lookup(const std::string& name)
{
    if (name == "lead") return InstrumentRef{1, 60};
    if (name == "kick") return InstrumentRef{2, 48};
    return std::nullopt;
}

std::optional<Score> Parse(const std::string& text, std::string& error) { return ParseScore(text, Lookup, error); }

// A looped sawtooth of a tenth of a second, for modules that are played.
Instrument Buzz()
{
    Instrument tone;
    tone.name = "lead";
    tone.pcm.assign(4410, 0);
    for (size_t i = 0; i < tone.pcm.size(); ++i) tone.pcm[i] = static_cast<int16_t>((i % 100) * 200 - 10000);
    tone.loop = true;
    tone.loopEnd = 4400;
    return tone;
}

const Cell& At(const Score& s, int row, int channel) { return s.patterns.at(0).rows.at(row)[channel]; }

} // namespace

TEST(Score, NotesPhrasesAndRepeatsLandOnTheirRows)
{
    const std::string text =
        "let two = c4:2 e4   # a phrase\n"
        "pattern p 16\n"
        "  1 lead v40 +12 : [$two]x2 c#4:4@50 r:2 ^:1 _:1\n"
        "  2 kick : kick:8 lead.g3:4{J47} _\n"
        "end\n"
        "section 0 loop tempo 100 : p\n";
    std::string error;
    const auto s = Parse(text, error);
    ASSERT_TRUE(s) << error;
    // Transposed an octave, lengths and volumes carry on until changed.
    EXPECT_EQ(At(*s, 0, 0).note, 72);
    EXPECT_EQ(At(*s, 0, 0).volume, 40);
    EXPECT_EQ(At(*s, 2, 0).note, 76);
    EXPECT_EQ(At(*s, 4, 0).note, 72);
    EXPECT_EQ(At(*s, 6, 0).note, 76);
    EXPECT_EQ(At(*s, 8, 0).note, 73);  // "#" after a letter is a sharp, not a comment
    EXPECT_EQ(At(*s, 8, 0).volume, 50);
    EXPECT_EQ(At(*s, 12, 0).note, kNoteOff);
    EXPECT_EQ(At(*s, 12, 0).volume, kNoVolume);
    EXPECT_EQ(At(*s, 14, 0).note, kNoteCut);
    EXPECT_TRUE(At(*s, 15, 0).Empty());
    EXPECT_TRUE(At(*s, 1, 0).Empty());
    // A bare drum name plays its own note; an override names the instrument.
    EXPECT_EQ(At(*s, 0, 1).note, 48);
    EXPECT_EQ(At(*s, 0, 1).instrument, 2);
    EXPECT_EQ(At(*s, 8, 1).note, 55);
    EXPECT_EQ(At(*s, 8, 1).instrument, 1);
    for (int r = 8; r < 12; ++r) EXPECT_EQ(At(*s, r, 1).effect, 'J') << r;
    EXPECT_EQ(At(*s, 12, 1).effect, 0);
    ASSERT_EQ(s->sections.size(), 1u);
    EXPECT_EQ(s->sections[0].tempo, 100);
}

TEST(Score, FaultsNameTheirLine)
{
    struct Case { std::string body; std::string expect; };
    const Case cases[] = {
        {"pattern p 16\n  1 lead : c4:8\nend\n", "line 3: pattern p channel 1 has 8 rows, not 16"},
        {"pattern p 16\n  1 lead : c4:20\nend\n", "line 2: pattern p channel 1 runs past row 16"},
        {"pattern p 16\n  1 kazoo : c4:16\nend\n", "line 2: unknown instrument kazoo"},
        {"pattern p 16\n  1 lead : [c4:4 d4\nend\n", "line 2: unclosed ["},
        {"pattern p 16\n  1 lead : c4:4 d4]x2\nend\n", "line 2: unmatched ]"},
        {"pattern p 16\n  1 lead : $nope\nend\n", "line 2: unknown phrase $nope"},
        {"pattern p 16\n  1 lead : h4:16\nend\n", "line 2: not a note: h4:16"},
        {"pattern p 16\n  1 lead : c4:16@65\nend\n", "line 2: volume above 64"},
        {"pattern p 16\n  1 : c4:16\nend\n", "line 2: channel 1 continues before it names an instrument"},
        {"pattern p 16\n  9 lead : c4:16\nend\n", "line 2: expected"},
        {"pattern p 16\n  1 lead : c4:16\n", "pattern p has no end"},
        {"section 0 loop : q\n", "line 1: unknown pattern q"},
        {"pattern p 16\n  1 lead : c4:16\nend\nsection 0 loop from 1 : p\n", "line 4: loop start past"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.body, error)) << c.body;
        EXPECT_NE(error.find(c.expect), std::string::npos) << c.body << "\n-> " << error;
    }
}

namespace {

const char* kSections =
    "pattern a 4\n  1 lead : c4:4\nend\n"
    "pattern b 4\n  1 lead : d4:4\nend\n"
    "section 0 loop tempo 90 : a b\n"
    "section 3 once tempo 120 : b\n"
    "section 5 loop tempo 140 from 1 : a b\n";

} // namespace

TEST(Arrange, SectionsStartAtTheirPositionsAndLoopOrEnd)
{
    std::string error;
    const auto score = Parse(kSections, error);
    ASSERT_TRUE(score) << error;
    const auto m = Arrange(*score, error);
    ASSERT_TRUE(m) << error;
    const std::vector<uint8_t> orders = {0, 1, kOrderSkip, 2, kOrderEnd, 3, 4, kOrderEnd};
    EXPECT_EQ(m->orders, orders);
    ASSERT_EQ(m->patterns.size(), 5u);
    const auto control = [&](int pattern, int row) { return m->patterns[pattern][row][kControlChannel]; };
    // Tempo on a section's first row, a jump back on its last row.
    EXPECT_EQ(control(0, 0).effect, 'T');
    EXPECT_EQ(control(0, 0).param, 90);
    EXPECT_EQ(control(1, 3).effect, 'B');
    EXPECT_EQ(control(1, 3).param, 0);
    EXPECT_EQ(control(2, 0).param, 120);
    EXPECT_EQ(control(2, 3).effect, 0) << "a one-shot section must not jump";
    EXPECT_EQ(control(4, 3).effect, 'B');
    EXPECT_EQ(control(4, 3).param, 6);
    EXPECT_EQ(m->initialTempo, 90);
    // Each section's first row sets its level, at full volume until levelled.
    for (int order : {0, 3, 5}) EXPECT_EQ(SectionVolume(*m, order), kFullGlobalVolume) << order;
    EXPECT_EQ(m->patterns[1][0][kLevelChannel].effect, 0) << "only a section's first row sets its level";
    EXPECT_EQ(SectionVolume(*m, 1), -1);
}

TEST(Arrange, RefusesSectionsThatRunIntoTheNext)
{
    const std::string text = "pattern a 4\n  1 lead : c4:4\nend\n"
                             "section 0 loop : a a a\n"
                             "section 2 loop : a\n";
    std::string error;
    const auto score = Parse(text, error);
    ASSERT_TRUE(score) << error;
    EXPECT_FALSE(Arrange(*score, error));
    EXPECT_EQ(error, "section at order 0 runs into order 2");

    const std::string once = "pattern a 4\n  1 lead : c4:4\nend\n"
                             "section 0 once : a a\n"
                             "section 2 loop : a\n"; // no room left for the end marker
    const auto score2 = Parse(once, error);
    ASSERT_TRUE(score2) << error;
    EXPECT_FALSE(Arrange(*score2, error));
}

TEST(Arrange, WrittenModulePlaysAsArranged)
{
    std::string error;
    const auto score = Parse(kSections, error);
    ASSERT_TRUE(score) << error;
    const auto m = Arrange(*score, error);
    ASSERT_TRUE(m) << error;
    const std::string bytes = WriteIt(*m, {Buzz(), Buzz()});
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr,
                                                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mod, nullptr);
    EXPECT_EQ(openmpt_module_get_num_instruments(mod), 2);
    // The one-shot section ends; the looping one comes back to its loop start.
    openmpt_module_set_repeat_count(mod, 0);
    openmpt_module_set_position_order_row(mod, 3, 0);
    std::vector<float> buf(2 * 512);
    double seconds = 0.0;
    while (openmpt_module_read_interleaved_float_stereo(mod, 44100, 512, buf.data()) > 0 && seconds < 10.0) seconds += 512 / 44100.0;
    EXPECT_LT(seconds, 1.0);
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_set_position_order_row(mod, 5, 0);
    bool sawLoopStart = false;
    for (int i = 0; i < 400; ++i) {
        openmpt_module_read_interleaved_float_stereo(mod, 44100, 512, buf.data());
        const int order = openmpt_module_get_current_order(mod);
        EXPECT_GE(order, 5);
        EXPECT_LE(order, 6);
        if (i > 100 && order == 6) sawLoopStart = true;
    }
    EXPECT_TRUE(sawLoopStart);
    openmpt_module_destroy(mod);
}

// Sections written 6 dB apart come out at one loudness, each as the game starts it
// at its own position; a level no section can reach is refused with its position.
TEST(Levelling, EveryTuneComesToOneLoudness)
{
    const std::string text = "pattern loud 16\n  1 lead : c4:16@64\nend\n"
                             "pattern soft 16\n  1 lead : e4:16@32\nend\n"
                             "section 0 loop tempo 120 : loud loud\n"
                             "section 2 once tempo 120 : soft soft\n"
                             "section 5 loop tempo 120 : soft loud\n";
    std::string error;
    const auto score = Parse(text, error);
    ASSERT_TRUE(score) << error;
    auto m = Arrange(*score, error);
    ASSERT_TRUE(m) << error;
    const std::vector<Instrument> instruments = {Buzz(), Buzz()};
    ASSERT_TRUE(LevelTunes(*m, instruments, score->sections, -25.0, error)) << error;
    EXPECT_LT(SectionVolume(*m, 0), SectionVolume(*m, 2));
    const std::string bytes = WriteIt(*m, instruments);
    for (const Section& sec : score->sections) {
        SCOPED_TRACE(sec.order);
        Zant::Dsp::Signal left, right;
        ASSERT_TRUE(RenderTune(bytes, sec.order, !sec.loop, left, right));
        EXPECT_NEAR(Zant::Dsp::IntegratedLoudness(left, right), -25.0, 0.15);
    }

    auto loud = Arrange(*score, error);
    ASSERT_TRUE(loud);
    EXPECT_FALSE(LevelTunes(*loud, instruments, score->sections, 0.0, error));
    EXPECT_NE(error.find("the tune at order 0 reaches only"), std::string::npos) << error;
}
