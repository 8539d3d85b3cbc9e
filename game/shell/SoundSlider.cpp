#include "game/shell/SoundSlider.h"

#include "framework/app/ZantApp.h"

namespace Zant {

SoundSlider::SoundSlider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener, int soundId,
                         ZantApp* app)
    : Slider(trackImage, thumbImage, id, listener), mSoundId(soundId), mApp(app)
{
}

void SoundSlider::MouseUp(int x, int y)
{
    Slider::MouseUp(x, y);
    mApp->PlaySound(mSoundId);
}

} // namespace Zant
