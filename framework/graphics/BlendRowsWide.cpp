#include "framework/graphics/BlendRowsWide.h"

#include <algorithm>
#include <atomic>

#include "framework/graphics/RowSpans.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PLINDOR_WIDE_KERNELS 1
#include <immintrin.h>
#endif

namespace Zant::BlendRows::Wide {

#if PLINDOR_WIDE_KERNELS

namespace {

std::atomic<bool>& Switch()
{
    static std::atomic<bool> enabled{__builtin_cpu_supports("avx2") != 0};
    return enabled;
}

#define WIDE __attribute__((target("avx2")))

WIDE inline __m256i Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
WIDE inline void Store(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

WIDE inline __m256i BroadcastAlpha(__m256i p16)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(p16, 0xFF), 0xFF);
}

// As the 128-bit form: blue's products lose their low byte before the shared shift.
WIDE inline __m256i BlendLanes(__m256i d16, __m256i weightedSource, __m256i inverseWeight)
{
    const __m256i keep = _mm256_set1_epi64x(int64_t(0xFFFFFFFFFFFFFF00));
    const __m256i dest = _mm256_and_si256(_mm256_mullo_epi16(d16, inverseWeight), keep);
    return _mm256_srli_epi16(_mm256_add_epi16(dest, _mm256_and_si256(weightedSource, keep)), 8);
}

WIDE inline __m256i BlendOpaqueDest8(__m256i d, __m256i s)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i k256 = _mm256_set1_epi16(256);
    const __m256i sLo = _mm256_unpacklo_epi8(s, zero);
    const __m256i sHi = _mm256_unpackhi_epi8(s, zero);
    const __m256i aLo = BroadcastAlpha(sLo);
    const __m256i aHi = BroadcastAlpha(sHi);
    const __m256i lo =
        BlendLanes(_mm256_unpacklo_epi8(d, zero), _mm256_mullo_epi16(sLo, aLo), _mm256_sub_epi16(k256, aLo));
    const __m256i hi =
        BlendLanes(_mm256_unpackhi_epi8(d, zero), _mm256_mullo_epi16(sHi, aHi), _mm256_sub_epi16(k256, aHi));
    return _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(int(PixelBlend::ALPHA_MASK)));
}

WIDE inline bool AllAlphaEqual(__m256i v, __m256i alpha)
{
    const __m256i mask = _mm256_set1_epi32(int(PixelBlend::ALPHA_MASK));
    return _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(v, mask), alpha)) == -1;
}

// A product of two lane values below 65536 in 32-bit lanes, from the low and high
// halves of the 16-bit products (the lanes' upper halves are zero).
WIDE inline __m256i Mul32(__m256i a, __m256i b)
{
    return _mm256_or_si256(_mm256_mullo_epi16(a, b), _mm256_slli_epi32(_mm256_mulhi_epu16(a, b), 16));
}

template <int SHIFT>
WIDE inline __m256i Channel(__m256i p)
{
    return _mm256_and_si256(_mm256_srli_epi32(p, SHIFT), _mm256_set1_epi32(0xFF));
}

// PixelBlend::BlendTintedOpaqueDest on eight pixels, one channel at a time in 32-bit
// lanes: the products of source, weight and tint need up to 24 bits.
WIDE inline __m256i BlendTintedOpaqueDest8(__m256i d, __m256i s, __m256i ta, __m256i tr, __m256i tg, __m256i tb)
{
    // w = source alpha * tint alpha / 255, the division exact as (x + 1 + (x >> 8)) >> 8
    // below 65536.
    const __m256i x = _mm256_mullo_epi16(_mm256_srli_epi32(s, 24), ta);
    const __m256i w =
        _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(x, _mm256_set1_epi32(1)), _mm256_srli_epi32(x, 8)), 8);
    const __m256i iw = _mm256_sub_epi32(_mm256_set1_epi32(256), w);
    const __m256i rs = Mul32(_mm256_mullo_epi16(Channel<16>(s), w), tr);
    const __m256i rd = _mm256_slli_epi32(_mm256_mullo_epi16(Channel<16>(d), iw), 8);
    const __m256i r = _mm256_srli_epi32(_mm256_add_epi32(rs, rd), 16);
    const __m256i gs = _mm256_srli_epi32(Mul32(_mm256_mullo_epi16(Channel<8>(s), w), tg), 8);
    const __m256i g = _mm256_srli_epi32(_mm256_add_epi32(gs, _mm256_mullo_epi16(Channel<8>(d), iw)), 8);
    const __m256i bs = _mm256_srli_epi32(Mul32(_mm256_mullo_epi16(Channel<0>(s), w), tb), 16);
    const __m256i b = _mm256_add_epi32(bs, _mm256_srli_epi32(_mm256_mullo_epi16(Channel<0>(d), iw), 8));
    const __m256i rg = _mm256_or_si256(_mm256_slli_epi32(r, 16), _mm256_slli_epi32(g, 8));
    return _mm256_or_si256(_mm256_or_si256(rg, b), _mm256_set1_epi32(int(PixelBlend::ALPHA_MASK)));
}

// The first n lanes (n < 8), for the part of a row after its last whole step: a masked
// load reads nothing past it and a masked store writes nothing there.
WIDE inline __m256i TailMask(int n)
{
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

WIDE inline __m256i LoadPart(const uint32_t* p, __m256i mask)
{
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), mask);
}

WIDE inline void StorePart(uint32_t* p, __m256i mask, __m256i v)
{
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), mask, v);
}

// Applies op(dest, src) -> new dest to the n pixels of a span, eight at a time. A span
// of eight or more ends in a step over its last eight pixels, worked out before any
// store so that the pixels it shares with the step before get the same result; a
// shorter one is one masked step (op sees the masked-off lanes as zeros, and they are
// never written). Nothing is stored past the span: the next span's loads do not wait
// for a store that reaches into them.
template <typename Op>
WIDE inline void EachStep(uint32_t* dest, const uint32_t* src, int n, const Op& op)
{
    if (n < 8) {
        const __m256i mask = TailMask(n);
        StorePart(dest, mask, op(LoadPart(dest, mask), LoadPart(src, mask)));
        return;
    }
    const __m256i last = op(Load(dest + n - 8), Load(src + n - 8));
    for (int i = 0; i + 8 < n; i += 8)
        Store(dest + i, op(Load(dest + i), Load(src + i)));
    Store(dest + n - 8, last);
}

struct CopyStep {
    WIDE __m256i operator()(__m256i, __m256i src) const { return src; }
};

struct BlendStep {
    WIDE __m256i operator()(__m256i dest, __m256i src) const { return BlendOpaqueDest8(dest, src); }
};

} // namespace

bool Enabled()
{
    return Switch().load(std::memory_order_relaxed);
}

void SetEnabled(bool enabled)
{
    Switch().store(enabled && __builtin_cpu_supports("avx2"));
}

WIDE int BlendOpaqueDest(uint32_t* dest, const uint32_t* src, int count)
{
    int i = 0;
    for (; i + 8 <= count; i += 8)
        Store(dest + i, BlendOpaqueDest8(Load(dest + i), Load(src + i)));
    return i;
}

WIDE int BlendOver(uint32_t* dest, const uint32_t* src, int count)
{
    const __m256i opaque = _mm256_set1_epi32(int(PixelBlend::ALPHA_MASK));
    const __m256i clear = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = Load(src + i);
        if (AllAlphaEqual(s, clear))
            continue;
        const __m256i d = Load(dest + i);
        if (AllAlphaEqual(d, opaque)) {
            Store(dest + i, BlendOpaqueDest8(d, s));
        } else {
            for (int k = i; k < i + 8; ++k)
                dest[k] = PixelBlend::BlendOver(dest[k], src[k]);
        }
    }
    return i;
}

namespace {

// One colour over eight opaque pixels: its weighted lanes and inverse weight are
// worked out once per row.
struct ColorLanes {
    __m256i weighted, inverse;
};

WIDE inline ColorLanes MakeColorLanes(uint32_t color)
{
    const __m256i s16 = _mm256_unpacklo_epi8(_mm256_set1_epi32(int(color)), _mm256_setzero_si256());
    const __m256i a16 = BroadcastAlpha(s16);
    return {_mm256_mullo_epi16(s16, a16), _mm256_sub_epi16(_mm256_set1_epi16(256), a16)};
}

WIDE inline __m256i BlendColor8(__m256i d, const ColorLanes& c)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = BlendLanes(_mm256_unpacklo_epi8(d, zero), c.weighted, c.inverse);
    const __m256i hi = BlendLanes(_mm256_unpackhi_epi8(d, zero), c.weighted, c.inverse);
    return _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(int(PixelBlend::ALPHA_MASK)));
}

} // namespace

WIDE int BlendOverColor(uint32_t* dest, uint32_t color, int count)
{
    const __m256i opaque = _mm256_set1_epi32(int(PixelBlend::ALPHA_MASK));
    const ColorLanes lanes = MakeColorLanes(color);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i d = Load(dest + i);
        if (AllAlphaEqual(d, opaque)) {
            Store(dest + i, BlendColor8(d, lanes));
        } else {
            for (int k = i; k < i + 8; ++k)
                dest[k] = PixelBlend::BlendOver(dest[k], color);
        }
    }
    return i;
}

WIDE int BlendColorOpaqueDest(uint32_t* dest, uint32_t color, int count)
{
    const ColorLanes lanes = MakeColorLanes(color);
    int i = 0;
    for (; i + 8 <= count; i += 8)
        Store(dest + i, BlendColor8(Load(dest + i), lanes));
    return i;
}

WIDE int BlendTintedOpaqueDest(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint)
{
    const __m256i clear = _mm256_setzero_si256();
    const __m256i ta = _mm256_set1_epi32(int(tint.a)), tr = _mm256_set1_epi32(int(tint.r));
    const __m256i tg = _mm256_set1_epi32(int(tint.g)), tb = _mm256_set1_epi32(int(tint.b));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = Load(src + i);
        // Glyph cells are mostly transparent.
        if (AllAlphaEqual(s, clear))
            continue;
        Store(dest + i, BlendTintedOpaqueDest8(Load(dest + i), s, ta, tr, tg, tb));
    }
    return i;
}

WIDE void BlendTintedOpaqueDestRows(uint32_t* dest, size_t destStride, const uint32_t* src, size_t srcStride,
                                    int width, int height, const PixelBlend::Tint& tint)
{
    const __m256i clear = _mm256_setzero_si256();
    const __m256i ta = _mm256_set1_epi32(int(tint.a)), tr = _mm256_set1_epi32(int(tint.r));
    const __m256i tg = _mm256_set1_epi32(int(tint.g)), tb = _mm256_set1_epi32(int(tint.b));
    const int whole = width & ~7;
    const __m256i mask = TailMask(width - whole);
    for (int row = 0; row < height; ++row, dest += destStride, src += srcStride) {
        // Glyph cells are mostly transparent: those steps are passed over.
        for (int i = 0; i < whole; i += 8) {
            const __m256i s = Load(src + i);
            if (!AllAlphaEqual(s, clear))
                Store(dest + i, BlendTintedOpaqueDest8(Load(dest + i), s, ta, tr, tg, tb));
        }
        if (whole < width) {
            const __m256i s = LoadPart(src + whole, mask);
            if (!AllAlphaEqual(s, clear))
                StorePart(dest + whole, mask,
                          BlendTintedOpaqueDest8(LoadPart(dest + whole, mask), s, ta, tr, tg, tb));
        }
    }
}

WIDE void DrawSpans(uint32_t* dest, const uint32_t* src, const uint16_t* span, const uint16_t* end, int start,
                    int left, int right)
{
    for (; span != end && start < right; ++span) {
        const int length = RowSpans::LengthOf(*span);
        const int from = std::max(start, left), to = std::min(start + length, right);
        start += length;
        if (from >= to)
            continue;
        uint32_t* const d = dest + (from - left);
        const uint32_t* const s = src + (from - left);
        switch (RowSpans::KindOf(*span)) {
        case RowSpans::COPY:
            EachStep(d, s, to - from, CopyStep());
            break;
        case RowSpans::BLEND:
            EachStep(d, s, to - from, BlendStep());
            break;
        default:
            break;
        }
    }
}

WIDE int Fill(uint32_t* dest, uint32_t color, int count)
{
    const __m256i v = _mm256_set1_epi32(int(color));
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        Store(dest + i, v);
        Store(dest + i + 8, v);
        Store(dest + i + 16, v);
        Store(dest + i + 24, v);
    }
    for (; i + 8 <= count; i += 8)
        Store(dest + i, v);
    return i;
}

WIDE int Add(uint32_t* dest, const uint32_t* src, int count)
{
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    int i = 0;
    // All loads of a step before its stores, four vectors deep, so the loads of one
    // step overlap the stores of the last.
    for (; i + 32 <= count; i += 32) {
        const __m256i s0 = Load(src + i), s1 = Load(src + i + 8), s2 = Load(src + i + 16), s3 = Load(src + i + 24);
        const __m256i d0 = Load(dest + i), d1 = Load(dest + i + 8), d2 = Load(dest + i + 16), d3 = Load(dest + i + 24);
        Store(dest + i, _mm256_adds_epu8(d0, _mm256_and_si256(s0, colour)));
        Store(dest + i + 8, _mm256_adds_epu8(d1, _mm256_and_si256(s1, colour)));
        Store(dest + i + 16, _mm256_adds_epu8(d2, _mm256_and_si256(s2, colour)));
        Store(dest + i + 24, _mm256_adds_epu8(d3, _mm256_and_si256(s3, colour)));
    }
    for (; i + 16 <= count; i += 16) {
        const __m256i s0 = _mm256_and_si256(Load(src + i), colour);
        const __m256i s1 = _mm256_and_si256(Load(src + i + 8), colour);
        Store(dest + i, _mm256_adds_epu8(Load(dest + i), s0));
        Store(dest + i + 8, _mm256_adds_epu8(Load(dest + i + 8), s1));
    }
    for (; i + 8 <= count; i += 8)
        Store(dest + i, _mm256_adds_epu8(Load(dest + i), _mm256_and_si256(Load(src + i), colour)));
    return i;
}

WIDE int AddTinted(uint32_t* dest, const uint32_t* src, int count, const PixelBlend::Tint& tint)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i factors = _mm256_set1_epi64x(int64_t(uint64_t(tint.r) << 32 | uint64_t(tint.g) << 16 | tint.b));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = Load(src + i);
        const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), factors), 8);
        const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), factors), 8);
        Store(dest + i, _mm256_adds_epu8(Load(dest + i), _mm256_packus_epi16(lo, hi)));
    }
    return i;
}

WIDE int AddColor(uint32_t* dest, uint32_t color, int count)
{
    const __m256i colour = _mm256_set1_epi32(int(color & 0x00FFFFFF));
    int i = 0;
    for (; i + 8 <= count; i += 8)
        Store(dest + i, _mm256_adds_epu8(Load(dest + i), colour));
    return i;
}

WIDE void AddRows(uint32_t* dest, size_t destStride, const uint32_t* src, size_t srcStride, int width, int height)
{
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    for (int row = 0; row < height; ++row, dest += destStride, src += srcStride) {
        int i = 0;
        for (; i + 16 <= width; i += 16) {
            const __m256i s0 = Load(src + i), s1 = Load(src + i + 8);
            const __m256i d0 = Load(dest + i), d1 = Load(dest + i + 8);
            Store(dest + i, _mm256_adds_epu8(d0, _mm256_and_si256(s0, colour)));
            Store(dest + i + 8, _mm256_adds_epu8(d1, _mm256_and_si256(s1, colour)));
        }
        for (; i + 8 <= width; i += 8)
            Store(dest + i, _mm256_adds_epu8(Load(dest + i), _mm256_and_si256(Load(src + i), colour)));
        for (; i < width; ++i)
            dest[i] = PixelBlend::Add(dest[i], src[i]);
    }
}

#else // no wide kernels on this processor family

bool Enabled() { return false; }
void SetEnabled(bool) {}
int BlendOpaqueDest(uint32_t*, const uint32_t*, int) { return 0; }
int BlendOver(uint32_t*, const uint32_t*, int) { return 0; }
int BlendOverColor(uint32_t*, uint32_t, int) { return 0; }
int BlendColorOpaqueDest(uint32_t*, uint32_t, int) { return 0; }
int BlendTintedOpaqueDest(uint32_t*, const uint32_t*, int, const PixelBlend::Tint&) { return 0; }
int Fill(uint32_t*, uint32_t, int) { return 0; }
int Add(uint32_t*, const uint32_t*, int) { return 0; }
int AddTinted(uint32_t*, const uint32_t*, int, const PixelBlend::Tint&) { return 0; }
int AddColor(uint32_t*, uint32_t, int) { return 0; }
void AddRows(uint32_t*, size_t, const uint32_t*, size_t, int, int) {}
void BlendTintedOpaqueDestRows(uint32_t*, size_t, const uint32_t*, size_t, int, int, const PixelBlend::Tint&) {}
void DrawSpans(uint32_t*, const uint32_t*, const uint16_t*, const uint16_t*, int, int, int) {}

#endif

} // namespace Zant::BlendRows::Wide
