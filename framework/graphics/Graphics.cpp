#include "framework/graphics/Graphics.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Image.h"

#include <utility>

namespace Zant {

namespace {

// Stands in for a missing target: 0 by 0, so the clip is empty and nothing is drawn.
Image& EmptyImage()
{
    static Image empty;
    return empty;
}

} // namespace

Graphics::Graphics(Image* target) : mDestImage(target != nullptr ? target : &EmptyImage())
{
    mClipRect = Rect(0, 0, mDestImage->GetWidth(), mDestImage->GetHeight());
}

Graphics* Graphics::Create() const
{
    return new Graphics(*this);
}

const Color& Graphics::ImageTint() const
{
    return mColorizeImages ? mColor : Color::White;
}

void Graphics::FillRect(int x, int y, int width, int height)
{
    if (mColor.alpha == 0)
        return;
    Rect clipped = Rect(x + mTransX, y + mTransY, width, height).Intersection(mClipRect);
    mDestImage->FillRect(clipped, mColor, mDrawMode);
}

void Graphics::FillRect(const Rect& rect)
{
    FillRect(rect.x, rect.y, rect.width, rect.height);
}

void Graphics::DrawRect(int x, int y, int width, int height)
{
    if (mColor.alpha == 0 || width < 0 || height < 0)
        return;
    const int tx = x + mTransX;
    const int ty = y + mTransY;
    const Rect& c = mClipRect;
    const bool inside = tx >= c.x && ty >= c.y && int64_t(tx) + width + 1 <= c.Right() &&
                        int64_t(ty) + height + 1 <= c.Bottom();
    if (inside) {
        mDestImage->DrawRect(Rect(tx, ty, width, height), mColor, mDrawMode);
        return;
    }
    FillRect(x, y, width + 1, 1);
    FillRect(x, y + height, width + 1, 1);
    FillRect(x, y + 1, 1, height - 1);
    FillRect(x + width, y + 1, 1, height - 1);
}

void Graphics::DrawRect(const Rect& rect)
{
    DrawRect(rect.x, rect.y, rect.width, rect.height);
}

void Graphics::DrawLine(int theX1, int theY1, int theX2, int theY2)
{
    double x1 = theX1 + mTransX, y1 = theY1 + mTransY;
    double x2 = theX2 + mTransX, y2 = theY2 + mTransY;
    // Clipping is done in doubles so the slope survives; the ends land inside
    // [left, right - 1] x [top, bottom - 1], both ends included.
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const double left = mClipRect.x;
    const double right = double(mClipRect.x) + mClipRect.width;
    const double top = mClipRect.y;
    const double bottom = double(mClipRect.y) + mClipRect.height;
    if (x1 < left) {
        if (x2 < left)
            return;
        y1 += (y2 - y1) / (x2 - x1) * (left - x1);
        x1 = left;
    }
    if (x2 >= right) {
        if (x1 >= right)
            return;
        y2 += (y2 - y1) / (x2 - x1) * (right - 1 - x2);
        x2 = right - 1;
    }
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (y1 < top) {
        if (y2 < top)
            return;
        x1 += (x2 - x1) / (y2 - y1) * (top - y1);
        y1 = top;
    }
    if (y2 >= bottom) {
        if (y1 >= bottom)
            return;
        x2 += (x2 - x1) / (y2 - y1) * (bottom - 1 - y2);
        y2 = bottom - 1;
    }
    mDestImage->DrawLine(x1, y1, x2, y2, mColor, mDrawMode);
}

void Graphics::DrawImage(Image* image, int x, int y)
{
    if (image == nullptr)
        return;
    Rect dest(x + mTransX, y + mTransY, image->GetWidth(), image->GetHeight());
    Rect clipped = dest.Intersection(mClipRect);
    if (clipped.width < 1 || clipped.height < 1)
        return;
    Rect src(clipped.x - dest.x, clipped.y - dest.y, clipped.width, clipped.height);
    mDestImage->Blt(image, clipped.x, clipped.y, src, ImageTint(), mDrawMode);
}

void Graphics::DrawImage(Image* image, int x, int y, const Rect& src)
{
    // A source outside the image on any side would read outside its pixels.
    if (image == nullptr || src.x < 0 || src.y < 0 || src.Right() > image->GetWidth() ||
        src.Bottom() > image->GetHeight())
        return;
    Rect dest(x + mTransX, y + mTransY, src.width, src.height);
    Rect clipped = dest.Intersection(mClipRect);
    if (clipped.width < 1 || clipped.height < 1)
        return;
    Rect part(src.x + clipped.x - dest.x, src.y + clipped.y - dest.y, clipped.width, clipped.height);
    mDestImage->Blt(image, clipped.x, clipped.y, part, ImageTint(), mDrawMode);
}

void Graphics::DrawImage(Image* image, const Rect& destRect, const Rect& src)
{
    if (image == nullptr || destRect.width <= 0 || destRect.height <= 0 || src.width <= 0 || src.height <= 0)
        return;
    Rect dest(destRect.x + mTransX, destRect.y + mTransY, destRect.width, destRect.height);
    Rect clipped = dest.Intersection(mClipRect);
    if (clipped.width <= 0 || clipped.height <= 0)
        return;
    const double sx = double(src.width) / dest.width;
    const double sy = double(src.height) / dest.height;
    FRect part((clipped.x - dest.x) * sx + src.x, (clipped.y - dest.y) * sy + src.y,
               (clipped.width - dest.width) * sx + src.width, (clipped.height - dest.height) * sy + src.height);
    if (part.width > 0 && part.height > 0)
        mDestImage->StretchBlt(image, clipped, part, ImageTint(), mDrawMode, mFastStretch);
}

void Graphics::ClipRect(int x, int y, int width, int height)
{
    mClipRect = mClipRect.Intersection(Rect(x + mTransX, y + mTransY, width, height));
}

void Graphics::ClipRect(const Rect& rect)
{
    ClipRect(rect.x, rect.y, rect.width, rect.height);
}

void Graphics::DrawString(const std::string& text, int x, int y)
{
    if (mFont != nullptr)
        mFont->DrawString(this, x, y, text, mColor, mClipRect);
}

void Graphics::DrawImageBox(const Rect& dest, Image* image)
{
    if (image == nullptr)
        return;
    DrawImageBox(Rect(0, 0, image->GetWidth(), image->GetHeight()), dest, image);
}

void Graphics::DrawImageBox(const Rect& src, const Rect& dest, Image* image)
{
    const int cw = src.width / 3;
    const int ch = src.height / 3;
    // A source under three pixels a side has no cells to tile.
    if (image == nullptr || cw <= 0 || ch <= 0)
        return;
    const int right = dest.x + dest.width - cw;
    const int bottom = dest.y + dest.height - ch;

    DrawImage(image, dest.x, dest.y, Rect(src.x, src.y, cw, ch));
    DrawImage(image, right, dest.y, Rect(src.x + 2 * cw, src.y, cw, ch));
    DrawImage(image, dest.x, bottom, Rect(src.x, src.y + 2 * ch, cw, ch));
    DrawImage(image, right, bottom, Rect(src.x + 2 * cw, src.y + 2 * ch, cw, ch));

    // The last tile of each run is cut by the copy's clip.
    const int columns = (dest.width - cw - 1) / cw;
    const int rows = (dest.height - ch - 1) / ch;

    Graphics edges(*this);
    edges.ClipRect(dest.x + cw, dest.y, dest.width - 2 * cw, dest.height);
    for (int i = 1; i <= columns; ++i) {
        edges.DrawImage(image, dest.x + i * cw, dest.y, Rect(src.x + cw, src.y, cw, ch));
        edges.DrawImage(image, dest.x + i * cw, bottom, Rect(src.x + cw, src.y + 2 * ch, cw, ch));
    }

    Graphics sides(*this);
    sides.ClipRect(dest.x, dest.y + ch, dest.width, dest.height - 2 * ch);
    for (int j = 1; j <= rows; ++j) {
        sides.DrawImage(image, dest.x, dest.y + j * ch, Rect(src.x, src.y + ch, cw, ch));
        sides.DrawImage(image, right, dest.y + j * ch, Rect(src.x + 2 * cw, src.y + ch, cw, ch));
    }

    Graphics centre(*this);
    centre.ClipRect(dest.x + cw, dest.y + ch, dest.width - 2 * cw, dest.height - 2 * ch);
    for (int i = 1; i <= columns; ++i)
        for (int j = 1; j <= rows; ++j)
            centre.DrawImage(image, dest.x + i * cw, dest.y + j * ch, Rect(src.x + cw, src.y + ch, cw, ch));
}

} // namespace Zant
