// Straight copies of a MemoryImage: normal (source-over, run-length and tinted paths)
// and additive.
#include <algorithm>
#include <cstring>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/ImageSource.h"

namespace Zant {

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
        for (int row = 0; row < srcRect.height; ++row)
            std::memmove(bits + size_t(y + row) * mWidth + x, source.Row(srcRect.x, srcRect.y + row),
                         size_t(width) * 4);
    } else if (destOpaque && IsNoTint(tint)) {
        // Run-length path: transparent runs are skipped, opaque runs copied and only
        // partial pixels blended.
        const uint8_t* runs = src->GetRLAlphaData();
        for (int row = 0; row < srcRect.height; ++row) {
            const uint8_t* rowRuns = runs + size_t(srcRect.y + row) * source.Width() + srcRect.x;
            const uint32_t* s = source.Row(srcRect.x, srcRect.y + row);
            uint32_t* d = bits + size_t(y + row) * mWidth + x;
            for (int i = 0; i < width;) {
                const int n = std::min<int>(std::max<int>(rowRuns[i], 1), width - i);
                const uint32_t a = s[i] >> 24;
                if (a == 255)
                    std::memmove(d + i, s + i, size_t(n) * 4);
                else if (a != 0)
                    BlendRows::BlendOpaqueDest(d + i, s + i, n);
                i += n;
            }
        }
    } else {
        const bool tinted = !IsNoTint(tint);
        const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
        for (int row = 0; row < srcRect.height; ++row) {
            const uint32_t* s = source.Row(srcRect.x, srcRect.y + row);
            uint32_t* d = bits + size_t(y + row) * mWidth + x;
            if (tinted)
                BlendRows::BlendTinted(d, s, width, t);
            else
                BlendRows::BlendOver(d, s, width);
        }
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
    for (int row = 0; row < srcRect.height; ++row) {
        const uint32_t* s = source.Row(srcRect.x, srcRect.y + row);
        uint32_t* d = bits + size_t(y + row) * mWidth + x;
        if (tinted)
            BlendRows::AddTinted(d, s, width, t);
        else
            BlendRows::Add(d, s, width);
    }
    EndBlend(wasKnownOpaque);
}

} // namespace Zant
