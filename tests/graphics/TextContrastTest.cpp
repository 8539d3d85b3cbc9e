// The contrast measure the screen tests judge texts by: letters are told from their
// outline and from the picture round them, each text of a line on its own.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/TextContrast.h"

using TestSupport::DrawnText;
using TestSupport::MeasureTexts;
using TestSupport::TextFrames;

namespace {

// The picture under the texts: plain, or a fine check of two tones (busy art).
struct Ground {
    uint32_t tone, other = 0;
    bool busy = false;
    uint32_t At(int x, int y) const { return busy && (x / 2 + y / 2) % 2 ? other : tone; }
};

// A text of upright strokes (a rough "III"): each stroke's core is 2 by 8 pixels
// of ink, its outline (when it has one) one pixel round it, under the ink, as the
// fonts' rims are.
struct Strokes {
    int x, strokes;
    uint32_t ink;
    bool outlined = false;
    uint32_t rim = 0;
};

constexpr int W = 60, H = 24;

bool InCore(const Strokes& s, int k, int x, int y)
{
    const int left = s.x + k * 5;
    return x >= left && x < left + 2 && y >= 8 && y < 16;
}

bool InRim(const Strokes& s, int k, int x, int y)
{
    const int left = s.x + k * 5;
    return s.outlined && x >= left - 1 && x < left + 3 && y >= 7 && y < 17;
}

uint32_t& At(ImageLib::Image& p, int x, int y)
{
    return p.GetBits()[size_t(y) * W + x];
}

// The four drawings of a frame as the fonts would make them, and the texts.
TextFrames Paint(const Ground& ground, const std::vector<Strokes>& texts, std::vector<DrawnText>& drawn)
{
    TextFrames f{ImageLib::Image(W, H), ImageLib::Image(W, H), ImageLib::Image(W, H), ImageLib::Image(W, H)};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (ImageLib::Image* p : {&f.full, &f.bare, &f.letters, &f.outlines})
                At(*p, x, y) = ground.At(x, y);
    for (const Strokes& s : texts) {
        DrawnText text;
        text.text = "III";
        text.outlined = s.outlined;
        for (int k = 0; k < s.strokes; ++k) {
            text.letters.push_back(Zant::Rect(s.x + k * 5, 8, 2, 8));
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    if (InRim(s, k, x, y)) {
                        At(f.full, x, y) = s.rim;
                        At(f.outlines, x, y) = TestSupport::MARKING;
                    }
                }
        }
        drawn.push_back(text);
    }
    // Letters over every outline, as the fonts order their layers.
    for (const Strokes& s : texts)
        for (int k = 0; k < s.strokes; ++k)
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    if (InCore(s, k, x, y)) {
                        At(f.full, x, y) = s.ink;
                        At(f.letters, x, y) = TestSupport::MARKING;
                    }
    return f;
}

} // namespace

TEST(TextContrast, MeasuresLettersAgainstWhatIsRightRoundThem)
{
    const uint32_t WHITE = 0xFFFFFFFF, BLACK = 0xFF000000, CREAM = 0xFFF4ECD2, CHARCOAL = 0xFF2F3640;
    const Ground busy{0xFF1C6E8C, 0xFFD8E2EA, true};
    const struct Case {
        const char* what;
        Ground ground;
        Strokes letters;
        bool legible;
        double atLeast, below;
    } cases[] = {
        {"black on white", {WHITE}, {10, 3, BLACK}, true, 15, 22},
        {"dark red on crimson", {0xFFA8414A}, {10, 3, 0xFF5A1A1E}, false, 1.5, 3.5},
        {"pale grey on half-lit sky", {0xFF646C74}, {10, 3, 0xFFC8C8C8}, false, 2.5, 4.5},
        // Letters over busy art, their rim between them and it: what is right
        // round them is the rim and the art beyond, and the rim must part them
        // from the letters at 7:1.
        {"black in a white rim over busy water", busy, {10, 3, BLACK, true, WHITE}, true, 12, 22},
        {"yellow in a black rim over busy water", busy, {10, 3, 0xFFFFFF64, true, BLACK}, true, 7, 22},
        {"black in a white rim on a mottled creature", {CHARCOAL, 0xFF5A6878, true}, {10, 3, BLACK, true, WHITE}, true,
         6, 12},
        {"white in a black rim on navy", {0xFF0B1E3A}, {10, 3, WHITE, true, BLACK}, true, 15, 22},
        {"white in a grey rim over busy water", busy, {10, 3, WHITE, true, 0xFF606060}, false, 5.5, 7},
        // A rim does not make up for letters lost on the panel beyond it, nor is
        // a rim of the letters' own tone any help.
        {"bright green in a black rim on cream", {CREAM}, {10, 3, 0xFF00DC00, true, BLACK}, false, 1.4, 4.5},
        {"dark brown in a dark rim on cream", {CREAM}, {10, 3, 0xFF4F3C1A, true, 0xFF141210}, false, 1.2, 3},
        // A rim is not a background: on a flat panel, plate or button face the
        // letters must read against the face beyond their rim as well, however
        // well the rim parts them.
        {"white in a black rim on cream", {CREAM}, {10, 3, WHITE, true, BLACK}, false, 1.1, 1.3},
        {"pale yellow in a black rim on cream", {CREAM}, {10, 3, 0xFFFFFF64, true, BLACK}, false, 1.05, 1.2},
        {"black in a white rim on a flat charcoal plate", {CHARCOAL}, {10, 3, BLACK, true, WHITE}, false, 1.5, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<DrawnText> drawn;
        const TextFrames frames = Paint(c.ground, {c.letters}, drawn);
        const auto texts = MeasureTexts(frames, drawn);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].Legible(), c.legible) << texts[0].ratio << ":1, needing " << texts[0].needed;
        EXPECT_GE(texts[0].ratio, c.atLeast);
        EXPECT_LT(texts[0].ratio, c.below);
        EXPECT_EQ(texts[0].outlined, c.letters.outlined);
        EXPECT_EQ(texts[0].x, 10) << "the box is the letters'";
    }
}

TEST(TextContrast, JudgesEachTextOfALineOnItsOwn)
{
    // A word half typed: the typed part drawn as a text of its own right before the
    // rest, each in its own colour on one panel. The faint part fails alone.
    std::vector<DrawnText> drawn;
    const TextFrames frames =
        Paint({0xFFFFFFFF}, {{10, 3, 0xFF8CD88C}, {25, 3, 0xFF000000}}, drawn);
    const auto texts = MeasureTexts(frames, drawn);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_FALSE(texts[0].Legible()) << texts[0].ratio;
    EXPECT_LT(texts[0].ratio, 2.0);
    EXPECT_TRUE(texts[1].Legible()) << texts[1].ratio;
    EXPECT_GT(texts[1].ratio, 15.0);
}

TEST(TextContrast, LeavesOutTextsHiddenUnderOthers)
{
    // A panel drawn later from this x rightwards: over the whole text, over its
    // last stroke (the text is cut, not there to be read), or clear of it.
    const struct Case {
        const char* what;
        int panelFrom;
        size_t measured;
    } cases[] = {{"covered whole", 0, 0}, {"cut", 18, 0}, {"clear", 30, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<DrawnText> drawn;
        TextFrames frames = Paint({0xFFFFFFFF}, {{10, 3, 0xFF000000}}, drawn);
        for (ImageLib::Image* p : {&frames.full, &frames.bare, &frames.letters, &frames.outlines})
            for (int y = 0; y < H; ++y)
                for (int x = c.panelFrom; x < W; ++x)
                    At(*p, x, y) = 0xFF336699;
        EXPECT_EQ(MeasureTexts(frames, drawn).size(), c.measured);
    }
}

// Thin letters as a font draws them: one-pixel strokes with a blended pixel
// either side, so the edges outnumber the strokes' full pixels.
uint32_t Blend(uint32_t a, uint32_t b, int towardsB)
{
    uint32_t out = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
        out |= uint32_t(ca + (cb - ca) * towardsB / 255) << shift;
    }
    return out;
}

TEST(TextContrast, ReadsThinLettersByTheirStrokesNotTheirEdges)
{
    const struct Case {
        const char* what;
        uint32_t ground, ink;
        bool legible;
    } cases[] = {
        {"white on navy", 0xFF0B1E3A, 0xFFFFFFFF, true},
        {"black on cream", 0xFFF4ECD2, 0xFF000000, true},
        {"pale gold on cream", 0xFFF4ECD2, 0xFFC8A860, false},
        {"pale brown on cream", 0xFFF4ECD2, 0xFFA08868, false},
        {"dark green on dark green", 0xFF1E4A2E, 0xFF2E8040, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextFrames f{ImageLib::Image(W, H), ImageLib::Image(W, H), ImageLib::Image(W, H), ImageLib::Image(W, H)};
        DrawnText text;
        text.text = "IIII";
        for (ImageLib::Image* p : {&f.full, &f.bare, &f.letters, &f.outlines})
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    At(*p, x, y) = c.ground;
        for (int stroke = 0; stroke < 4; ++stroke) {
            const int x = 8 + stroke * 4;
            text.letters.push_back(Zant::Rect(x - 1, 6, 3, 10));
            for (int y = 6; y < 16; ++y) {
                const int strength = y == 6 || y == 15 ? 110 : 255;
                for (auto [dx, share] : {std::pair{0, strength}, {-1, 90}, {1, 140}}) {
                    At(f.full, x + dx, y) = Blend(c.ground, c.ink, share);
                    At(f.letters, x + dx, y) = Blend(c.ground, TestSupport::MARKING, share);
                }
            }
        }
        const auto texts = MeasureTexts(f, {text});
        ASSERT_EQ(texts.size(), 1u);
        const double truth = TestSupport::ContrastRatio(c.ground, c.ink);
        EXPECT_NEAR(texts[0].ratio, truth, truth * 0.1) << "the strokes' own colour against the ground";
        EXPECT_EQ(texts[0].Legible(), c.legible) << texts[0].ratio;
    }
}

TEST(TextContrast, ContrastRatioFollowsWcag)
{
    using TestSupport::ContrastRatio;
    EXPECT_NEAR(ContrastRatio(0xFFFFFFFFu, 0xFF000000u), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0xFF777777u, 0xFFFFFFFFu), 4.48, 0.01);
}
