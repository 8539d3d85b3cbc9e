#pragma once
// One playing channel of an effect, with its own volume, pan and pitch.
namespace Zant {

class SoundInstance {
public:
    virtual ~SoundInstance() = default;
    virtual void Release() = 0;
    virtual void SetBaseVolume(double volume) = 0;
    virtual void SetBasePan(int pan) = 0;
    virtual void AdjustPitch(double steps) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual void SetPan(int pan) = 0;
    virtual bool Play(bool looping, bool autoRelease) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    virtual bool IsReleased() = 0;
    virtual double GetVolume() = 0;
    // From now on Play rises from silence, Stop lets the sound fall to silence and
    // volume and pan changes glide, over `seconds` (0, the default: at once). A loop
    // starts and stops mid-waveform; faded, it does not click.
    virtual void SetFade(double seconds) = 0;
};

} // namespace Zant
