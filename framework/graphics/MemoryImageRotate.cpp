// Rotated copy of a MemoryImage: bilinear sampling in 16.16 fixed point along rows whose
// pixel runs are chosen beforehand so that every sample stays inside the source.
#include <algorithm>
#include <cmath>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/ImageSource.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Zant {

namespace {

constexpr int64_t ONE = 0x10000;

// Where a source rectangle lies in the source image and how big it is.
struct SourceWindow {
    int x, y, width, height;
};

// True when the four samples around (u, v) lie inside the window.
bool InsideWindow(int64_t u, int64_t v, const SourceWindow& w)
{
    return u >= 0 && v >= 0 && (u >> 16) + 1 < w.width && (v >> 16) + 1 < w.height;
}

// The run s..e of one row whose samples stay inside the window, from the row's first
// position and the steps. Returns false when no pixel of the row is drawn.
bool RowRun(int64_t uStart, int64_t vStart, int64_t du, int64_t dv, int64_t last, const SourceWindow& w,
            int64_t& s, int64_t& e)
{
    const int64_t width = int64_t(w.width) << 16;
    const int64_t height = int64_t(w.height) << 16;
    s = 0;
    e = last;
    if (du >= 1) {
        const int64_t first = (ONE - uStart) / du;
        if (first > 0)
            s = first;
        e = std::min(e, (width - uStart - 0x17FFF) / du);
    } else if (du < -1) {
        const int64_t first = (width - uStart - 0x27FFF) / du;
        if (first >= 0)
            s = first;
        e = std::min(e, (0x7FFF - uStart) / du);
    } else if (uStart < 0 || uStart >= width - ONE) {
        return false;
    }
    if (dv >= 1) {
        s = std::max(s, (ONE - vStart) / dv);
        e = std::min(e, (height - vStart - 0x17FFF) / dv);
    } else if (dv < 0) {
        s = std::max(s, (height - vStart - 0x27FFF) / dv);
        e = std::min(e, -(vStart / dv));
    } else if (vStart < 0 || vStart >= height - ONE) {
        return false;
    }
    // The bounds above are tight; trim whatever a rounding edge case would still let
    // reach outside (a run is a straight line, so its two ends decide).
    while (s <= e && !InsideWindow(uStart + s * du, vStart + s * dv, w))
        ++s;
    while (e >= s && !InsideWindow(uStart + e * du, vStart + e * dv, w))
        --e;
    return s <= e;
}

// The bilinear weights of the four neighbours at fractions fx, fy (16 bits each),
// each multiplied by its neighbour's alpha, and the colour sums they weight: t is the
// total alpha weight (at most 254), r, g, b the weighted channels (at most 254 * 255).
#if defined(__SSE2__)
inline void WeightedSums(const uint32_t p[4], uint32_t fx, uint32_t fy, uint32_t& t, uint32_t& r, uint32_t& g,
                         uint32_t& b)
{
    // Sixteen-bit lanes: (u * v) >> 16 is a high multiply, and no sum leaves 16 bits.
    const __m128i zero = _mm_setzero_si128();
    __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    __m128i bottom = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 2)), zero);
    const __m128i across = _mm_unpacklo_epi64(_mm_set1_epi16(short(0xFFFF - fx)), _mm_set1_epi16(short(fx)));
    const __m128i wTop = _mm_mulhi_epu16(across, _mm_set1_epi16(short(0xFFFF - fy)));
    const __m128i wBottom = _mm_mulhi_epu16(across, _mm_set1_epi16(short(fy)));
    const __m128i awTop = _mm_mulhi_epu16(wTop, _mm_shufflehi_epi16(_mm_shufflelo_epi16(top, 0xFF), 0xFF));
    const __m128i awBottom = _mm_mulhi_epu16(wBottom, _mm_shufflehi_epi16(_mm_shufflelo_epi16(bottom, 0xFF), 0xFF));
    // With the alpha lanes set to 1 their products are the alpha weights themselves.
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const __m128i ones = _mm_set_epi16(1, 0, 0, 0, 1, 0, 0, 0);
    top = _mm_or_si128(_mm_andnot_si128(alphaLanes, top), ones);
    bottom = _mm_or_si128(_mm_andnot_si128(alphaLanes, bottom), ones);
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(top, awTop), _mm_mullo_epi16(bottom, awBottom));
    sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
    b = uint32_t(_mm_extract_epi16(sum, 0));
    g = uint32_t(_mm_extract_epi16(sum, 1));
    r = uint32_t(_mm_extract_epi16(sum, 2));
    t = uint32_t(_mm_extract_epi16(sum, 3));
}
#else
inline void WeightedSums(const uint32_t p[4], uint32_t fx, uint32_t fy, uint32_t& t, uint32_t& r, uint32_t& g,
                         uint32_t& b)
{
    const uint32_t gx = 0xFFFF - fx;
    const uint32_t gy = 0xFFFF - fy;
    const uint32_t weights[4] = {(gx * gy) >> 16, (fx * gy) >> 16, (gx * fy) >> 16, (fx * fy) >> 16};
    t = r = g = b = 0;
    for (int k = 0; k < 4; ++k) {
        const uint32_t aw = (weights[k] * (p[k] >> 24)) >> 16;
        t += aw;
        r += aw * ((p[k] >> 16) & 0xFF);
        g += aw * ((p[k] >> 8) & 0xFF);
        b += aw * (p[k] & 0xFF);
    }
}
#endif

// Bilinear sample at (u, v) and its blend onto d. fetch(ui, vi, p) gives the four
// neighbours: (ui, vi), (ui + 1, vi), (ui, vi + 1), (ui + 1, vi + 1).
template <typename Fetch>
inline uint32_t SampleOnto(uint32_t d, int64_t u, int64_t v, const Fetch& fetch)
{
    using namespace PixelBlend;
    uint32_t p[4];
    fetch(int(u >> 16), int(v >> 16), p);
    const uint32_t fx = (uint32_t(u) & 0xFFFE) + 1;
    const uint32_t fy = (uint32_t(v) & 0xFFFE) + 1;
    uint32_t t, r, g, b;
    WeightedSums(p, fx, fy, t, r, g, b);
    if (t == 0)
        return d;
    if (t >= 251) {
        // Close enough to opaque: the alpha-weighted average colour, opaque.
        return Pack(255, std::min<uint32_t>(Divide(r, t), 255), std::min<uint32_t>(Divide(g, t), 255),
                    std::min<uint32_t>(Divide(b, t), 255));
    }
    // Premultiplied over: the destination colour scaled by its alpha and by what the
    // sample leaves uncovered, then the sum divided by the combined alpha.
    const uint32_t k = 256 - t;
    const uint32_t da = Alpha(d);
    const uint32_t divisor = 256 - (((256 - da) * k) >> 8);
    const uint32_t dk = da * k;
    auto channel = [&](uint32_t sample, uint32_t dc) {
        return std::min<uint32_t>(Divide(sample + ((dc * dk) >> 8), divisor), 255);
    };
    return Pack(divisor - 1, channel(r, Red(d)), channel(g, Green(d)), channel(b, Blue(d)));
}

} // namespace

void MemoryImage::BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& tint, int drawMode, double angle, int centreX, int centreY)
{
    const bool wasKnownOpaque = IsKnownOpaque();
    auto* source = MemoryImageOf(src);
    if (source == nullptr || !IsNoTint(tint) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle)) {
        EndBlend(wasKnownOpaque);
        return;
    }

    const double cosA = std::cos(angle);
    const double sinA = std::sin(angle);
    // The source rectangle kept inside the source image, and the bounding box of the
    // turned corners, cut below by the clip (and this image).
    const RotationFrame frame(srcRect, source->GetWidth(), source->GetHeight(), x, y, centreX, centreY, cosA, sinA);
    const SourceWindow win{frame.win.x, frame.win.y, frame.win.width, frame.win.height};
    const double px = frame.px, py = frame.py;
    const int cx = frame.cx, cy = frame.cy;
    const double minX = frame.minX, minY = frame.minY, maxX = frame.maxX, maxY = frame.maxY;
    const Rect clip = clipRect.Intersection(Rect(0, 0, mWidth, mHeight));
    const double boxX = std::max(minX, double(clip.x));
    const double boxY = std::max(minY, double(clip.y));
    const double boxW = std::min(maxX, double(clip.x) + clip.width) - boxX;
    const double boxH = std::min(maxY, double(clip.y) + clip.height) - boxY;
    if (win.width <= 0 || win.height <= 0 || !(boxW > 0) || !(boxH > 0)) {
        EndBlend(wasKnownOpaque);
        return;
    }

    uint32_t* bits = GetBits();
    ImageSource pixels(source);
    const int64_t du = int64_t(cosA * 65536);
    const int64_t dv = int64_t(sinA * 65536);
    const int firstColumn = int(boxX);
    const int firstRow = int(boxY);
    const int64_t last = int64_t(boxW - 1);

    auto drawRow = [&](int Y, const auto& fetch) {
        const double a = firstColumn - cx - px;
        const double c = Y - cy - py;
        const int64_t uStart = int64_t((a * cosA - c * sinA + cx) * 65536);
        const int64_t vStart = int64_t((a * sinA + c * cosA + cy) * 65536);
        int64_t s, e;
        if (!RowRun(uStart, vStart, du, dv, last, win, s, e))
            return;
        uint32_t* d = bits + size_t(Y) * mWidth + firstColumn;
        int64_t u = uStart + s * du;
        int64_t v = vStart + s * dv;
        for (int64_t k = s; k <= e; ++k, u += du, v += dv)
            d[k] = SampleOnto(d[k], u, v, fetch);
    };

    const int stride = pixels.Width();
    for (int row = 0; row < boxH; ++row) {
        const int Y = firstRow + row;
        const uint32_t* origin = pixels.Row(win.x, win.y);
        drawRow(Y, [=](int u, int v, uint32_t* p) {
            const uint32_t* at = origin + size_t(v) * stride + u;
            p[0] = at[0];
            p[1] = at[1];
            p[2] = at[stride];
            p[3] = at[stride + 1];
        });
    }
    EndBlend(wasKnownOpaque);
}

} // namespace Zant
