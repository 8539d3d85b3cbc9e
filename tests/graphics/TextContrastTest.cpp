// The contrast measure the screen tests list illegible texts by: letters are
// told from what lies round them, whether that is the picture or a rim.
#include <gtest/gtest.h>

#include "tests/support/TextContrast.h"

using TestSupport::MeasureTexts;

namespace {

// Three upright strokes (a rough "III") on a background, optionally rimmed.
struct Letters {
    uint32_t ground, ink, rim;
    bool rimmed;
};

void Paint(ImageLib::Image& p, const Letters& l, bool withText)
{
    for (int y = 0; y < p.GetHeight(); ++y)
        for (int x = 0; x < p.GetWidth(); ++x)
            p.GetBits()[size_t(y) * p.GetWidth() + x] = l.ground;
    if (!withText)
        return;
    for (int stroke = 0; stroke < 3; ++stroke)
        for (int y = 6; y < 18; ++y)
            for (int x = 10 + stroke * 5 - 2; x < 10 + stroke * 5 + 4; ++x) {
                const bool core = x >= 10 + stroke * 5 && x < 10 + stroke * 5 + 2 && y >= 8 && y < 16;
                if (core)
                    p.GetBits()[size_t(y) * p.GetWidth() + x] = l.ink;
                else if (l.rimmed)
                    p.GetBits()[size_t(y) * p.GetWidth() + x] = l.rim;
            }
}

} // namespace

TEST(TextContrast, TellsLegibleLettersFromFaintOnes)
{
    const struct Case {
        const char* what;
        Letters letters;
        double atLeast, below;
    } cases[] = {
        {"black on white", {0xFFFFFFFF, 0xFF000000, 0, false}, 15, 22},
        {"dark red on crimson", {0xFFA8414A, 0xFF5A1A1E, 0, false}, 1.5, 3.5},
        {"black on charcoal", {0xFF2F3640, 0xFF000000, 0, false}, 1.2, 2.5},
        {"black with a white rim on charcoal", {0xFF2F3640, 0xFF000000, 0xFFFFFFFF, true}, 7, 22},
        {"yellow with a black rim on pale cyan", {0xFFBFEFFF, 0xFFFFFF64, 0xFF000000, true}, 7, 22},
        {"pale grey on half-lit sky", {0xFF646C74, 0xFFC8C8C8, 0, false}, 2.5, 4.5},
        {"pale grey with a black rim on half-lit sky", {0xFF646C74, 0xFFC8C8C8, 0xFF000000, true}, 7, 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImageLib::Image with(40, 24), without(40, 24);
        Paint(with, c.letters, true);
        Paint(without, c.letters, false);
        const auto texts = MeasureTexts(with, without);
        ASSERT_EQ(texts.size(), 1u) << "the three strokes are one text";
        EXPECT_GE(texts[0].ratio, c.atLeast);
        EXPECT_LT(texts[0].ratio, c.below);
        EXPECT_EQ(texts[0].x, c.letters.rimmed ? 8 : 10);
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

void PaintThin(ImageLib::Image& p, uint32_t ground, uint32_t ink, bool withText)
{
    for (int y = 0; y < p.GetHeight(); ++y)
        for (int x = 0; x < p.GetWidth(); ++x)
            p.GetBits()[size_t(y) * p.GetWidth() + x] = ground;
    if (!withText)
        return;
    for (int stroke = 0; stroke < 4; ++stroke)
        for (int y = 6; y < 16; ++y) {
            const int x = 8 + stroke * 4;
            const int strength = y == 6 || y == 15 ? 110 : 255;
            p.GetBits()[size_t(y) * p.GetWidth() + x] = Blend(ground, ink, strength);
            p.GetBits()[size_t(y) * p.GetWidth() + x - 1] = Blend(ground, ink, 90);
            p.GetBits()[size_t(y) * p.GetWidth() + x + 1] = Blend(ground, ink, 140);
        }
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
        ImageLib::Image with(40, 24), without(40, 24);
        PaintThin(with, c.ground, c.ink, true);
        PaintThin(without, c.ground, c.ink, false);
        const auto texts = MeasureTexts(with, without);
        ASSERT_EQ(texts.size(), 1u);
        const double truth = TestSupport::ContrastRatio(c.ground, c.ink);
        EXPECT_NEAR(texts[0].ratio, truth, truth * 0.1) << "the strokes' own colour against the ground";
        EXPECT_EQ(texts[0].ratio >= TestSupport::LEGIBLE_CONTRAST, c.legible) << texts[0].ratio;
    }
}

TEST(TextContrast, ContrastRatioFollowsWcag)
{
    using TestSupport::ContrastRatio;
    using TestSupport::RelativeLuminance;
    EXPECT_NEAR(ContrastRatio(0xFFFFFFFFu, 0xFF000000u), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0xFF777777u, 0xFFFFFFFFu), 4.48, 0.01);
}
