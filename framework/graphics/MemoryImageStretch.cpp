// Stretched copies of a MemoryImage: nearest-pixel and filtered (area-averaging when
// shrinking, linear when growing).
#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/ImageSource.h"

namespace Zant {

namespace {

// Sizes past this are not pictures but bad arguments; they would only exhaust memory.
constexpr double MAX_STRETCH_SIDE = 65536;

int ClampIndex(double v, int size)
{
    if (!(v >= 0))
        return 0;
    if (v >= size - 1)
        return size - 1;
    return int(v);
}

// One weighted contribution of a source column (or row) to a destination one. A whole
// pixel weighs 257, so a channel of 255 sums to 0xFFFF after one pass.
struct Tap {
    int src;
    int dest;
    int weight;
};

constexpr int FULL_WEIGHT = 257;

// The taps of one axis. start is the source rectangle's offset into its window of whole
// pixels, length its size, window the number of whole source pixels, dest the number
// of destination pixels. Destination indices are offset by one: entries 0 and dest + 1
// are spare and catch the edge taps.
void BuildTaps(double start, double length, int window, int dest, std::vector<Tap>& taps)
{
    taps.clear();
    auto clampDest = [dest](int i) { return std::clamp(i, 0, dest + 1); };
    auto clampSrc = [window](int i) { return std::clamp(i, 0, window - 1); };
    if (dest > length) {
        // Growing: each destination pixel lies between the two nearest source pixel centres.
        for (int c = 0; c < dest; ++c) {
            const double p = start + (c + 0.5) * length / dest - 0.5;
            const double base = std::floor(p);
            const int right = int((p - base) * FULL_WEIGHT);
            const int i = int(base);
            taps.push_back({clampSrc(i), c + 1, FULL_WEIGHT - right});
            taps.push_back({clampSrc(i + 1), c + 1, right});
        }
        return;
    }
    // Shrinking: source pixel i covers the destination span [a, b) with b - a = scale.
    // Weights are differences of rounded positions, so the pieces falling into one
    // destination pixel add up to exactly one full weight and flat colours stay flat.
    const double scale = dest / length;
    auto position = [&](int i) { return (i - start) * scale + 1; };
    auto rounded = [](double p) { return int(std::llround(p * FULL_WEIGHT)); };
    for (int i = 0; i < window; ++i) {
        const double a = position(i);
        const double b = position(i + 1);
        const int first = int(a);
        const int second = int(b);
        if (first == second) {
            taps.push_back({i, clampDest(first), rounded(b) - rounded(a)});
        } else {
            taps.push_back({i, clampDest(first), rounded(second) - rounded(a)});
            taps.push_back({i, clampDest(second), rounded(b) - rounded(second)});
        }
    }
}

} // namespace

void MemoryImage::StretchBlt(Image* src, const Rect& destRect, const FRect& srcRect, const Color& tint, int drawMode,
                             bool fast)
{
    const bool wasKnownOpaque = IsKnownOpaque();
    auto* source = MemoryImageOf(src);
    const bool sane = std::isfinite(srcRect.x) && std::isfinite(srcRect.y) && srcRect.width > 0 &&
                      srcRect.height > 0 && srcRect.width < MAX_STRETCH_SIDE && srcRect.height < MAX_STRETCH_SIDE &&
                      destRect.width > 0 && destRect.height > 0 && destRect.width < MAX_STRETCH_SIDE &&
                      destRect.height < MAX_STRETCH_SIDE && std::abs(srcRect.x) < MAX_STRETCH_SIDE &&
                      std::abs(srcRect.y) < MAX_STRETCH_SIDE;
    const bool visible = Rect(0, 0, mWidth, mHeight).Intersects(destRect);
    if (source != nullptr && sane && visible && source->GetWidth() > 0 && source->GetHeight() > 0) {
        if (!fast)
            FilteredStretch(source, destRect, srcRect);
        else if (IsNoTint(tint))
            NearestStretch(source, destRect, srcRect);
    }
    EndBlend(wasKnownOpaque);
}

void MemoryImage::NearestStretch(MemoryImage* src, const Rect& destRect, const FRect& srcRect)
{
    uint32_t* bits = GetBits();
    ImageSource source(src);
    const double stepX = srcRect.width / destRect.width;
    const double stepY = srcRect.height / destRect.height;
    // Only the destination pixels inside this image.
    const int i0 = std::max(0, -destRect.x);
    const int i1 = std::min(destRect.width, mWidth - destRect.x);
    const int j0 = std::max(0, -destRect.y);
    const int j1 = std::min(destRect.height, mHeight - destRect.y);
    if (i0 >= i1 || j0 >= j1)
        return;
    const int count = i1 - i0;
    int* columns = ScratchBuffer<int>(size_t(count));
    for (int i = i0; i < i1; ++i)
        columns[i - i0] = ClampIndex(srcRect.x + i * stepX, source.Width());
    uint32_t* row = ScratchBuffer<uint32_t>(size_t(count));
    int gatheredRow = -1;
    for (int j = j0; j < j1; ++j) {
        const int sourceRow = ClampIndex(srcRect.y + j * stepY, source.Height());
        // Rows repeat when growing: gather each source row once.
        if (sourceRow != gatheredRow) {
            const uint32_t* pixels = source.Row(0, sourceRow);
            for (int k = 0; k < count; ++k)
                row[k] = pixels[columns[k]];
            gatheredRow = sourceRow;
        }
        BlendRows::BlendOver(bits + size_t(destRect.y + j) * mWidth + destRect.x + i0, row, count);
    }
}

void MemoryImage::FilteredStretch(MemoryImage* src, const Rect& destRect, const FRect& srcRect)
{
    uint32_t* bits = GetBits();
    ImageSource source(src);
    const int dw = destRect.width;
    const int dh = destRect.height;
    const double left = std::floor(srcRect.x);
    const double top = std::floor(srcRect.y);
    const int windowWidth = int(std::ceil(srcRect.x - left + srcRect.width));
    const int windowHeight = int(std::ceil(srcRect.y - top + srcRect.height));
    if (windowWidth <= 0 || windowHeight <= 0)
        return;

    thread_local std::vector<Tap> columnTaps;
    thread_local std::vector<Tap> rowTaps;
    BuildTaps(srcRect.x - left, srcRect.width, windowWidth, dw, columnTaps);
    BuildTaps(srcRect.y - top, srcRect.height, windowHeight, dh, rowTaps);

    // Horizontal pass: window rows by dw + 2 entries of four channels (blue, green, red, alpha).
    const size_t stride1 = size_t(dw + 2) * 4;
    thread_local std::vector<int32_t> across;
    across.assign(size_t(windowHeight) * stride1, 0);
    for (int j = 0; j < windowHeight; ++j) {
        const int sourceRow = std::clamp(int(top) + j, 0, source.Height() - 1);
        int32_t* acc = across.data() + size_t(j) * stride1;
        for (const Tap& tap : columnTaps) {
            if (tap.weight == 0)
                continue;
            const int sourceColumn = std::clamp(int(left) + tap.src, 0, source.Width() - 1);
            const uint32_t p = source.At(sourceColumn, sourceRow);
            int32_t* e = acc + size_t(tap.dest) * 4;
            e[0] += int32_t(p & 0xFF) * tap.weight;
            e[1] += int32_t((p >> 8) & 0xFF) * tap.weight;
            e[2] += int32_t((p >> 16) & 0xFF) * tap.weight;
            e[3] += int32_t(p >> 24) * tap.weight;
        }
    }

    // Vertical pass into dh + 2 rows of dw entries.
    const size_t stride2 = size_t(dw) * 4;
    thread_local std::vector<int32_t> down;
    down.assign(size_t(dh + 2) * stride2, 0);
    for (const Tap& tap : rowTaps) {
        if (tap.weight == 0)
            continue;
        const int32_t* from = across.data() + size_t(tap.src) * stride1 + 4; // skip the spare entry
        int32_t* to = down.data() + size_t(tap.dest) * stride2;
        for (size_t k = 0; k < stride2; ++k)
            to[k] += from[k] * tap.weight;
    }

    // Composite: two full weights make 257 * 257 per unit of channel.
    constexpr int32_t UNIT = FULL_WEIGHT * FULL_WEIGHT;
    const int i0 = std::max(0, -destRect.x);
    const int i1 = std::min(dw, mWidth - destRect.x);
    const int j0 = std::max(0, -destRect.y);
    const int j1 = std::min(dh, mHeight - destRect.y);
    for (int j = j0; j < j1; ++j) {
        const int32_t* acc = down.data() + size_t(j + 1) * stride2;
        uint32_t* d = bits + size_t(destRect.y + j) * mWidth + destRect.x;
        for (int i = i0; i < i1; ++i) {
            const int32_t* e = acc + size_t(i) * 4;
            const uint32_t sa = std::min<uint32_t>(uint32_t(e[3] / UNIT), 255);
            if (sa == 0)
                continue;
            const uint32_t sb = std::min<uint32_t>(uint32_t(e[0] / UNIT), 255);
            const uint32_t sg = std::min<uint32_t>(uint32_t(e[1] / UNIT), 255);
            const uint32_t sr = std::min<uint32_t>(uint32_t(e[2] / UNIT), 255);
            const uint32_t dp = d[i];
            const uint32_t da = PixelBlend::Alpha(dp);
            // The source weight is that of source-over, so an opaque result covers what
            // lay beneath it.
            const uint32_t a = (255 - da) * sa / 255 + da;
            const uint32_t w = PixelBlend::Divide(sa * 255, a);
            const uint32_t iw = 256 - w;
            const uint32_t r = ((sr * w) >> 8) + ((PixelBlend::Red(dp) * iw) >> 8);
            const uint32_t g = ((sg * w) >> 8) + ((PixelBlend::Green(dp) * iw) >> 8);
            const uint32_t b = ((sb * w) >> 8) + ((PixelBlend::Blue(dp) * iw) >> 8);
            d[i] = PixelBlend::Pack(a, r, g, b);
        }
    }
}

} // namespace Zant
