// Straight copies of a MemoryImage: normal (source-over, run-length and tinted paths)
// and additive.
#include <algorithm>
#include <cstring>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/ImageSource.h"

namespace Zant {

namespace {

// Calls op(dest, src, row) for each row of a copy of srcRect to (x, y): the row's
// first destination and source pixels and its number in srcRect.
template <typename RowOp>
void ForEachCopyRow(uint32_t* bits, int destWidth, const ImageSource& source, int x, int y, const Rect& srcRect,
                    const RowOp& op)
{
    for (int row = 0; row < srcRect.height; ++row)
        op(bits + size_t(y + row) * destWidth + x, source.Row(srcRect.x, srcRect.y + row), row);
}

} // namespace

void MemoryImage::Blt(Image* src, int x, int y, const Rect& srcRect, const Color& tint, int drawMode)
{
    auto* source = dynamic_cast<MemoryImage*>(src);
    Rect part = srcRect;
    if (source != nullptr && ClipCopy(mWidth, mHeight, source->GetWidth(), source->GetHeight(), x, y, part)) {
        if (drawMode == DRAWMODE_NORMAL) {
            NormalBlt(source, x, y, part, tint);
            return;
        }
        if (drawMode == DRAWMODE_ADDITIVE) {
            AdditiveBlt(source, x, y, part, tint);
            return;
        }
    }
    EndBlend(IsKnownOpaque());
}

void MemoryImage::NormalBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint)
{
    CommitBits();
    src->CommitBits();
    const bool destOpaque = !mHasTrans && !mHasAlpha;
    const bool wasKnownOpaque = IsKnownOpaque();
    uint32_t* bits = GetBits();
    const int width = srcRect.width;

    ImageSource source(src);
    if (destOpaque && IsNoTint(tint) && src->IsKnownOpaque()) {
        // Every source pixel is opaque: the run-length path would copy whole rows.
        ForEachCopyRow(bits, mWidth, source, x, y, srcRect,
                       [&](uint32_t* d, const uint32_t* s, int) { std::memmove(d, s, size_t(width) * 4); });
    } else if (destOpaque && IsNoTint(tint)) {
        // Run-length path: transparent runs are skipped, opaque runs copied and only
        // partial pixels blended.
        const uint8_t* runs = src->GetRLAlphaData();
        ForEachCopyRow(bits, mWidth, source, x, y, srcRect, [&](uint32_t* d, const uint32_t* s, int row) {
            const uint8_t* rowRuns = runs + size_t(srcRect.y + row) * source.Width() + srcRect.x;
            for (int i = 0; i < width;) {
                const int n = std::min<int>(std::max<int>(rowRuns[i], 1), width - i);
                const uint32_t a = s[i] >> 24;
                if (a == 255)
                    std::memmove(d + i, s + i, size_t(n) * 4);
                else if (a != 0)
                    BlendRows::BlendOpaqueDest(d + i, s + i, n);
                i += n;
            }
        });
    } else {
        const bool tinted = !IsNoTint(tint);
        const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
        ForEachCopyRow(bits, mWidth, source, x, y, srcRect, [&](uint32_t* d, const uint32_t* s, int) {
            if (tinted)
                BlendRows::BlendTinted(d, s, width, t);
            else
                BlendRows::BlendOver(d, s, width);
        });
    }
    EndBlend(wasKnownOpaque);
}

void MemoryImage::AdditiveBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint)
{
    const bool wasKnownOpaque = IsKnownOpaque();
    uint32_t* bits = GetBits();
    ImageSource source(src);
    const int width = srcRect.width;
    const bool tinted = !IsNoTint(tint);
    const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
    ForEachCopyRow(bits, mWidth, source, x, y, srcRect, [&](uint32_t* d, const uint32_t* s, int) {
        if (tinted)
            BlendRows::AddTinted(d, s, width, t);
        else
            BlendRows::Add(d, s, width);
    });
    EndBlend(wasKnownOpaque);
}

} // namespace Zant
