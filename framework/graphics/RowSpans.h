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
    static Kind KindOf(uint16_t span) { return Kind(span >> KIND_SHIFT); }
    static int LengthOf(uint16_t span) { return span & MAX_LENGTH; }

private:
    std::vector<uint16_t> mSpans;
    std::vector<uint32_t> mRowStart;
};

} // namespace Zant
