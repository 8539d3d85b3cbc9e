#include "framework/graphics/Image.h"

namespace Zant {

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode)
{
    const int x = rect.x, y = rect.y, w = rect.width, h = rect.height;
    FillRect(Rect(x, y, w + 1, 1), color, drawMode);
    FillRect(Rect(x, y + h, w + 1, 1), color, drawMode);
    FillRect(Rect(x, y + 1, 1, h - 1), color, drawMode);
    FillRect(Rect(x + w, y + 1, 1, h - 1), color, drawMode);
}

void Image::FillScanLines(Span* spans, int count, const Color& color, int drawMode)
{
    if (spans == nullptr)
        return;
    for (int i = 0; i < count; ++i)
        FillRect(Rect(spans[i].x, spans[i].y, spans[i].width, 1), color, drawMode);
}

} // namespace Zant
