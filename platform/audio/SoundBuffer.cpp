#include "platform/audio/SoundBuffer.h"

#include <algorithm>

#include "platform/audio/Mixer.h"

namespace Platform {

WaveFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits)
{
    WaveFormat f;
    f.formatTag = 1;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    return f;
}

bool IsPlayableFormat(const WaveFormat& f)
{
    return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) && (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
           f.samplesPerSec >= 1 && f.samplesPerSec <= 1000000;
}

const char* AudioResultName(AudioResult r)
{
    switch (r) {
    case AUDIO_OK: return "AUDIO_OK";
    case DSERR_ALLOCATED: return "DSERR_ALLOCATED";
    case DSERR_OUTOFMEMORY: return "DSERR_OUTOFMEMORY";
    case DSERR_INVALIDPARAM: return "DSERR_INVALIDPARAM";
    case DSERR_INVALIDCALL: return "DSERR_INVALIDCALL";
    case DSERR_UNINITIALIZED: return "DSERR_UNINITIALIZED";
    case DSERR_BADFORMAT: return "DSERR_BADFORMAT";
    case DSERR_NODRIVER: return "DSERR_NODRIVER";
    default: return "unknown";
    }
}

SoundBuffer::SoundBuffer(Mixer* mixer, std::shared_ptr<PcmData> data)
    : mMixer(mixer), mData(std::move(data)), mFrequency(mData->format.samplesPerSec)
{
}

SoundBuffer::~SoundBuffer()
{
    if (mMixer)
        mMixer->Detach(this);
}

AudioResult SoundBuffer::Lock(void** data, uint32_t* bytes)
{
    if (!data || !bytes)
        return DSERR_INVALIDPARAM;
    bool expected = false;
    if (!mLocked.compare_exchange_strong(expected, true))
        return DSERR_INVALIDCALL;
    *data = mData->bytes.data();
    *bytes = Size();
    return AUDIO_OK;
}

AudioResult SoundBuffer::Unlock()
{
    bool expected = true;
    return mLocked.compare_exchange_strong(expected, false) ? AUDIO_OK : DSERR_INVALIDCALL;
}

AudioResult SoundBuffer::GetFormat(WaveFormat* format) const
{
    if (!format)
        return DSERR_INVALIDPARAM;
    *format = mData->format;
    return AUDIO_OK;
}

AudioResult SoundBuffer::SetVolume(long v)
{
    mVolume = std::clamp(v, kVolumeMin, kVolumeMax);
    return AUDIO_OK;
}

AudioResult SoundBuffer::SetPan(long p)
{
    mPan = std::clamp(p, kPanLeft, kPanRight);
    return AUDIO_OK;
}

AudioResult SoundBuffer::SetFrequency(uint32_t hz)
{
    mFrequency = hz == kFrequencyOriginal ? mData->format.samplesPerSec : std::clamp(hz, kFrequencyMin, kFrequencyMax);
    return AUDIO_OK;
}

AudioResult SoundBuffer::GetFrequency(uint32_t* hz) const
{
    if (!hz)
        return DSERR_INVALIDPARAM;
    *hz = mFrequency;
    return AUDIO_OK;
}

AudioResult SoundBuffer::SetFade(uint32_t frames)
{
    mFade = frames;
    return AUDIO_OK;
}

AudioResult SoundBuffer::Play(bool looping)
{
    if (!mMixer)
        return DSERR_UNINITIALIZED;
    if (mData->bytes.size() < mData->format.blockAlign || mData->format.blockAlign == 0)
        return DSERR_INVALIDCALL;
    mMixer->Attach(this, kStatusPlaying | (looping ? kStatusLooping : 0));
    return AUDIO_OK;
}

AudioResult SoundBuffer::Stop()
{
    if (mMixer)
        mMixer->Detach(this);
    mStatus = 0;
    return AUDIO_OK;
}

AudioResult SoundBuffer::SetCurrentPosition(uint32_t byteOffset)
{
    uint32_t align = std::max<uint32_t>(1, mData->format.blockAlign);
    if (byteOffset > Size())
        return DSERR_INVALIDPARAM;
    uint64_t cursor = static_cast<uint64_t>(byteOffset / align) << 32;
    if (mMixer)
        mMixer->SetCursor(this, cursor);
    else
        mCursor = cursor;
    return AUDIO_OK;
}

AudioResult SoundBuffer::GetCurrentPosition(uint32_t* byteOffset) const
{
    if (!byteOffset)
        return DSERR_INVALIDPARAM;
    uint64_t cursor = mMixer ? mMixer->GetCursor(this) : mCursor;
    *byteOffset = static_cast<uint32_t>((cursor >> 32) * mData->format.blockAlign);
    return AUDIO_OK;
}

AudioResult SoundBuffer::GetStatus(uint32_t* status) const
{
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = mStatus;
    return AUDIO_OK;
}

} // namespace Platform
