#include "framework/graphics/RowCopy.h"

#include <algorithm>
#include <cstring>

#include "framework/graphics/BlendRows.h"
#include "framework/graphics/ImageSource.h"

namespace Zant::RowCopy {

namespace {

uint32_t PackedColor(const Color& color)
{
    return Color(PixelBlend::ClampChannel(color.red), PixelBlend::ClampChannel(color.green),
                 PixelBlend::ClampChannel(color.blue), PixelBlend::ClampChannel(color.alpha))
        .ToInt();
}

// Calls op(row pixels, count) for each row of r; rows that follow each other without a
// gap (a rectangle as wide as the row stride) are one run.
template <typename RowOp>
void ForEachFillRow(const PixelRows& dest, const Rect& r, const RowOp& op)
{
    if (dest.bits == nullptr || r.width <= 0 || r.height <= 0)
        return;
    if (r.x == 0 && size_t(r.width) == dest.stride) {
        op(dest.Row(r.y), r.width * r.height);
        return;
    }
    for (int y = r.y; y < r.y + r.height; ++y)
        op(dest.Row(y) + r.x, r.width);
}

} // namespace

void Normal(const PixelRows& dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint)
{
    if (dest.bits == nullptr)
        return;
    src->CommitBits();
    const ImageSource source(src);
    if (!source.Valid())
        return;
    const bool wide = BlendRows::Wide::Enabled();
    const int width = srcRect.width;
    auto forEachRow = [&](const auto& op) {
        for (int row = 0; row < srcRect.height; ++row)
            op(dest.Row(y + row) + x, source.Row(srcRect.x, srcRect.y + row), row);
    };

    if (!IsNoTint(tint)) {
        const PixelBlend::Tint t = PixelBlend::MakeBlendTint(tint);
        if (dest.opaque) {
            // Text onto the screen: a glyph in one call.
            BlendRows::BlendTintedOpaqueDestRows(dest.Row(y) + x, dest.stride, source.Row(srcRect.x, srcRect.y),
                                                 size_t(source.Width()), width, srcRect.height, t, wide);
            return;
        }
        forEachRow([&](uint32_t* d, const uint32_t* s, int) { BlendRows::BlendTinted(d, s, width, t, wide); });
    } else if (!dest.opaque) {
        forEachRow([&](uint32_t* d, const uint32_t* s, int) { BlendRows::BlendOver(d, s, width, wide); });
    } else if (src->IsKnownOpaque()) {
        // Every source pixel is opaque: whole rows are copied.
        forEachRow([&](uint32_t* d, const uint32_t* s, int) { std::memmove(d, s, size_t(width) * 4); });
    } else {
        // Span path: transparent spans are skipped, opaque ones copied and only soft
        // ones blended, each span cut to the copied columns.
        const RowSpans* spans = src->GetRowSpans();
        if (spans == nullptr)
            return;
        const int left = srcRect.x, right = srcRect.x + width;
        forEachRow([&](uint32_t* d, const uint32_t* s, int row) {
            int start = 0;
            const uint16_t* span = spans->Seek(srcRect.y + row, left, start);
            const uint16_t* end = spans->End(srcRect.y + row);
            if (wide) {
                BlendRows::Wide::DrawSpans(d, s, span, end, start, left, right);
                return;
            }
            for (; span != end && start < right; ++span) {
                const int length = RowSpans::LengthOf(*span);
                const int from = std::max(start, left), to = std::min(start + length, right);
                start += length;
                if (from >= to)
                    continue;
                switch (RowSpans::KindOf(*span)) {
                case RowSpans::COPY:
                    BlendRows::Copy(d + (from - left), s + (from - left), to - from);
                    break;
                case RowSpans::BLEND:
                    BlendRows::BlendOpaqueDest(d + (from - left), s + (from - left), to - from, wide);
                    break;
                default:
                    break;
                }
            }
        });
    }
}

void Additive(const PixelRows& dest, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& tint)
{
    if (dest.bits == nullptr)
        return;
    const ImageSource source(src);
    if (!source.Valid())
        return;
    const bool wide = BlendRows::Wide::Enabled();
    const int width = srcRect.width;
    const bool tinted = !IsNoTint(tint);
    if (!tinted && wide) {
        BlendRows::Wide::AddRows(dest.Row(y) + x, dest.stride, source.Row(srcRect.x, srcRect.y), size_t(source.Width()),
                                 width, srcRect.height);
        return;
    }
    const PixelBlend::Tint t = PixelBlend::MakeTint(tint);
    for (int row = 0; row < srcRect.height; ++row) {
        uint32_t* d = dest.Row(y + row) + x;
        const uint32_t* s = source.Row(srcRect.x, srcRect.y + row);
        if (tinted)
            BlendRows::AddTinted(d, s, width, t, wide);
        else
            BlendRows::Add(d, s, width, wide);
    }
}

void Fill(const PixelRows& dest, const Rect& r, const Color& color)
{
    if (color.alpha <= 0)
        return;
    const uint32_t packed = PackedColor(color);
    const bool wide = BlendRows::Wide::Enabled();
    ForEachFillRow(dest, r, [&](uint32_t* row, int count) {
        if ((packed >> 24) == 255)
            BlendRows::Fill(row, packed, count, wide);
        else if (dest.opaque)
            BlendRows::BlendColorOpaqueDest(row, packed, count, wide);
        else
            BlendRows::BlendOverColor(row, packed, count, wide);
    });
}

void AddFill(const PixelRows& dest, const Rect& r, const Color& color)
{
    const uint32_t packed = PackedColor(color);
    const bool wide = BlendRows::Wide::Enabled();
    ForEachFillRow(dest, r, [&](uint32_t* row, int count) { BlendRows::AddColor(row, packed, count, wide); });
}

} // namespace Zant::RowCopy
