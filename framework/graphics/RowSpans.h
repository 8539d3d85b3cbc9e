#pragma once
// The rows of a sprite as spans of one kind each, for copies onto an opaque
// destination: skip n (transparent), copy n (opaque), blend n (soft). Built once per
// change of the pixels. Short transparent gaps between soft pixels, and transparent
// pixels beside short soft spans, join the blend spans: blending a transparent pixel
// onto an opaque one leaves it as it was, and a longer span reaches the wide kernels
// instead of the per-pixel tail.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Zant {

class RowSpans {
public:
    enum Kind : uint16_t { SKIP = 0, COPY = 1, BLEND = 2 };
    static constexpr int KIND_SHIFT = 14;
    static constexpr int MAX_LENGTH = (1 << KIND_SHIFT) - 1;

    RowSpans(const uint32_t* pixels, int width, int height);

    // The spans of row y, each kind << KIND_SHIFT | length.
    const uint16_t* Begin(int y) const { return mSpans.data() + mRowStart[size_t(y)]; }
    const uint16_t* End(int y) const { return mSpans.data() + mRowStart[size_t(y) + 1]; }
    // The span of row y that holds column x (the row's last span when x lies past it,
    // End(y) for an empty row), and the column it starts at: sprite strips are drawn a cel at a time, so a copy starts
    // anywhere in a long row.
    const uint16_t* Seek(int y, int x, int& start) const;
    static Kind KindOf(uint16_t span) { return Kind(span >> KIND_SHIFT); }
    static int LengthOf(uint16_t span) { return span & MAX_LENGTH; }

private:
    static constexpr int BLOCK_SHIFT = 6;

    std::vector<uint16_t> mSpans;
    std::vector<uint32_t> mColumn; // where each span starts in its row
    std::vector<uint32_t> mRowStart;
    // For each row and each block of 64 columns, the span holding the block's first
    // column, so a seek walks a few spans at most.
    std::vector<uint32_t> mBlockSpan;
    int mBlocks = 0;
};

} // namespace Zant
