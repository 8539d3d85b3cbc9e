#pragma once
// A two-state box drawn from two images (or two cells of one image); every click
// flips it and tells the listener.
#include "framework/graphics/Rect.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class CheckboxListener;

class Checkbox : public Widget {
public:
    Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener);

    // Tells the listener even when the state does not change.
    virtual void SetChecked(bool checked);
    virtual bool IsChecked();

    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;

public:
    CheckboxListener* mListener;
    int mId;
    bool mChecked = false;
    Image* mUncheckedImage; // not owned
    Image* mCheckedImage;   // not owned
    // With a non-empty checked cell both looks come from the unchecked image.
    Rect mCheckedRect;
    Rect mUncheckedRect;

private:
    void Notify();
};

} // namespace Zant
