#pragma once
// A slider that plays its sound when the thumb is let go, so the player hears the
// volume just chosen.
#include "framework/widgets/Slider.h"

namespace Zant {

class ZantApp;

class SoundSlider : public Slider {
public:
    SoundSlider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener, int soundId, ZantApp* app);

    using Slider::MouseUp;
    void MouseUp(int x, int y) override;

public:
    int mSoundId;
    ZantApp* mApp;
};

} // namespace Zant
