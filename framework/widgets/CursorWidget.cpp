#include "framework/widgets/CursorWidget.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

namespace Zant {

CursorWidget::CursorWidget()
{
    mMouseVisible = false;
    mIsOverlay = true;
}

void CursorWidget::Draw(Graphics* g)
{
    if (mImage)
        g->DrawImage(mImage, 0, 0);
}

void CursorWidget::GetHotspot(int& x, int& y) const
{
    x = mImage ? mImage->GetWidth() / 2 : 0;
    y = mImage ? mImage->GetHeight() / 2 : 0;
}

void CursorWidget::MoveHotspotTo(int x, int y)
{
    int hx, hy;
    GetHotspot(hx, hy);
    Move(x - hx, y - hy);
}

void CursorWidget::SetImage(Image* image)
{
    mImage = image;
    if (image)
        Resize(mX, mY, image->GetWidth(), image->GetHeight());
}

} // namespace Zant
