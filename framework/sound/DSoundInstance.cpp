#include "framework/sound/DSoundInstance.h"

#include <algorithm>
#include <cmath>

#include "framework/sound/DSoundManager.h"
#include "platform/audio/Mixer.h"

namespace Zant {

DSoundInstance::DSoundInstance(DSoundManager* manager, std::unique_ptr<Platform::SoundBuffer> buffer)
    : mManager(manager), mBuffer(std::move(buffer))
{
    if (mBuffer)
        mBuffer->GetFrequency(&mDefaultFrequency);
    RehupVolume();
}

DSoundInstance::~DSoundInstance() = default; // the buffer leaves the mixer as it goes

void DSoundInstance::Release()
{
    Stop();
    mReleased = true;
}

void DSoundInstance::SetBaseVolume(double volume)
{
    mBaseVolume = volume;
    RehupVolume();
}

void DSoundInstance::SetBasePan(int pan)
{
    mBasePan = pan;
    RehupPan();
}

void DSoundInstance::SetVolume(double volume)
{
    mVolume = volume;
    RehupVolume();
}

void DSoundInstance::SetPan(int pan)
{
    mPan = pan;
    RehupPan();
}

void DSoundInstance::SetFade(double seconds)
{
    if (!mBuffer || !mBuffer->GetMixer())
        return;
    const double frames = std::clamp(seconds, 0.0, 10.0) * mBuffer->GetMixer()->Rate();
    mBuffer->SetFade(static_cast<uint32_t>(std::lround(frames)));
}

void DSoundInstance::RehupVolume()
{
    if (mBuffer)
        mBuffer->SetVolume(DSoundManager::LinearToDSoundVolume(mManager->GetMasterVolume() * mVolume * mBaseVolume));
}

void DSoundInstance::RehupPan()
{
    if (mBuffer)
        mBuffer->SetPan(static_cast<long>(mBasePan) + mPan);
}

void DSoundInstance::AdjustPitch(double steps)
{
    if (!mBuffer)
        return;
    double hz = mDefaultFrequency * std::pow(1.0594630943592953, steps);
    hz = std::clamp(hz, static_cast<double>(Platform::kFrequencyMin), static_cast<double>(Platform::kFrequencyMax));
    mBuffer->SetFrequency(static_cast<uint32_t>(hz));
}

bool DSoundInstance::Play(bool looping, bool autoRelease)
{
    Stop();
    mHasPlayed = true;
    mAutoRelease = autoRelease;
    if (!mBuffer)
        return false;
    return mBuffer->Play(looping) == Platform::AUDIO_OK;
}

void DSoundInstance::Stop()
{
    if (mBuffer) {
        mBuffer->Stop();
        mBuffer->SetCurrentPosition(0);
    }
    mAutoRelease = false;
}

bool DSoundInstance::IsPlaying()
{
    if (!mHasPlayed || !mBuffer)
        return false;
    uint32_t status = 0;
    if (mBuffer->GetStatus(&status) != Platform::AUDIO_OK)
        return false;
    return status & Platform::kStatusPlaying;
}

bool DSoundInstance::IsReleased()
{
    if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying())
        Release();
    return mReleased;
}

} // namespace Zant
