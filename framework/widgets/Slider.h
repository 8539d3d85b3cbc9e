#pragma once
// A horizontal control for a value from 0.0 to 1.0: a track image in three columns
// (left cap, tiled middle, right cap) with a thumb image dragged along it.
#include "framework/widgets/Widget.h"

namespace Zant {

class SliderListener;

class Slider : public Widget {
public:
    Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener);

    // Values outside 0..1 (a hand-edited setting) are brought inside; not-a-number is 0.
    virtual void SetValue(double value);

    void Draw(Graphics* g) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    using Widget::MouseUp;
    void MouseUp(int x, int y) override;
    void MouseLeave() override;

    int GetThumbX();

public:
    SliderListener* mListener;
    double mVal = 0.0;
    int mId;
    Image* mTrackImage; // not owned
    Image* mThumbImage; // not owned
    bool mDragging = false;
    int mRelX = 0; // where the thumb was grabbed, from its left edge

private:
    int ThumbWidth() const;
    bool OnThumb(int x);
};

} // namespace Zant
