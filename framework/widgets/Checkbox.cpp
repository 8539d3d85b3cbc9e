#include "framework/widgets/Checkbox.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/ButtonListener.h"

namespace Zant {

Checkbox::Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener)
    : mListener(listener), mId(id), mUncheckedImage(uncheckedImage), mCheckedImage(checkedImage)
{
    mDoFinger = true;
}

void Checkbox::Notify()
{
    if (mListener)
        mListener->CheckboxChecked(mId, mChecked);
}

void Checkbox::SetChecked(bool checked)
{
    mChecked = checked;
    Notify();
    MarkDirty();
}

bool Checkbox::IsChecked() { return mChecked; }

void Checkbox::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    mChecked = !mChecked;
    Notify();
    MarkDirty();
}

void Checkbox::Draw(Graphics* g)
{
    if (mCheckedRect.width > 0 && mCheckedRect.height > 0) {
        if (mUncheckedImage)
            g->DrawImage(mUncheckedImage, 0, 0, mChecked ? mCheckedRect : mUncheckedRect);
        return;
    }
    Image* image = mChecked ? mCheckedImage : mUncheckedImage;
    if (image)
        g->DrawImage(image, 0, 0);
}

} // namespace Zant
