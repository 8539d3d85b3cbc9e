#include "framework/graphics/BlendRows.h"

#include "framework/graphics/BlendRowsWide.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Zant::BlendRows {

using namespace PixelBlend;

#if defined(__SSE2__)

namespace {

inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Four opaque-destination blends at once in 16-bit lanes: every product (channel times
// a weight of at most 256) and the red and green sums stay below 65536. Blue shifts
// each product before adding; clearing the low byte of both products first gives the
// same result from the one shifted sum.
inline __m128i BlendLanes(__m128i d16, __m128i weightedSource, __m128i inverseWeight)
{
    const __m128i keep = _mm_set_epi16(-1, -1, -1, short(0xFF00), -1, -1, -1, short(0xFF00));
    const __m128i dest = _mm_and_si128(_mm_mullo_epi16(d16, inverseWeight), keep);
    return _mm_srli_epi16(_mm_add_epi16(dest, _mm_and_si128(weightedSource, keep)), 8);
}

inline __m128i BroadcastAlpha(__m128i p16)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(p16, 0xFF), 0xFF);
}

inline __m128i BlendOpaqueDest4(__m128i d, __m128i s)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i k256 = _mm_set1_epi16(256);
    const __m128i opaque = _mm_set1_epi32(int(ALPHA_MASK));
    const __m128i sLo = _mm_unpacklo_epi8(s, zero);
    const __m128i sHi = _mm_unpackhi_epi8(s, zero);
    const __m128i aLo = BroadcastAlpha(sLo);
    const __m128i aHi = BroadcastAlpha(sHi);
    const __m128i lo = BlendLanes(_mm_unpacklo_epi8(d, zero), _mm_mullo_epi16(sLo, aLo), _mm_sub_epi16(k256, aLo));
    const __m128i hi = BlendLanes(_mm_unpackhi_epi8(d, zero), _mm_mullo_epi16(sHi, aHi), _mm_sub_epi16(k256, aHi));
    return _mm_or_si128(_mm_packus_epi16(lo, hi), opaque);
}

inline bool AllAlphaEqual(__m128i v, __m128i alpha)
{
    const __m128i mask = _mm_set1_epi32(int(ALPHA_MASK));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, mask), alpha)) == 0xFFFF;
}

// The product of two lane values below 65536 in 32-bit lanes (their upper halves zero).
inline __m128i Mul32(__m128i a, __m128i b)
{
    return _mm_or_si128(_mm_mullo_epi16(a, b), _mm_slli_epi32(_mm_mulhi_epu16(a, b), 16));
}

template <int SHIFT>
inline __m128i Channel(__m128i p)
{
    return _mm_and_si128(_mm_srli_epi32(p, SHIFT), _mm_set1_epi32(0xFF));
}

// The tint in 32-bit lanes.
struct TintLanes {
    __m128i a, r, g, b;
    explicit TintLanes(const Tint& t)
        : a(_mm_set1_epi32(int(t.a))), r(_mm_set1_epi32(int(t.r))), g(_mm_set1_epi32(int(t.g))),
          b(_mm_set1_epi32(int(t.b)))
    {
    }
};

// PixelBlend::BlendTintedOpaqueDest on four pixels, a channel at a time in 32-bit lanes
// (source, weight and tint multiply to 24 bits).
inline __m128i BlendTintedOpaqueDest4(__m128i d, __m128i s, const TintLanes& t)
{
    // w = source alpha * tint alpha / 255; below 65536, x / 255 is (x + 1 + (x >> 8)) >> 8.
    const __m128i x = _mm_mullo_epi16(_mm_srli_epi32(s, 24), t.a);
    const __m128i w = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(x, _mm_set1_epi32(1)), _mm_srli_epi32(x, 8)), 8);
    const __m128i iw = _mm_sub_epi32(_mm_set1_epi32(256), w);
    const __m128i rs = Mul32(_mm_mullo_epi16(Channel<16>(s), w), t.r);
    const __m128i rd = _mm_slli_epi32(_mm_mullo_epi16(Channel<16>(d), iw), 8);
    const __m128i r = _mm_srli_epi32(_mm_add_epi32(rs, rd), 16);
    const __m128i gs = _mm_srli_epi32(Mul32(_mm_mullo_epi16(Channel<8>(s), w), t.g), 8);
    const __m128i g = _mm_srli_epi32(_mm_add_epi32(gs, _mm_mullo_epi16(Channel<8>(d), iw)), 8);
    const __m128i bs = _mm_srli_epi32(Mul32(_mm_mullo_epi16(Channel<0>(s), w), t.b), 16);
    const __m128i b = _mm_add_epi32(bs, _mm_srli_epi32(_mm_mullo_epi16(Channel<0>(d), iw), 8));
    const __m128i rg = _mm_or_si128(_mm_slli_epi32(r, 16), _mm_slli_epi32(g, 8));
    return _mm_or_si128(_mm_or_si128(rg, b), _mm_set1_epi32(int(ALPHA_MASK)));
}

} // namespace

void BlendOpaqueDest(uint32_t* dest, const uint32_t* src, int count, bool wide)
{
    // Edges of sprites are runs of a pixel or two: they skip the wide kernel's check.
    int i = count >= 8 && wide ? Wide::BlendOpaqueDest(dest, src, count) : 0;
    for (; i + 4 <= count; i += 4)
        Store(dest + i, BlendOpaqueDest4(Load(dest + i), Load(src + i)));
    for (; i < count; ++i)
        dest[i] = PixelBlend::BlendOpaqueDest(dest[i], src[i]);
}

void BlendOver(uint32_t* dest, const uint32_t* src, int count, bool wide)
{
    const __m128i opaque = _mm_set1_epi32(int(ALPHA_MASK));
    const __m128i clear = _mm_setzero_si128();
    int i = wide ? Wide::BlendOver(dest, src, count) : 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = Load(src + i);
        if (AllAlphaEqual(s, clear))
            continue;
        __m128i d = Load(dest + i);
        if (AllAlphaEqual(d, opaque)) {
            Store(dest + i, BlendOpaqueDest4(d, s));
        } else {
            for (int k = i; k < i + 4; ++k)
                dest[k] = PixelBlend::BlendOver(dest[k], src[k]);
        }
    }
    for (; i < count; ++i)
        dest[i] = PixelBlend::BlendOver(dest[i], src[i]);
}

void BlendOverColor(uint32_t* dest, uint32_t color, int count, bool wide)
{
    if (Alpha(color) == 0)
        return;
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(int(ALPHA_MASK));
    // The source side of the blend is the same for every pixel.
    const __m128i s16 = _mm_unpacklo_epi8(_mm_set1_epi32(int(color)), zero);
    const __m128i a16 = BroadcastAlpha(s16);
    const __m128i weighted = _mm_mullo_epi16(s16, a16);
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), a16);
    int i = wide ? Wide::BlendOverColor(dest, color, count) : 0;
    for (; i + 4 <= count; i += 4) {
        __m128i d = Load(dest + i);
        if (AllAlphaEqual(d, opaque)) {
            const __m128i lo = BlendLanes(_mm_unpacklo_epi8(d, zero), weighted, inverse);
            const __m128i hi = BlendLanes(_mm_unpackhi_epi8(d, zero), weighted, inverse);
            Store(dest + i, _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
        } else {
            for (int k = i; k < i + 4; ++k)
                dest[k] = PixelBlend::BlendOver(dest[k], color);
        }
    }
    for (; i < count; ++i)
        dest[i] = PixelBlend::BlendOver(dest[i], color);
}

void BlendColorOpaqueDest(uint32_t* dest, uint32_t color, int count, bool wide)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(int(ALPHA_MASK));
    const __m128i s16 = _mm_unpacklo_epi8(_mm_set1_epi32(int(color)), zero);
    const __m128i a16 = BroadcastAlpha(s16);
    const __m128i weighted = _mm_mullo_epi16(s16, a16);
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), a16);
    int i = wide ? Wide::BlendColorOpaqueDest(dest, color, count) : 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i d = Load(dest + i);
        const __m128i lo = BlendLanes(_mm_unpacklo_epi8(d, zero), weighted, inverse);
        const __m128i hi = BlendLanes(_mm_unpackhi_epi8(d, zero), weighted, inverse);
        Store(dest + i, _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
    }
    for (; i < count; ++i)
        dest[i] = PixelBlend::BlendOpaqueDest(dest[i], color);
}

void Fill(uint32_t* dest, uint32_t color, int count, bool wide)
{
    const __m128i v = _mm_set1_epi32(int(color));
    int i = wide ? Wide::Fill(dest, color, count) : 0;
    for (; i + 16 <= count; i += 16) {
        Store(dest + i, v);
        Store(dest + i + 4, v);
        Store(dest + i + 8, v);
        Store(dest + i + 12, v);
    }
    for (; i + 4 <= count; i += 4)
        Store(dest + i, v);
    for (; i < count; ++i)
        dest[i] = color;
}

void Add(uint32_t* dest, const uint32_t* src, int count, bool wide)
{
    // Saturating byte adds are exactly the table lookups; masking the source alpha to 0
    // leaves the destination's alpha byte as it was.
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    int i = wide ? Wide::Add(dest, src, count) : 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i s0 = _mm_and_si128(Load(src + i), colour);
        const __m128i s1 = _mm_and_si128(Load(src + i + 4), colour);
        const __m128i s2 = _mm_and_si128(Load(src + i + 8), colour);
        const __m128i s3 = _mm_and_si128(Load(src + i + 12), colour);
        Store(dest + i, _mm_adds_epu8(Load(dest + i), s0));
        Store(dest + i + 4, _mm_adds_epu8(Load(dest + i + 4), s1));
        Store(dest + i + 8, _mm_adds_epu8(Load(dest + i + 8), s2));
        Store(dest + i + 12, _mm_adds_epu8(Load(dest + i + 12), s3));
    }
    for (; i + 4 <= count; i += 4)
        Store(dest + i, _mm_adds_epu8(Load(dest + i), _mm_and_si128(Load(src + i), colour)));
    for (; i < count; ++i)
        dest[i] = PixelBlend::Add(dest[i], src[i]);
}

void AddTinted(uint32_t* dest, const uint32_t* src, int count, const Tint& tint, bool wide)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i factors = _mm_set_epi16(0, short(tint.r), short(tint.g), short(tint.b), 0, short(tint.r),
                                          short(tint.g), short(tint.b));
    int i = wide ? Wide::AddTinted(dest, src, count, tint) : 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = Load(src + i);
        __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), factors), 8);
        __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), factors), 8);
        Store(dest + i, _mm_adds_epu8(Load(dest + i), _mm_packus_epi16(lo, hi)));
    }
    for (; i < count; ++i)
        dest[i] = PixelBlend::AddTinted(dest[i], src[i], tint);
}

void AddColor(uint32_t* dest, uint32_t color, int count, bool wide)
{
    const __m128i colour = _mm_set1_epi32(int(color & 0x00FFFFFF));
    int i = wide ? Wide::AddColor(dest, color, count) : 0;
    for (; i + 4 <= count; i += 4)
        Store(dest + i, _mm_adds_epu8(Load(dest + i), colour));
    for (; i < count; ++i)
        dest[i] = PixelBlend::Add(dest[i], color);
}

// Tinted copies onto images that may have alpha are rare (text goes to the screen
// through BlendTintedOpaqueDest), so this one has no wide form.
void BlendTinted(uint32_t* dest, const uint32_t* src, int count, const Tint& tint, bool)
{
    // Glyph cells are mostly transparent: four transparent source pixels are passed over
    // at once, and opaque destinations take the short form.
    const __m128i opaque = _mm_set1_epi32(int(ALPHA_MASK));
    const __m128i clear = _mm_setzero_si128();
    const TintLanes lanes(tint);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(src + i);
        if (AllAlphaEqual(s, clear))
            continue;
        const __m128i d = Load(dest + i);
        if (AllAlphaEqual(d, opaque)) {
            Store(dest + i, BlendTintedOpaqueDest4(d, s, lanes));
        } else {
            for (int k = i; k < i + 4; ++k)
                dest[k] = PixelBlend::BlendTinted(dest[k], src[k], tint);
        }
    }
    for (; i < count; ++i)
        dest[i] = PixelBlend::BlendTinted(dest[i], src[i], tint);
}

void BlendTintedOpaqueDest(uint32_t* dest, const uint32_t* src, int count, const Tint& tint, bool wide)
{
    const __m128i clear = _mm_setzero_si128();
    const TintLanes lanes(tint);
    int i = wide && count >= 8 ? Wide::BlendTintedOpaqueDest(dest, src, count, tint) : 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(src + i);
        if (!AllAlphaEqual(s, clear))
            Store(dest + i, BlendTintedOpaqueDest4(Load(dest + i), s, lanes));
    }
    for (; i < count; ++i)
        dest[i] = PixelBlend::BlendTintedOpaqueDest(dest[i], src[i], tint);
}

#else // portable forms

void BlendOpaqueDest(uint32_t* dest, const uint32_t* src, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::BlendOpaqueDest(dest[i], src[i]);
}

void BlendOver(uint32_t* dest, const uint32_t* src, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::BlendOver(dest[i], src[i]);
}

void BlendOverColor(uint32_t* dest, uint32_t color, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::BlendOver(dest[i], color);
}

void Fill(uint32_t* dest, uint32_t color, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = color;
}

void Add(uint32_t* dest, const uint32_t* src, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::Add(dest[i], src[i]);
}

void AddTinted(uint32_t* dest, const uint32_t* src, int count, const Tint& tint, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::AddTinted(dest[i], src[i], tint);
}

void BlendTinted(uint32_t* dest, const uint32_t* src, int count, const Tint& tint, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::BlendTinted(dest[i], src[i], tint);
}

void BlendColorOpaqueDest(uint32_t* dest, uint32_t color, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::BlendOpaqueDest(dest[i], color);
}

void BlendTintedOpaqueDest(uint32_t* dest, const uint32_t* src, int count, const Tint& tint, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::BlendTintedOpaqueDest(dest[i], src[i], tint);
}

void AddColor(uint32_t* dest, uint32_t color, int count, bool)
{
    for (int i = 0; i < count; ++i)
        dest[i] = PixelBlend::Add(dest[i], color);
}

#endif

void BlendTintedOpaqueDestRows(uint32_t* dest, size_t destStride, const uint32_t* src, size_t srcStride, int width,
                               int height, const Tint& tint, bool wide)
{
    if (wide) {
        Wide::BlendTintedOpaqueDestRows(dest, destStride, src, srcStride, width, height, tint);
        return;
    }
    for (int row = 0; row < height; ++row)
        BlendTintedOpaqueDest(dest + size_t(row) * destStride, src + size_t(row) * srcStride, width, tint, false);
}

void ExpandPalette(uint32_t* dest, const uint8_t* indices, const uint32_t* palette, int count)
{
    for (int i = 0; i < count; ++i)
        dest[i] = palette[indices[i]];
}

} // namespace Zant::BlendRows
