// Sprite rows as skip / copy / blend spans.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/RowSpans.h"

using namespace Zant;

namespace {

// '.' transparent, '#' opaque, 's' soft.
std::vector<uint32_t> Row(const std::string& text)
{
    std::vector<uint32_t> pixels;
    for (char c : text)
        pixels.push_back(c == '.' ? 0x00123456u : c == '#' ? 0xFF654321u : 0x80ABCDEFu);
    return pixels;
}

} // namespace

TEST(RowSpansTest, SpansCoverEachRowAndBlendOnlyWhatBlendingLeavesExact)
{
    // A span may blend transparent pixels (onto an opaque pixel they change nothing) but
    // never an opaque one, whose blend is not its own colour.
    struct Case {
        std::string row;
        int blendSpans; // expected number of blend spans, -1 when not checked
    };
    const Case cases[] = {
        {"", 0},
        {".", 0},
        {"#", 0},
        {"s", 1},
        {"..s..", 1},
        {"ss....ss", 1},                                   // a short gap is blended through
        {"s" + std::string(30, '.') + "s", 2},             // a long one is skipped
        {"##s##", 1},
        {".s#s.", 2},
        {"#.s.#", 1},
        {std::string(20000, '#'), 0},                      // longer than one span holds
        {std::string(17000, '.') + "s" + std::string(17000, '.'), 1},
        {"s.s.s.s.s.s.s.s.s.s.#s.s", -1},
    };
    for (const Case& c : cases) {
        const std::vector<uint32_t> pixels = Row(c.row);
        const RowSpans spans(pixels.data(), int(pixels.size()), 1);
        size_t x = 0;
        int blends = 0;
        for (const uint16_t* span = spans.Begin(0); span != spans.End(0); ++span) {
            const int length = RowSpans::LengthOf(*span);
            ASSERT_GT(length, 0) << c.row;
            ASSERT_LE(x + size_t(length), c.row.size()) << c.row;
            const std::string part = c.row.substr(x, size_t(length));
            switch (RowSpans::KindOf(*span)) {
            case RowSpans::SKIP:
                EXPECT_EQ(part.find_first_not_of('.'), std::string::npos) << c.row << " at " << x;
                break;
            case RowSpans::COPY:
                EXPECT_EQ(part.find_first_not_of('#'), std::string::npos) << c.row << " at " << x;
                break;
            case RowSpans::BLEND:
                EXPECT_EQ(part.find('#'), std::string::npos) << c.row << " at " << x;
                ++blends;
                break;
            }
            x += size_t(length);
        }
        EXPECT_EQ(x, c.row.size()) << c.row;
        if (c.blendSpans >= 0) {
            EXPECT_EQ(blends, c.blendSpans) << c.row;
        }
    }
}

TEST(RowSpansTest, RowsOfAnImageEachHaveTheirOwnSpans)
{
    const std::vector<uint32_t> pixels = Row("#..s" "ssss" "...." "####");
    const RowSpans spans(pixels.data(), 4, 4);
    const RowSpans::Kind first[4] = {RowSpans::COPY, RowSpans::BLEND, RowSpans::SKIP, RowSpans::COPY};
    for (int y = 0; y < 4; ++y) {
        ASSERT_NE(spans.Begin(y), spans.End(y));
        EXPECT_EQ(RowSpans::KindOf(*spans.Begin(y)), first[y]) << y;
        int width = 0;
        for (const uint16_t* span = spans.Begin(y); span != spans.End(y); ++span)
            width += RowSpans::LengthOf(*span);
        EXPECT_EQ(width, 4) << y;
    }
}

TEST(RowSpansTest, SeekFindsTheSpanHoldingAColumn)
{
    // A strip of cels: a copy of one cel starts in the middle of the row.
    const std::string row = "...###sss..." + std::string(20000, '#') + ".s.";
    const std::vector<uint32_t> pixels = Row(row);
    const RowSpans spans(pixels.data(), int(pixels.size()), 1);
    for (int x : {0, 2, 3, 5, 6, 11, 12, 16000, 20011, 20012, int(row.size()) - 1}) {
        int start = -1;
        const uint16_t* span = spans.Seek(0, x, start);
        ASSERT_NE(span, spans.End(0)) << x;
        EXPECT_LE(start, x);
        EXPECT_GT(start + RowSpans::LengthOf(*span), x);
        int column = 0;
        for (const uint16_t* s = spans.Begin(0); s != span; ++s)
            column += RowSpans::LengthOf(*s);
        EXPECT_EQ(column, start) << x;
    }
}
