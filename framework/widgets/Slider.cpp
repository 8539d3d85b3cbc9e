#include "framework/widgets/Slider.h"

#include <algorithm>
#include <cmath>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonListener.h"

namespace Zant {

namespace {
double ClampUnit(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

void Cursor(int number)
{
    if (gZantApp)
        gZantApp->SelectCursor(number);
}
} // namespace

Slider::Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener)
    : mListener(listener), mId(id), mTrackImage(trackImage), mThumbImage(thumbImage)
{
    mHasTransparencies = true;
}

void Slider::SetValue(double value)
{
    mVal = ClampUnit(value);
    MarkAllDirty();
}

int Slider::ThumbWidth() const { return mThumbImage ? mThumbImage->GetWidth() : 0; }

int Slider::GetThumbX() { return static_cast<int>((mWidth - ThumbWidth()) * mVal); }

bool Slider::OnThumb(int x)
{
    const int left = GetThumbX();
    return x >= left && x < left + ThumbWidth();
}

void Slider::MouseMove(int x, int y) { Cursor(OnThumb(x) ? CURSOR_DRAGGING : CURSOR_POINTER); }

void Slider::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    if (!OnThumb(x))
        return;
    Cursor(CURSOR_DRAGGING);
    mDragging = true;
    mRelX = x - GetThumbX();
}

void Slider::MouseDrag(int x, int y)
{
    if (!mDragging)
        return;
    const int travel = mWidth - ThumbWidth();
    // A thumb as wide as the slider has nowhere to go.
    const double value = travel > 0 ? ClampUnit(static_cast<double>(x - mRelX) / travel) : 0.0;
    if (value == mVal)
        return;
    mVal = value;
    if (mListener)
        mListener->SliderVal(mId, mVal);
    MarkAllDirty();
}

void Slider::MouseUp(int x, int y)
{
    Widget::MouseUp(x, y);
    mDragging = false;
    Cursor(CURSOR_POINTER);
    if (mListener)
        mListener->SliderVal(mId, mVal);
}

void Slider::MouseLeave()
{
    Widget::MouseLeave();
    if (!mDragging)
        Cursor(CURSOR_POINTER);
}

void Slider::Draw(Graphics* g)
{
    if (mTrackImage) {
        const int cell = mTrackImage->GetWidth() / 3;
        const int height = mTrackImage->GetHeight();
        const int y = (mHeight - height) / 2;
        if (cell > 0) {
            g->DrawImage(mTrackImage, 0, y, Rect(0, 0, cell, height));
            g->DrawImage(mTrackImage, mWidth - cell, y, Rect(2 * cell, 0, cell, height));
            Graphics middle(*g);
            middle.ClipRect(cell, y, mWidth - 2 * cell, height);
            for (int x = cell; x < mWidth - cell; x += cell)
                middle.DrawImage(mTrackImage, x, y, Rect(cell, 0, cell, height));
        }
    }
    if (mThumbImage)
        g->DrawImage(mThumbImage, GetThumbX(), (mHeight - mThumbImage->GetHeight()) / 2);
}

} // namespace Zant
