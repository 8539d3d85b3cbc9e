// Straight copies of a MemoryImage: normal (source-over, run-length and tinted paths)
// and additive, through the row copies the display's surfaces share.
#include "framework/graphics/ImageSource.h"
#include "framework/graphics/RowCopy.h"

namespace Zant {

PixelRows MemoryImage::Rows(bool opaque)
{
    return PixelRows{GetBits(), size_t(mWidth), opaque};
}

void MemoryImage::Blt(Image* src, int x, int y, const Rect& srcRect, const Color& tint, int drawMode)
{
    auto* source = MemoryImageOf(src);
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
    const bool destOpaque = !mHasTrans && !mHasAlpha;
    const bool wasKnownOpaque = IsKnownOpaque();
    RowCopy::Normal(Rows(destOpaque), src, x, y, srcRect, tint);
    EndBlend(wasKnownOpaque);
}

void MemoryImage::AdditiveBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint)
{
    const bool wasKnownOpaque = IsKnownOpaque();
    RowCopy::Additive(Rows(wasKnownOpaque), src, x, y, srcRect, tint);
    EndBlend(wasKnownOpaque);
}

} // namespace Zant
