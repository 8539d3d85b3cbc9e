#include "framework/graphics/RowSpans.h"

#include <algorithm>

namespace Zant {

namespace {

// Transparent gaps up to this long between soft pixels are blended through.
constexpr int GAP = 6;
// Soft spans are padded with transparent neighbours to whole steps of this many
// pixels (the narrow kernel's width), and to at least WIDE pixels (the wide one's).
constexpr int STEP = 4;
constexpr int WIDE = 8;

struct Run {
    RowSpans::Kind kind;
    int length;
};

RowSpans::Kind KindOf(uint32_t pixel)
{
    const uint32_t a = pixel >> 24;
    return a == 0 ? RowSpans::SKIP : a == 255 ? RowSpans::COPY : RowSpans::BLEND;
}

// Runs of equal kind in one row, short gaps between soft runs blended through.
void RowRuns(const uint32_t* row, int width, std::vector<Run>& runs)
{
    runs.clear();
    for (int x = 0; x < width;) {
        const RowSpans::Kind kind = KindOf(row[x]);
        int end = x + 1;
        while (end < width && KindOf(row[end]) == kind)
            ++end;
        runs.push_back({kind, end - x});
        x = end;
    }
    std::vector<Run> merged;
    for (size_t i = 0; i < runs.size(); ++i) {
        Run run = runs[i];
        const bool gap = run.kind == RowSpans::SKIP && run.length <= GAP && !merged.empty() &&
                         merged.back().kind == RowSpans::BLEND && i + 1 < runs.size() &&
                         runs[i + 1].kind == RowSpans::BLEND;
        if (gap)
            run.kind = RowSpans::BLEND;
        if (!merged.empty() && merged.back().kind == run.kind)
            merged.back().length += run.length;
        else
            merged.push_back(run);
    }
    runs.swap(merged);
}

// Pads each soft run from the transparent runs beside it, the following one first.
void PadBlendRuns(std::vector<Run>& runs)
{
    for (size_t i = 0; i < runs.size(); ++i) {
        Run& run = runs[i];
        if (run.kind != RowSpans::BLEND)
            continue;
        const int target = std::max(WIDE, (run.length + STEP - 1) / STEP * STEP);
        for (size_t side : {i + 1, i - 1}) {
            if (side >= runs.size() || runs[side].kind != RowSpans::SKIP || run.length >= target)
                continue;
            const int take = std::min(target - run.length, runs[side].length);
            run.length += take;
            runs[side].length -= take;
        }
    }
}

} // namespace

RowSpans::RowSpans(const uint32_t* pixels, int width, int height)
    : mBlocks((std::max(width, 0) + (1 << BLOCK_SHIFT) - 1) >> BLOCK_SHIFT)
{
    mRowStart.reserve(size_t(std::max(height, 0)) + 1);
    mBlockSpan.reserve(size_t(std::max(height, 0)) * size_t(mBlocks));
    std::vector<Run> runs;
    for (int y = 0; y < height; ++y) {
        mRowStart.push_back(uint32_t(mSpans.size()));
        RowRuns(pixels + size_t(y) * size_t(width), width, runs);
        PadBlendRuns(runs);
        uint32_t column = 0;
        for (const Run& run : runs) {
            for (int left = run.length; left > 0;) {
                const int length = std::min(left, MAX_LENGTH);
                // Blocks whose first column falls in this span point at it.
                for (uint32_t block = (column + (1u << BLOCK_SHIFT) - 1) >> BLOCK_SHIFT;
                     (block << BLOCK_SHIFT) < column + uint32_t(length); ++block)
                    mBlockSpan.push_back(uint32_t(mSpans.size()));
                mSpans.push_back(uint16_t(run.kind << KIND_SHIFT | length));
                mColumn.push_back(column);
                column += uint32_t(length);
                left -= length;
            }
        }
    }
    mRowStart.push_back(uint32_t(mSpans.size()));
}

const uint16_t* RowSpans::Seek(int y, int x, int& start) const
{
    const uint32_t first = mRowStart[size_t(y)], last = mRowStart[size_t(y) + 1];
    if (first == last)
        return End(y);
    const uint32_t column = uint32_t(std::clamp(x, 0, mBlocks * (1 << BLOCK_SHIFT) - 1));
    uint32_t at = mBlockSpan[size_t(y) * size_t(mBlocks) + (column >> BLOCK_SHIFT)];
    while (at + 1 < last && mColumn[at + 1] <= column)
        ++at;
    start = int(mColumn[at]);
    return mSpans.data() + at;
}

} // namespace Zant
